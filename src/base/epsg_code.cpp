// Reading and writing EPSG codes.
#include "base/epsg_code.h"

#include <charconv>

namespace trovisk {
namespace {

// EPSG codes run to five digits; more is no code.
constexpr int kLargestCode = 99999;

}  // namespace

std::optional<int> ParseEpsgCode(std::string_view text) {
  const char* blanks = " \t\r\n";
  const std::size_t first = text.find_first_not_of(blanks);
  if (first == std::string_view::npos) return 0;
  text = text.substr(first, text.find_last_not_of(blanks) - first + 1);
  constexpr std::string_view kPrefix = "epsg:";
  if (text.size() > kPrefix.size()) {
    bool prefixed = true;
    for (std::size_t i = 0; i < kPrefix.size(); ++i) {
      const char c = text[i];
      prefixed =
          prefixed && (c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) == kPrefix[i];
    }
    if (prefixed) text.remove_prefix(kPrefix.size());
  }
  int code = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), code);
  if (error != std::errc() || end != text.data() + text.size() || code <= 0 ||
      code > kLargestCode) {
    return std::nullopt;
  }
  return code;
}

std::string EpsgCodeText(int code) { return code > 0 ? "EPSG:" + std::to_string(code) : ""; }

}  // namespace trovisk
