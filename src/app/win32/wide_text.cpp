// UTF-8 and UTF-16 conversions through the Windows code-page functions.
#include "app/win32/wide_text.h"

#include <climits>

#include "app/win32/windows_api.h"

namespace trovisk {
namespace {

std::wstring WideFrom(UINT code_page, DWORD flags, std::string_view text, bool* valid) {
  if (valid != nullptr) *valid = true;
  if (text.empty()) return {};
  if (text.size() > static_cast<std::size_t>(INT_MAX)) {
    if (valid != nullptr) *valid = false;
    return {};
  }
  int length = static_cast<int>(text.size());
  int wide_length = MultiByteToWideChar(code_page, flags, text.data(), length, nullptr, 0);
  if (wide_length <= 0) {
    if (valid != nullptr) *valid = false;
    return {};
  }
  std::wstring wide(static_cast<std::size_t>(wide_length), L'\0');
  MultiByteToWideChar(code_page, flags, text.data(), length, wide.data(), wide_length);
  return wide;
}

}  // namespace

std::wstring WideFromUtf8(std::string_view text) { return WideFrom(CP_UTF8, 0, text, nullptr); }

std::string Utf8FromWide(std::wstring_view text) {
  if (text.empty() || text.size() > static_cast<std::size_t>(INT_MAX)) return {};
  int length = static_cast<int>(text.size());
  int narrow_length =
      WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  if (narrow_length <= 0) return {};
  std::string narrow(static_cast<std::size_t>(narrow_length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), length, narrow.data(), narrow_length, nullptr,
                      nullptr);
  return narrow;
}

std::wstring WideFromCoreText(std::string_view text) {
  bool valid = false;
  std::wstring wide = WideFrom(CP_UTF8, MB_ERR_INVALID_CHARS, text, &valid);
  if (valid) return wide;
  return WideFrom(CP_ACP, 0, text, nullptr);
}

}  // namespace trovisk
