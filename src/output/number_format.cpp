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

#include "geodesy/angles.h"
#include "geodesy/constants.h"

namespace trovisk {
namespace {

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Decimals the fast path handles: 10^N is exact in a double and in 64 bits.
constexpr int kFastDecimals = 13;
constexpr std::array<double, kFastDecimals> kPowersOfTen = {1e0, 1e1, 1e2, 1e3,  1e4,  1e5, 1e6,
                                                            1e7, 1e8, 1e9, 1e10, 1e11, 1e12};
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

// The `count` low decimal digits of v, ending just before `end`, two at a
// time. Longer runs are cut into fours first, whose two pairs do not wait on
// each other, so that fewer divisions wait on the one before.
template <int kCount, typename Unsigned>
void WriteLowDigits(char* end, Unsigned v) {
  if constexpr (kCount > 4) {
    constexpr Unsigned kFour = 10000;
    const Unsigned high = v / kFour;
    const auto low = static_cast<std::uint32_t>(v - high * kFour);
    const std::uint32_t low_high = low / 100;
    std::memcpy(end - 4, &kDigitPairs[2 * low_high], 2);
    std::memcpy(end - 2, &kDigitPairs[2 * (low - low_high * 100)], 2);
    WriteLowDigits<kCount - 4>(end - 4, high);
  } else {
    for (int count = kCount; count >= 2; count -= 2) {
      end -= 2;
      std::memcpy(end, &kDigitPairs[2 * (v % 100)], 2);
      v /= 100;
    }
    if constexpr (kCount % 2 == 1) end[-1] = static_cast<char>('0' + v % 10);
  }
}

// Whole words of digits need the bytes of a word in memory order.
constexpr bool kWordDigits = std::endian::native == std::endian::little;
// Integers below this have at most eight digits: one word.
constexpr std::uint64_t kOneWordLimit = 100000000;

// The digits of v (one for zero) at `out`; returns their end. Built right to
// left, so that no digit count is needed first: in a register when they fill
// one word, else in a scratch array moved with one fixed-size copy (sixteen
// digits hold anything below 2^40). A register, because reading back digits
// just stored piecemeal stalls the processor. Declared inline so that the
// compiler puts it into each writer rather than calling it.
template <typename Unsigned>
inline char* WriteInteger(char* out, Unsigned v) {
  if (kWordDigits && v < kOneWordLimit) {
    std::uint64_t text = 0;
    int length = 0;
    std::uint16_t pair;
    for (; v >= 100; v /= 100, length += 2) {
      std::memcpy(&pair, &kDigitPairs[2 * (v % 100)], 2);
      text = text << 16 | pair;
    }
    if (v >= 10) {
      std::memcpy(&pair, &kDigitPairs[2 * v], 2);
      text = text << 16 | pair;
      length += 2;
    } else {
      text = text << 8 | static_cast<std::uint64_t>('0' + v);
      length += 1;
    }
    std::memcpy(out, &text, sizeof text);
    return out + length;
  }
  constexpr std::size_t kDigits = 16;
  char scratch[2 * kDigits] = {};
  char* const end = scratch + kDigits;
  char* first = end;
  while (v >= 100) {
    first -= 2;
    std::memcpy(first, &kDigitPairs[2 * (v % 100)], 2);
    v /= 100;
  }
  if (v >= 10) {
    first -= 2;
    std::memcpy(first, &kDigitPairs[2 * v], 2);
  } else {
    *--first = static_cast<char>('0' + v);
  }
  std::memcpy(out, first, kDigits);
  return out + (end - first);
}

// The digits of v, below 1000, at `out`: the degrees of an angle, written
// here rather than through a call.
inline char* WriteSmallInteger(char* out, std::uint32_t v) {
  if (v >= 100) {
    const std::uint32_t hundreds = v / 100;
    out[0] = static_cast<char>('0' + hundreds);
    std::memcpy(out + 1, &kDigitPairs[2 * (v - hundreds * 100)], 2);
    return out + 3;
  }
  if (v >= 10) {
    std::memcpy(out, &kDigitPairs[2 * v], 2);
    return out + 2;
  }
  out[0] = static_cast<char>('0' + v);
  return out + 1;
}

// |value| * 10^kDecimals rounded to an integer, when that rounding is
// certain; false when the exact conversion must decide (a value out of range
// or not finite, or one too close to a half).
template <int kDecimals>
bool FastUnits(double value, std::uint64_t& units) {
  const double scaled = std::fabs(value) * kPowersOfTen[kDecimals];
  if (!(scaled < kFastPathLimit)) return false;
  // Below 2^40 the conversion truncates exactly, and the fraction is exact.
  const auto whole = static_cast<std::int64_t>(scaled);
  const double fraction = scaled - static_cast<double>(whole);
  if (std::fabs(fraction - 0.5) < kHalfwayMargin) return false;
  units = static_cast<std::uint64_t>(whole) + (fraction > 0.5 ? 1 : 0);
  return true;
}

// Writes a number split at the point (`fraction_units` of 10^-kDecimals,
// below 1) as fixed text and returns the end; a sign when negative, as printf
// keeps it on a negative value that rounds to zero. The constant decimals let
// the compiler turn the divisions into multiplications.
template <int kDecimals>
char* WriteParts(char* out, std::uint64_t integer, std::uint64_t fraction_units, bool negative) {
  *out = '-';
  out += negative ? 1 : 0;
  if constexpr (kFastPathLimit / kIntegerPowersOfTen[kDecimals] < 4294967296.0) {
    out = WriteInteger(out, static_cast<std::uint32_t>(integer));
  } else {
    out = WriteInteger(out, integer);
  }
  if constexpr (kDecimals > 0) {
    *out = '.';
    out += 1 + kDecimals;
    if constexpr (kIntegerPowersOfTen[kDecimals] <= UINT32_MAX) {
      WriteLowDigits<kDecimals>(out, static_cast<std::uint32_t>(fraction_units));
    } else {
      WriteLowDigits<kDecimals>(out, fraction_units);
    }
  }
  return out;
}

// `units` of 10^-kDecimals as fixed text.
template <int kDecimals>
char* WriteUnits(char* out, std::uint64_t units, bool negative) {
  constexpr std::uint64_t kScale = kIntegerPowersOfTen[kDecimals];
  const std::uint64_t integer = units / kScale;
  return WriteParts<kDecimals>(out, integer, units - integer * kScale, negative);
}

// The fast path: the text, or nullptr when the exact conversion must decide.
template <int kDecimals>
char* WriteFast(char* out, double value) {
  std::uint64_t units;
  if (!FastUnits<kDecimals>(value, units)) return nullptr;
  return WriteUnits<kDecimals>(out, units, std::signbit(value));
}

using FastWriter = char* (*)(char*, double);

template <std::size_t... kDecimals>
constexpr std::array<FastWriter, sizeof...(kDecimals)> MakeFastWriters(
    std::index_sequence<kDecimals...>) {
  return {&WriteFast<static_cast<int>(kDecimals)>...};
}

constexpr auto kFastWriters = MakeFastWriters(std::make_index_sequence<kFastDecimals>{});

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
  if (static_cast<unsigned>(decimals) < static_cast<unsigned>(kFastDecimals)) {
    if (char* end = kFastWriters[static_cast<std::size_t>(decimals)](out, value)) return end;
  }
  decimals = std::clamp(decimals, 0, kMaxFixedDecimals);
  if (!std::isfinite(value)) return WriteFixed(out, 0.0, decimals);
  auto [end, error] =
      std::to_chars(out, out + kMaxFixedLength, value, std::chars_format::fixed, decimals);
  // Cannot fail with the room asked for; write zero rather than nothing.
  if (error != std::errc{}) return WriteFixed(out, 0.0, decimals);
  return end;
}

template <int kDecimals>
char* WriteFixed(char* out, double value) {
  static_assert(0 <= kDecimals && kDecimals < kFastDecimals);
  if (char* end = WriteFast<kDecimals>(out, value)) return end;
  return WriteFixed(out, value, kDecimals);
}

template <int kDecimals>
char* WritePackedAngle(char* out, double packed) {
  static_assert(4 <= kDecimals && kDecimals < kFastDecimals);
  std::uint64_t units;
  if (FastUnits<kDecimals>(packed, units)) {
    // The minute and second digits, the first four decimals, from the units
    // themselves; when either reaches 60 the text is carried below.
    constexpr std::uint64_t kScale = kIntegerPowersOfTen[kDecimals];
    const std::uint64_t integer = units / kScale;
    const std::uint64_t fraction = units - integer * kScale;
    const auto minutes_seconds =
        static_cast<std::uint32_t>(fraction / kIntegerPowersOfTen[kDecimals - 4]);
    const std::uint32_t minutes = minutes_seconds / 100;
    if (minutes < 60 && minutes_seconds - minutes * 100 < 60) {
      return WriteParts<kDecimals>(out, integer, fraction, std::signbit(packed));
    }
  }
  return WritePackedAngle(out, packed, kDecimals);
}

namespace {

// Degrees below which the packed digits of an angle can be made from its
// degrees and the fraction of a degree left: the packed number RadiansToDms
// forms is off from the exact sum of its three parts by at most one unit in
// its last place (two roundings of half a unit, below `limit`, which is
// limit * 2^-53) plus about 7e-17 from the decimal constants. Scaled by
// 10^kDecimals that must stay well inside the halfway margin:
// limit * 2^-53 * 10^N <= 2^-14, with the limit a power of two. The minutes
// it rounds (by at most 2^-47) and the product rounded here add below 1e-7
// units, so all of it stays under half the margin.
template <int kDecimals>
constexpr double DirectDegreeLimit() {
  double limit = 1.0;
  while (limit * 2.0 * kPowersOfTen[kDecimals] <= 549755813888.0) limit *= 2.0;  // 2^39
  return limit;
}

// Units of the last decimal in a whole minute of the packed form: 60 seconds
// of 10^(kDecimals - 4) units each; and in a whole degree.
template <int kDecimals>
constexpr std::uint32_t kMinuteUnits =
    static_cast<std::uint32_t>(6 * kIntegerPowersOfTen[kDecimals - 3]);
template <int kDecimals>
constexpr double kDegreeUnits = 60.0 * kMinuteUnits<kDecimals>;

}  // namespace

template <int kDecimals>
char* WriteRadiansAsPackedAngle(char* out, double radians) {
  static_assert(kDecimals == 6 || kDecimals == 9);
  // RadiansToDms on the magnitude: every step of it is exact or rounds alike
  // for either sign, so the packed value of -x is minus that of x. Its whole
  // degrees d are those here (a conversion to an integer truncates exactly
  // below the limit), and the rest of the packed value is its minutes m and
  // the fraction f of a minute left after them, written as m * 10^-2 +
  // f * 0.006. Scaled by 10^kDecimals that rest is, but for errors far inside
  // the halfway margin (see DirectDegreeLimit), the fraction of a degree in
  // units of the last decimal, U below: m whole minutes of kUnits, then
  // f * kUnits. So the rounded U gives the minutes and the seconds digits at
  // once, without the steps in between. When the seconds round up to a whole
  // minute the long way writes "SS" as 60 and carries it to the minutes,
  // which gives the digits of the rounded U as well.
  const double degrees = std::fabs(radians) * kDegreesPerRadian;
  if (degrees < DirectDegreeLimit<kDecimals>()) {
    constexpr auto kUnits = kMinuteUnits<kDecimals>;
    const auto whole_degrees = static_cast<std::uint32_t>(degrees);
    const double units = (degrees - static_cast<double>(whole_degrees)) * kDegreeUnits<kDecimals>;
    const auto whole_units = static_cast<std::uint32_t>(units);
    const double fraction = units - static_cast<double>(whole_units);
    const std::uint32_t rounded = whole_units + (fraction > 0.5 ? 1 : 0);
    const std::uint32_t minutes = rounded / kUnits;
    // A half too close to call, or minutes that reach 60, go the long way,
    // which decides and carries them.
    if (std::fabs(fraction - 0.5) >= kHalfwayMargin && minutes < 60) {
      // A negative angle keeps its sign even when it prints as zero, as the
      // packed number does; minus zero packs to plus zero.
      *out = '-';
      out += radians < 0.0 ? 1 : 0;
      out = whole_degrees < 1000 ? WriteSmallInteger(out, whole_degrees)
                                 : WriteInteger(out, whole_degrees);
      out[0] = '.';
      std::memcpy(out + 1, &kDigitPairs[2 * minutes], 2);
      WriteLowDigits<kDecimals - 2>(out + 1 + kDecimals, rounded - minutes * kUnits);
      return out + 1 + kDecimals;
    }
  }
  return WritePackedAngle<kDecimals>(out, RadiansToDms(radians));
}

// Every number of decimals the fast path takes.
template char* WriteFixed<0>(char*, double);
template char* WriteFixed<1>(char*, double);
template char* WriteFixed<2>(char*, double);
template char* WriteFixed<3>(char*, double);
template char* WriteFixed<4>(char*, double);
template char* WriteFixed<5>(char*, double);
template char* WriteFixed<6>(char*, double);
template char* WriteFixed<7>(char*, double);
template char* WriteFixed<8>(char*, double);
template char* WriteFixed<9>(char*, double);
template char* WriteFixed<10>(char*, double);
template char* WriteFixed<11>(char*, double);
template char* WriteFixed<12>(char*, double);
template char* WritePackedAngle<4>(char*, double);
template char* WritePackedAngle<5>(char*, double);
template char* WritePackedAngle<6>(char*, double);
template char* WritePackedAngle<7>(char*, double);
template char* WritePackedAngle<8>(char*, double);
template char* WritePackedAngle<9>(char*, double);
template char* WritePackedAngle<10>(char*, double);
template char* WritePackedAngle<11>(char*, double);
template char* WritePackedAngle<12>(char*, double);
template char* WriteRadiansAsPackedAngle<6>(char*, double);
template char* WriteRadiansAsPackedAngle<9>(char*, double);

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
