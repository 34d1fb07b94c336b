// Fixed-point formatting through std::to_chars, with an integer fast path for
// the values an adjustment file is made of.
#include "output/number_format.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

namespace trovisk {
namespace {

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Decimals the fast path handles: 10^N is exact in a double and in 64 bits.
constexpr int kFastDecimals = 13;
constexpr std::array<double, kFastDecimals> kPowersOfTen = {
    1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12};
constexpr std::array<std::uint64_t, kFastDecimals + 1> kIntegerPowersOfTen = {
    1ULL,           10ULL,           100ULL,           1000ULL,          10000ULL,
    100000ULL,      1000000ULL,      10000000ULL,      100000000ULL,     1000000000ULL,
    10000000000ULL, 100000000000ULL, 1000000000000ULL, 10000000000000ULL};

// Scaled values below this are exact enough in a double that one product
// value * 10^N is off by at most 2^-13 of a unit in the last decimal.
constexpr double kFastPathLimit = 1099511627776.0;  // 2^40
// Fractions of the scaled value closer than this to one half are left to the
// exact conversion, because the product may have rounded across the half.
constexpr double kHalfwayMargin = 1.0 / 4096.0;  // 2^-12

// Decimal digits of v (one for zero); v below 10^13, as the fast path gives.
// 1233 / 4096 is just under log10(2), so t is the digit count or one less.
int DigitCount(std::uint64_t v) {
  v |= 1;  // the same count, and zero counts as one digit
  int t = (std::bit_width(v) * 1233) >> 12;
  return t + (v >= kIntegerPowersOfTen[static_cast<std::size_t>(t)] ? 1 : 0);
}

// The `count` low decimal digits of v, ending just before `end`, two at a time.
template <typename Unsigned>
void WriteDigitsBackward(char* end, Unsigned v, int count) {
  for (; count >= 2; count -= 2) {
    end -= 2;
    std::memcpy(end, &kDigitPairs[2 * (v % 100)], 2);
    v /= 100;
  }
  if (count == 1) *--end = static_cast<char>('0' + v % 10);
}

// Writes `units` of 10^-kDecimals as fixed text; a sign when negative, as
// printf keeps it on a negative value that rounds to zero. The constant
// decimals let the compiler turn the divisions into multiplications.
template <int kDecimals>
char* WriteUnits(char* out, std::uint64_t units, bool negative) {
  constexpr std::uint64_t kScale = kIntegerPowersOfTen[kDecimals];
  if (negative) *out++ = '-';
  const std::uint64_t integer = units / kScale;
  const int width = DigitCount(integer);
  out += width;
  WriteDigitsBackward(out, integer, width);
  if constexpr (kDecimals > 0) {
    *out = '.';
    out += 1 + kDecimals;
    const std::uint64_t fraction = units % kScale;
    if constexpr (kScale <= UINT32_MAX) {
      WriteDigitsBackward(out, static_cast<std::uint32_t>(fraction), kDecimals);
    } else {
      WriteDigitsBackward(out, fraction, kDecimals);
    }
  }
  return out;
}

using UnitsWriter = char* (*)(char*, std::uint64_t, bool);

template <std::size_t... kDecimals>
constexpr std::array<UnitsWriter, sizeof...(kDecimals)> MakeUnitsWriters(
    std::index_sequence<kDecimals...>) {
  return {&WriteUnits<static_cast<int>(kDecimals)>...};
}

constexpr auto kUnitsWriters = MakeUnitsWriters(std::make_index_sequence<kFastDecimals>{});

// Writes |value| * 10^decimals rounded to an integer when that rounding is
// certain and returns the end; nullptr when the exact conversion must decide.
char* WriteFast(char* out, double value, int decimals) {
  if (decimals >= kFastDecimals) return nullptr;
  const auto index = static_cast<std::size_t>(decimals);
  const double scaled = std::fabs(value) * kPowersOfTen[index];
  if (!(scaled < kFastPathLimit)) return nullptr;
  const double whole = std::floor(scaled);
  const double fraction = scaled - whole;
  if (std::fabs(fraction - 0.5) < kHalfwayMargin) return nullptr;
  const auto units = static_cast<std::uint64_t>(whole) + (fraction > 0.5 ? 1 : 0);
  return kUnitsWriters[index](out, units, std::signbit(value));
}

int TwoDigits(const char* text) { return (text[0] - '0') * 10 + (text[1] - '0'); }

// Carries seconds and minutes of 60 or more in the packed text [start, end)
// whose point is at `point`, and returns the new end (at most one further on).
char* CarryPackedText(char* start, char* point, char* end) {
  const bool negative = *start == '-';
  const char* digits_begin = start + (negative ? 1 : 0);
  // Degrees of more than 18 digits are no survey angle and cannot carry exactly.
  if (point - digits_begin > 18) return end;
  long long degrees = 0;
  for (const char* digit = digits_begin; digit < point; ++digit) {
    degrees = degrees * 10 + (*digit - '0');
  }
  int minutes = TwoDigits(point + 1);
  int seconds = TwoDigits(point + 3);
  if (seconds >= 60) {
    seconds -= 60;
    ++minutes;
  }
  if (minutes >= 60) {
    minutes -= 60;
    ++degrees;
  }
  // The decimals after the seconds stay as they are.
  char rest[kMaxFixedDecimals];
  const auto rest_length = static_cast<std::size_t>(end - (point + 5));
  std::memcpy(rest, point + 5, rest_length);
  char head[40];
  const int head_length = std::snprintf(head, sizeof head, "%s%lld.%02d%02d", negative ? "-" : "",
                                        degrees, minutes, seconds);
  std::memcpy(start, head, static_cast<std::size_t>(head_length));
  std::memcpy(start + head_length, rest, rest_length);
  return start + head_length + rest_length;
}

}  // namespace

char* WriteFixed(char* out, double value, int decimals) {
  decimals = std::clamp(decimals, 0, kMaxFixedDecimals);
  if (!std::isfinite(value)) value = 0.0;
  if (char* end = WriteFast(out, value, decimals)) return end;
  auto [end, error] =
      std::to_chars(out, out + kMaxFixedLength, value, std::chars_format::fixed, decimals);
  // Cannot fail with the room asked for; write zero rather than nothing.
  if (error != std::errc{}) return WriteFixed(out, 0.0, decimals);
  return end;
}

char* WritePackedAngle(char* out, double packed, int decimals) {
  decimals = std::clamp(decimals, 4, kMaxFixedDecimals);
  char* end = WriteFixed(out, packed, decimals);
  // Two digits of minutes, then two of seconds, follow the point.
  char* point = end - decimals - 1;
  if (TwoDigits(point + 1) < 60 && TwoDigits(point + 3) < 60) return end;
  return CarryPackedText(out, point, end);
}

void AppendFixed(std::string& out, double value, int decimals) {
  char text[kMaxFixedLength];
  out.append(text, WriteFixed(text, value, decimals));
}

std::string FormatFixed(double value, int decimals) {
  std::string text;
  AppendFixed(text, value, decimals);
  return text;
}

void AppendPackedAngle(std::string& out, double packed, int decimals) {
  char text[kMaxFixedLength];
  out.append(text, WritePackedAngle(text, packed, decimals));
}

}  // namespace trovisk
