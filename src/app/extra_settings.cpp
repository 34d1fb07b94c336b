// Reading and rewriting the key=value settings file.
#include "app/extra_settings.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "app/settings_record.h"
#include "base/epsg_code.h"
#include "base/output_file.h"
#include "base/utf8_path.h"

namespace trovisk {
namespace {

constexpr std::string_view kCheckFilesKey = "check_report_and_plot";
constexpr std::string_view kGridKey = "grid";

std::string_view Trim(std::string_view text) {
  const char* blanks = " \t\r";
  std::size_t first = text.find_first_not_of(blanks);
  if (first == std::string_view::npos) return {};
  std::size_t last = text.find_last_not_of(blanks);
  return text.substr(first, last - first + 1);
}

// The key of a "key=value" line; empty for a blank line, a comment or a section.
std::string_view KeyOf(std::string_view line) {
  std::string_view trimmed = Trim(line);
  if (trimmed.empty() || trimmed[0] == ';' || trimmed[0] == '#' || trimmed[0] == '[') return {};
  std::size_t equals = trimmed.find('=');
  return equals == std::string_view::npos ? std::string_view() : Trim(trimmed.substr(0, equals));
}

std::string_view ValueOf(std::string_view line) {
  std::size_t equals = line.find('=');
  return equals == std::string_view::npos ? std::string_view() : Trim(line.substr(equals + 1));
}

bool IsYes(std::string_view value) {
  std::string lower;
  for (char c : value) lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return lower == "1" || lower == "true" || lower == "yes" || lower == "on";
}

// The lines of the text, each without its '\n' (a '\r' before it stays).
std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    lines.push_back(text.substr(0, end));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

}  // namespace

ExtraSettings ParseExtraSettings(std::string_view text) {
  ExtraSettings settings;
  for (std::string_view line : Lines(text)) {
    const std::string_view key = KeyOf(line);
    if (key == kCheckFilesKey) settings.write_check_files = IsYes(ValueOf(line));
    if (key == kGridKey) settings.grid_code = ParseEpsgCode(ValueOf(line)).value_or(0);
  }
  return settings;
}

std::string UpdateExtraSettings(std::string_view text, const ExtraSettings& settings) {
  // New lines end as the file's own do; a new file gets the Windows ending.
  bool crlf = text.empty() || text.find("\r\n") != std::string_view::npos;
  const char* end = crlf ? "\r\n" : "\n";
  struct Setting {
    std::string_view key;
    std::string value;
    bool always;  // written even when the file does not have it yet
    bool written = false;
  };
  Setting ours[] = {
      {kCheckFilesKey, settings.write_check_files ? "1" : "0", true},
      {kGridKey, EpsgCodeText(settings.grid_code), settings.grid_code != 0},
  };
  std::string out;
  for (std::string_view line : Lines(text)) {
    Setting* setting = nullptr;
    for (Setting& s : ours) setting = KeyOf(line) == s.key ? &s : setting;
    if (setting != nullptr) {
      // The key once, where it first stood.
      if (!setting->written) out.append(setting->key).append("=").append(setting->value) += end;
      setting->written = true;
      continue;
    }
    out.append(line);
    out += !line.empty() && line.back() == '\r' ? "\n" : end;
  }
  for (Setting& s : ours) {
    if (!s.written && s.always) out.append(s.key).append("=").append(s.value) += end;
  }
  return out;
}

bool ReadExtraSettingsFile(const std::string& path, ExtraSettings& settings) {
  std::error_code error;
  if (std::filesystem::is_directory(Utf8Path(path), error)) return false;
  std::ifstream file(Utf8Path(path), std::ios::in | std::ios::binary);
  if (!file.is_open()) return false;
  std::ostringstream text;
  text << file.rdbuf();
  if (file.bad()) return false;
  settings = ParseExtraSettings(text.str());
  return true;
}

bool WriteExtraSettingsFile(const std::string& path, const ExtraSettings& settings) {
  if (path.empty()) return false;
  std::string text;
  {
    std::ifstream file(Utf8Path(path), std::ios::in | std::ios::binary);
    std::ostringstream existing;
    if (file.is_open()) existing << file.rdbuf();
    text = existing.str();
  }
  OutputFile file;
  // "-" would mean standard output to OutputFile; here it is a file of that name.
  if (!file.Open(path == "-" ? "./-" : path)) return false;
  std::string updated = UpdateExtraSettings(text, settings);
  file.stream().write(updated.data(), static_cast<std::streamsize>(updated.size()));
  return file.Commit();
}

std::string ExtraSettingsPathBeside(const std::string& program_path) {
  std::string record = SettingsPathBeside(program_path);
  return record.substr(0, record.size() - std::string(kSettingsFileName).size()) +
         kExtraSettingsFileName;
}

}  // namespace trovisk
