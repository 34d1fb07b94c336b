// Maps UTF-8 file names onto names the ANSI file functions can open.
#include "app/win32/core_file_path.h"

#include "app/win32/windows_api.h"

#include <climits>
#include <optional>
#include <string_view>

#include "app/win32/wide_text.h"

namespace trovisk {
namespace {

// The text in the ANSI code page, or nothing when a character does not fit.
std::optional<std::string> AnsiExact(std::wstring_view text) {
  if (text.empty()) return std::string();
  if (text.size() > static_cast<std::size_t>(INT_MAX)) return std::nullopt;
  int length = static_cast<int>(text.size());
  BOOL used_default = FALSE;
  int narrow_length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), length,
                                          nullptr, 0, nullptr, &used_default);
  if (narrow_length <= 0 || used_default) return std::nullopt;
  std::string narrow(static_cast<std::size_t>(narrow_length), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), length, narrow.data(),
                      narrow_length, nullptr, &used_default);
  return narrow;
}

std::optional<std::wstring> ShortName(const std::wstring& path) {
  DWORD length = GetShortPathNameW(path.c_str(), nullptr, 0);
  if (length == 0) return std::nullopt;
  std::wstring short_path(length, L'\0');
  DWORD written = GetShortPathNameW(path.c_str(), short_path.data(), length);
  if (written == 0 || written >= length) return std::nullopt;
  short_path.resize(written);
  return short_path;
}

}  // namespace

std::string CoreFilePath(const std::string& utf8_path) {
  if (GetACP() == CP_UTF8) return utf8_path;
  std::wstring wide = WideFromUtf8(utf8_path);
  if (auto ansi = AnsiExact(wide)) return *ansi;
  if (auto short_path = ShortName(wide)) {
    if (auto ansi = AnsiExact(*short_path)) return *ansi;
  }
  // A file that does not exist yet: the short name of its folder and its own name.
  std::size_t cut = wide.find_last_of(L"\\/");
  if (cut != std::wstring::npos) {
    auto folder = ShortName(wide.substr(0, cut + 1));
    auto name = AnsiExact(std::wstring_view(wide).substr(cut + 1));
    if (folder && name) {
      if (auto ansi_folder = AnsiExact(*folder)) {
        std::string joined = *ansi_folder;
        if (!joined.empty() && joined.back() != '\\' && joined.back() != '/') joined += '\\';
        return joined + *name;
      }
    }
  }
  return utf8_path;
}

}  // namespace trovisk
