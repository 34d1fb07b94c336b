// Field splitting and atof/atoi-compatible number reading without locale.
#include "rw5/field_splitter.h"

#include <charconv>
#include <cmath>
#include <system_error>

#include "rw5/null_value.h"

namespace trovisk {
namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

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
  std::size_t start = first_comma + 1;
  for (std::size_t k = 0; k + 1 < count; ++k) {
    if (start > line.size()) return;
    std::size_t comma = line.find(',', start);
    if (comma == std::string_view::npos) {
      // No more separators: this field takes the rest and the later ones stay empty.
      fields[k] = line.substr(start);
      return;
    }
    fields[k] = line.substr(start, comma - start);
    start = comma + 1;
  }
  if (start <= line.size()) fields[count - 1] = line.substr(start);
}

std::string_view RecordCode(std::string_view line, std::size_t& first_comma) {
  first_comma = line.find(',');
  if (first_comma == std::string_view::npos) {
    first_comma = line.size();
    return line;
  }
  return line.substr(0, first_comma);
}

double ReadReal(std::string_view text, bool& non_finite) {
  non_finite = false;
  bool negative = false;
  std::string_view digits = SkipBlanksAndSign(text, negative);
  // from_chars takes no sign of its own after the one removed above.
  if (!digits.empty() && (digits[0] == '+' || digits[0] == '-')) return 0.0;
  double value = 0.0;
  auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value,
                                      std::chars_format::general);
  if (error == std::errc::result_out_of_range) {
    if (HasNegativeExponent(digits)) return negative ? -0.0 : 0.0;
    non_finite = true;
    return kNullValue;
  }
  if (error != std::errc()) return 0.0;
  (void)end;
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
  auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  (void)end;
  if (error != std::errc()) return 0;
  if (negative) value = -value;
  if (value < -2147483648LL || value > 2147483647LL) return 0;
  return static_cast<int>(value);
}

bool IsBlank(std::string_view text) {
  for (char c : text) {
    if (!IsSpace(c)) return false;
  }
  return true;
}

}  // namespace trovisk
