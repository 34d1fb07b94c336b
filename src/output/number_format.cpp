// Fixed-point formatting through std::to_chars, with a fast path for the
// values an adjustment file is made of.
#include "output/number_format.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

namespace trovisk {
namespace {

// The largest finite double has 309 integer digits; with a sign, a point and
// the most decimals the text always fits.
constexpr std::size_t kBufferSize = 1 + 309 + 1 + kMaxFixedDecimals + 8;

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

constexpr std::array<double, 13> kPowersOfTen = {1e0, 1e1, 1e2, 1e3,  1e4,  1e5, 1e6,
                                                 1e7, 1e8, 1e9, 1e10, 1e11, 1e12};

// Scaled values below this are exact enough in a double that one product
// value * 10^N is off by at most 2^-13 of a unit in the last decimal.
constexpr double kFastPathLimit = 1099511627776.0;  // 2^40
// Fractions of the scaled value closer than this to one half are left to the
// exact conversion, because the product may have rounded across the half.
constexpr double kHalfwayMargin = 1.0 / 4096.0;  // 2^-12

// Writes |value| * 10^decimals rounded to an integer when that rounding is
// certain; false when the exact conversion must decide.
bool AppendFast(std::string& out, double value, int decimals) {
  if (decimals >= static_cast<int>(kPowersOfTen.size())) return false;
  double scaled = std::fabs(value) * kPowersOfTen[static_cast<std::size_t>(decimals)];
  if (!(scaled < kFastPathLimit)) return false;
  double whole = std::floor(scaled);
  double fraction = scaled - whole;
  if (std::fabs(fraction - 0.5) < kHalfwayMargin) return false;
  auto digits_value = static_cast<std::uint64_t>(whole) + (fraction > 0.5 ? 1 : 0);

  // Filled from the right, two digits at a time: decimals, the point, then at
  // least one integer digit; printf keeps the sign of a negative value that
  // rounds to zero.
  std::array<char, 40> text;
  char* const end = text.data() + text.size();
  char* cursor = end;
  int left = decimals;
  for (; left >= 2; left -= 2) {
    cursor -= 2;
    std::memcpy(cursor, &kDigitPairs[2 * (digits_value % 100)], 2);
    digits_value /= 100;
  }
  if (left == 1) {
    *--cursor = static_cast<char>('0' + digits_value % 10);
    digits_value /= 10;
  }
  if (decimals > 0) *--cursor = '.';
  char* const integer_end = cursor;
  while (digits_value >= 10) {
    cursor -= 2;
    std::memcpy(cursor, &kDigitPairs[2 * (digits_value % 100)], 2);
    digits_value /= 100;
  }
  if (digits_value != 0 || cursor == integer_end) {
    *--cursor = static_cast<char>('0' + digits_value);
  }
  if (std::signbit(value)) *--cursor = '-';
  out.append(cursor, static_cast<std::size_t>(end - cursor));
  return true;
}

}  // namespace

void AppendFixed(std::string& out, double value, int decimals) {
  decimals = std::clamp(decimals, 0, kMaxFixedDecimals);
  if (!std::isfinite(value)) value = 0.0;
  if (AppendFast(out, value, decimals)) return;
  std::array<char, kBufferSize> buffer;
  auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                    std::chars_format::fixed, decimals);
  if (error != std::errc{}) {
    // Cannot happen with the buffer sized above; write zero rather than nothing.
    AppendFixed(out, 0.0, decimals);
    return;
  }
  out.append(buffer.data(), end);
}

void AppendPackedAngle(std::string& out, double packed, int decimals) {
  decimals = std::clamp(decimals, 4, kMaxFixedDecimals);
  std::size_t start = out.size();
  AppendFixed(out, packed, decimals);
  std::size_t point = out.find('.', start);
  // Two digits of minutes, then two of seconds, follow the point.
  if (point == std::string::npos || (out.compare(point + 1, 2, "60") < 0 &&
                                     out.compare(point + 3, 2, "60") < 0)) {
    return;
  }
  bool negative = out[start] == '-';
  std::size_t digits_begin = start + (negative ? 1 : 0);
  // Degrees of more than 18 digits are no survey angle and cannot carry exactly.
  if (point - digits_begin > 18) return;
  long long degrees = std::stoll(out.substr(digits_begin, point - digits_begin));
  int minutes = (out[point + 1] - '0') * 10 + (out[point + 2] - '0');
  int seconds = (out[point + 3] - '0') * 10 + (out[point + 4] - '0');
  if (seconds >= 60) {
    seconds -= 60;
    ++minutes;
  }
  if (minutes >= 60) {
    minutes -= 60;
    ++degrees;
  }
  std::string rest = out.substr(point + 5);
  char head[40];
  std::snprintf(head, sizeof head, "%s%lld.%02d%02d", negative ? "-" : "", degrees, minutes,
                seconds);
  out.resize(start);
  out += head;
  out += rest;
}

std::string FormatFixed(double value, int decimals) {
  std::string text;
  AppendFixed(text, value, decimals);
  return text;
}

}  // namespace trovisk
