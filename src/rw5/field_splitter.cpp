// Field splitting and atof/atoi-compatible number reading without locale.
#include "rw5/field_splitter.h"

#include <charconv>
#include <cmath>
#include <cstdint>
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

// Exact powers of ten: every one up to 10^22 is a double without rounding.
constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The plain decimal at the start of `digits` ("314.02520", "17.9722", "5."),
// when it has at most 15 significant digits and no exponent: its digits form
// an integer a double holds exactly, and one division by an exact power of
// ten rounds once, to the same double a full conversion gives. False for
// anything else, which takes the full conversion.
bool ReadPlainDecimal(std::string_view digits, double& value) {
  const char* p = digits.data();
  const char* const end = p + digits.size();
  auto is_digit = [](char c) { return static_cast<unsigned char>(c - '0') < 10; };
  std::uint64_t mantissa = 0;
  int significant = 0;
  int decimals = 0;
  const char* const start = p;
  while (p < end && *p == '0') ++p;  // leading zeros carry nothing
  for (; p < end && is_digit(*p); ++p, ++significant) {
    mantissa = mantissa * 10 + static_cast<std::uint64_t>(*p - '0');
  }
  bool any_digit = p != start;
  if (p < end && *p == '.') {
    ++p;
    const char* const fraction = p;
    if (mantissa == 0) {
      for (; p < end && *p == '0'; ++p) ++decimals;
    }
    for (; p < end && is_digit(*p); ++p, ++significant, ++decimals) {
      mantissa = mantissa * 10 + static_cast<std::uint64_t>(*p - '0');
    }
    any_digit = any_digit || p != fraction;
  }
  // Past 15 digits the integer may have wrapped; the full conversion decides.
  if (!any_digit || significant > 15 || decimals > 22) return false;
  if (p < end && (*p == 'e' || *p == 'E')) return false;
  value = static_cast<double>(mantissa) / kPowersOfTen[decimals];
  return true;
}

// The usual value, a decimal of at most 15 digits in all ("314.02520"), in
// one pass: it gives the same integer and power of ten as ReadPlainDecimal,
// hence the same double. False for anything else, which takes that longer
// path.
bool ReadShortDecimal(const char* p, const char* end, double& value) {
  constexpr std::ptrdiff_t kMostDigits = 15;
  const char* const start = p;
  const char* point = nullptr;
  std::uint64_t mantissa = 0;
  for (; p < end; ++p) {
    const unsigned digit = static_cast<unsigned>(static_cast<unsigned char>(*p)) - '0';
    if (digit < 10) {
      mantissa = mantissa * 10 + digit;
    } else if (*p == '.' && point == nullptr) {
      point = p;
    } else {
      break;
    }
  }
  const std::ptrdiff_t digits = (p - start) - (point != nullptr ? 1 : 0);
  if (digits == 0 || digits > kMostDigits) return false;
  if (p < end && (*p == 'e' || *p == 'E')) return false;
  const std::ptrdiff_t decimals = point != nullptr ? p - point - 1 : 0;
  // Below 10^15, so the signed conversion is exact and takes one instruction.
  value = static_cast<double>(static_cast<std::int64_t>(mantissa)) / kPowersOfTen[decimals];
  return true;
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
  const char* p = text.data();
  const char* const end = p + text.size();
  while (p < end && IsSpace(*p)) ++p;
  bool negative = false;
  if (p < end && (*p == '+' || *p == '-')) {
    negative = *p == '-';
    ++p;
    // from_chars takes no sign of its own after the one just read.
    if (p < end && (*p == '+' || *p == '-')) return 0.0;
  }
  double value = 0.0;
  if (ReadShortDecimal(p, end, value)) return negative ? -value : value;
  const std::string_view digits(p, static_cast<std::size_t>(end - p));
  if (ReadPlainDecimal(digits, value)) return negative ? -value : value;
  auto [after, error] = std::from_chars(p, end, value, std::chars_format::general);
  if (error == std::errc::result_out_of_range) {
    if (HasNegativeExponent(digits)) return negative ? -0.0 : 0.0;
    non_finite = true;
    return kNullValue;
  }
  if (error != std::errc()) return 0.0;
  (void)after;
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

}  // namespace trovisk
