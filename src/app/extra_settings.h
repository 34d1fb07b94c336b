// The dialog's settings beyond the fixed 1120-byte record: "Trovisk.ini"
// beside it, plain key=value lines. Keys this program does not know (those of
// a later version) and comments are kept when it rewrites the file.
#pragma once

#include <string>
#include <string_view>

namespace trovisk {

inline constexpr const char* kExtraSettingsFileName = "Trovisk.ini";

struct ExtraSettings {
  // A run writes the check report and the network plot beside its output.
  bool write_check_files = false;
  // The EPSG code of the job's projected grid; 0 to identify it from the file.
  int grid_code = 0;
};

// The settings a file's text gives; keys absent or unknown leave the defaults.
ExtraSettings ParseExtraSettings(std::string_view text);

// The file's text with the settings' keys set to their values: other lines
// stay as they were, a key not yet there is added at the end.
std::string UpdateExtraSettings(std::string_view text, const ExtraSettings& settings);

// false (settings untouched) when the file is absent or unreadable.
bool ReadExtraSettingsFile(const std::string& path, ExtraSettings& settings);

// false when it cannot be written; the file is replaced only when complete.
bool WriteExtraSettingsFile(const std::string& path, const ExtraSettings& settings);

// "Trovisk.ini" in the folder of the settings record beside the program.
std::string ExtraSettingsPathBeside(const std::string& program_path);

}  // namespace trovisk
