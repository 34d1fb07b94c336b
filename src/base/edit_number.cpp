// Parsing and showing the numbers of the dialog's edit fields.
#include "base/edit_number.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <system_error>

namespace trovisk {

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool StartsNumber(char c) { return (c >= '0' && c <= '9') || c == '.'; }

}  // namespace

std::optional<double> ParseEditNumber(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  // from_chars takes no plus sign; an edit does ("+5"), but not "+-5".
  if (text.size() >= 2 && text.front() == '+' && StartsNumber(text[1])) text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  double value = 0.0;
  // from_chars does not depend on the locale's decimal point, unlike strtod.
  auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

std::string FormatEditNumber(double value) {
  char buffer[40];
  int length = std::snprintf(buffer, sizeof buffer, "%.15g", value);
  if (length < 0) return {};
  return std::string(buffer, static_cast<std::size_t>(length));
}

}  // namespace trovisk
