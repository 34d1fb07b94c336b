// The settings record "Trovisk.cfg": the dialog's options in a fixed
// 1120-byte little-endian block, kept beside the program between runs.
#pragma once

#include <array>
#include <cstddef>
#include <string>

#include "base/options.h"

namespace trovisk {

inline constexpr std::size_t kSettingsRecordSize = 1120;
inline constexpr const char* kSettingsFileName = "Trovisk.cfg";
// Longest file name the record keeps: its field holds 260 bytes with the NUL.
inline constexpr std::size_t kMaxStoredFileName = 259;

using SettingsRecord = std::array<unsigned char, kSettingsRecordSize>;

// Encodes the options at their byte offsets, little-endian on any host; every
// other byte is zero. Names longer than 15 bytes are cut to 15. A file name
// that does not fit its 260-byte field (259 bytes and its NUL) is not stored
// (field left empty) and *name_dropped is set.
SettingsRecord EncodeSettings(const ConverterOptions& options, bool* name_dropped = nullptr);

// Takes every field from the bytes present; bytes beyond the end read as
// zero; strings bounded by their field even without a NUL.
void DecodeSettings(const unsigned char* bytes, std::size_t size, ConverterOptions& options);

// false (options untouched) when the file is absent or unreadable.
bool ReadSettingsFile(const std::string& path, ConverterOptions& options);

// false when it cannot be written; written to a temporary beside it and
// renamed, so a failed write never leaves a broken record.
bool WriteSettingsFile(const std::string& path, const ConverterOptions& options,
                       bool* name_dropped = nullptr);

// The settings file beside the program: the program path cut after its last
// '\\', '/' or ':' (a path ending in ':' gets '\\'), then "Trovisk.cfg".
std::string SettingsPathBeside(const std::string& program_path);

}  // namespace trovisk
