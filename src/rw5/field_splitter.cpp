// Field splitting and atof/atoi-compatible number reading without locale.
#include "rw5/field_splitter.h"

#include <charconv>
#include <cmath>
#include <system_error>

#include "rw5/null_value.h"

namespace trovisk {
namespace {

// Skips leading white space and a sign; returns the rest, `negative` set for '-'.
std::string_view SkipBlanksAndSign(std::string_view text, bool& negative) {
  std::size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  return text.substr(i);
}

// True when the number at the start of `digits` has a negative exponent, so
// that a range error is an underflow rather than an overflow.
bool HasNegativeExponent(std::string_view digits) {
  for (std::size_t i = 0; i + 1 < digits.size(); ++i) {
    char c = digits[i];
    if (c == 'e' || c == 'E') return digits[i + 1] == '-';
    if (!(c == '.' || (c >= '0' && c <= '9'))) return false;
  }
  return false;
}

}  // namespace

void SplitFields(std::string_view line, std::size_t first_comma, std::size_t count,
                 std::vector<std::string_view>& fields) {
  fields.assign(count, std::string_view());
  if (count == 0 || first_comma >= line.size()) return;
  std::string_view rest = line.substr(first_comma + 1);
  std::size_t k = 0;
  for (; k + 1 < count; ++k) {
    const std::size_t comma = rest.find(',');
    if (comma == std::string_view::npos) break;
    fields[k] = rest.substr(0, comma);
    rest.remove_prefix(comma + 1);
  }
  // The field after the last separator taken runs to the end of the line.
  fields[k] = rest;
}

double ReadReal(std::string_view text, bool& non_finite) {
  non_finite = false;
  bool negative = false;
  const std::string_view digits = SkipBlanksAndSign(text, negative);
  // from_chars takes no sign of its own after the one just read.
  if (!digits.empty() && (digits[0] == '+' || digits[0] == '-')) return 0.0;
  double value = 0.0;
  const std::errc error = std::from_chars(digits.data(), digits.data() + digits.size(), value).ec;
  if (error == std::errc::result_out_of_range) {
    if (HasNegativeExponent(digits)) return negative ? -0.0 : 0.0;
    non_finite = true;
    return kNullValue;
  }
  if (error != std::errc()) return 0.0;
  if (!std::isfinite(value)) {
    non_finite = true;
    return kNullValue;
  }
  return negative ? -value : value;
}

int ReadInteger(std::string_view text) {
  bool negative = false;
  std::string_view digits = SkipBlanksAndSign(text, negative);
  if (!digits.empty() && (digits[0] == '+' || digits[0] == '-')) return 0;
  long long value = 0;
  if (std::from_chars(digits.data(), digits.data() + digits.size(), value).ec != std::errc()) {
    return 0;
  }
  if (negative) value = -value;
  if (value < -2147483648LL || value > 2147483647LL) return 0;
  return static_cast<int>(value);
}

}  // namespace trovisk
