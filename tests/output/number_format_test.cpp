// Fixed-point text must be what the C library's printf writes, byte for byte.
#include "output/number_format.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "geodesy/angles.h"
#include "geodesy/constants.h"

namespace trovisk {
namespace {

// Every precision the adjustment file uses, and the shortest ones.
constexpr int kDecimals[] = {0, 1, 2, 3, 4, 5, 6, 7, 9, 12};

std::string Printf(double value, int decimals) {
  std::vector<char> text(512);
  int length = std::snprintf(text.data(), text.size(), "%1.*lf", decimals, value);
  return std::string(text.data(), static_cast<std::size_t>(length));
}

void ExpectSameAsPrintf(double value) {
  for (int decimals : kDecimals) {
    std::string ours = FormatFixed(value, decimals);
    std::string theirs = Printf(value, decimals);
    if (ours != theirs) {
      ADD_FAILURE() << "value " << Printf(value, 25) << " (bits " << std::hex
                    << std::bit_cast<std::uint64_t>(value) << ") with " << std::dec << decimals
                    << " decimals: ours " << ours << ", printf " << theirs;
      return;
    }
  }
}

TEST(FixedFormat, MatchesPrintfOnChosenValues) {
  const double values[] = {
      0.0, -0.0, 1.0, -1.0, 0.5, 1.5, 2.5, -2.5,
      // Exact binary halves at the written precision: printf rounds them to even.
      0.0625, 0.1875, 2.0625, -2.0625, 0.0009765625, 1.0000005, 0.00000762939453125,
      // Decimal halves that are not exact in binary: the stored value decides.
      0.0000125, 2.5e-6, 0.0005, 0.0015, 1.0045, 2.675, 1.005, 0.000000000005,
      // Negative values that round to zero keep their sign, as printf writes them.
      -1e-9, -0.0004, -4.9e-13, -0.00000049,
      // Survey-sized numbers and the constants the file carries.
      6378137.0, 298.257223563, 3.28083989501312, 3.28083333333333, 15.432098765432098,
      0.0164041994750656, 1520.123, 1503.673, -16.45, 359.5959999999, 89.59599999999999,
      // Around the limit of the quick path and far beyond it.
      1099511627775.4999, 1099511627776.0, 1099511.6277765, 109951.16277765, 1e15, -1e15,
      123456789012345678.0, 1e22, 1e300, -1e300, DBL_MAX, -DBL_MAX,
      // The smallest magnitudes.
      DBL_MIN, -DBL_MIN, std::numeric_limits<double>::denorm_min(), 1e-300};
  for (double value : values) {
    SCOPED_TRACE(Printf(value, 20));
    ExpectSameAsPrintf(value);
  }
}

TEST(FixedFormat, MatchesPrintfOnRandomValuesAndBitPatterns) {
  std::mt19937_64 random(20240611);
  std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
  std::uniform_int_distribution<int> exponent(-16, 22);
  for (int i = 0; i < 30000 && !HasFailure(); ++i) {
    ExpectSameAsPrintf(mantissa(random) * std::pow(10.0, exponent(random)));
    double pattern = std::bit_cast<double>(random());
    if (i % 6 == 0 && std::isfinite(pattern)) ExpectSameAsPrintf(pattern);
  }
}

TEST(FixedFormat, MatchesPrintfOnDecimalHalfwayValues) {
  // k + 0.5 units of the last decimal, as typed: the double nearest such a
  // text lies a hair to either side of the half, which is where a quick
  // rounding of value * 10^N goes wrong.
  std::mt19937_64 random(77);
  std::uniform_int_distribution<std::int64_t> units(0, 99999999999);
  for (int decimals : kDecimals) {
    for (int i = 0; i < 3000; ++i) {
      std::int64_t k = units(random);
      std::string text = std::to_string(k) + "5e-" + std::to_string(decimals + 1);
      double value = std::strtod(text.c_str(), nullptr);
      SCOPED_TRACE(text);
      EXPECT_EQ(FormatFixed(value, decimals), Printf(value, decimals));
      EXPECT_EQ(FormatFixed(-value, decimals), Printf(-value, decimals));
      if (HasFailure()) return;
    }
  }
}

// The writers' own entry points for their decimals must give the same text.
template <int kDecimals>
void ExpectTemplateSameAsPrintf(double value) {
  char text[kMaxFixedLength];
  std::string ours(text, WriteFixed<kDecimals>(text, value));
  EXPECT_EQ(ours, Printf(value, kDecimals))
      << "bits " << std::hex << std::bit_cast<std::uint64_t>(value);
}

TEST(FixedFormat, ConstantDecimalsMatchPrintf) {
  std::mt19937_64 random(5);
  std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
  std::uniform_int_distribution<int> exponent(-8, 14);
  std::uniform_int_distribution<std::int64_t> units(0, 9999999999);
  for (int i = 0; i < 20000 && !HasFailure(); ++i) {
    double value = mantissa(random) * std::pow(10.0, exponent(random));
    // And a decimal half as typed, a hair to either side of the half in binary.
    double half = std::strtod((std::to_string(units(random)) + "5e-6").c_str(), nullptr);
    for (double v : {value, half, -half}) {
      ExpectTemplateSameAsPrintf<3>(v);
      ExpectTemplateSameAsPrintf<5>(v);
      ExpectTemplateSameAsPrintf<6>(v);
      ExpectTemplateSameAsPrintf<9>(v);
      ExpectTemplateSameAsPrintf<12>(v);
    }
  }
  for (double v : {0.0, -0.0, 1e300, DBL_MAX, std::numeric_limits<double>::quiet_NaN(),
                   -std::numeric_limits<double>::infinity()}) {
    SCOPED_TRACE(v);
    ExpectTemplateSameAsPrintf<5>(std::isfinite(v) ? v : 0.0);
    char text[kMaxFixedLength];
    EXPECT_EQ(std::string(text, WriteFixed<5>(text, v)), FormatFixed(v, 5));
  }
}

TEST(FixedFormat, NeverWritesNanOrInfinity) {
  const double values[] = {
      std::numeric_limits<double>::quiet_NaN(), -std::numeric_limits<double>::quiet_NaN(),
      std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()};
  for (double value : values) {
    SCOPED_TRACE(Printf(value, 3));
    EXPECT_EQ(FormatFixed(value, 5), "0.00000");
    EXPECT_EQ(FormatFixed(value, 12), "0.000000000000");
  }
}

}  // namespace
}  // namespace trovisk

namespace trovisk {
namespace {

TEST(PackedAngleText, MinutesAndSecondsNeverReachSixty) {
  struct Case {
    double packed;
    int decimals;
    const char* text;
  } cases[] = {
      {90.3015, 6, "90.301500"},
      {349.595999999999, 6, "350.000000"},  // a hair under 350 degrees
      {89.5959999999, 6, "90.000000"},      // zenith 90 degrees through 2 pi - 270
      {10.0459999999, 6, "10.050000"},      // a hair under 10 deg 05'
      {-0.5959999999, 6, "-1.000000"},      // the sign stays on the whole angle
      {45.123456789, 9, "45.123456789"},    // nothing to carry
      {44.5959999999999, 9, "45.000000000"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.packed);
    std::string text;
    AppendPackedAngle(text, c.packed, c.decimals);
    EXPECT_EQ(text, c.text);
    char constant[kMaxFixedLength];
    char* end = c.decimals == 6 ? WritePackedAngle<6>(constant, c.packed)
                                : WritePackedAngle<9>(constant, c.packed);
    EXPECT_EQ(std::string(constant, end), c.text);
  }
}

TEST(PackedAngleText, ConstantDecimalsAgreeWithTheGeneralPath) {
  // Packed angles whose minutes or seconds print as 59 or 60, and any others.
  std::mt19937_64 random(11);
  std::uniform_int_distribution<int> degrees(-400, 400);
  std::uniform_int_distribution<int> minutes(0, 59);
  std::uniform_real_distribution<double> seconds(59.9999, 60.0);
  std::uniform_real_distribution<double> any(-400.0, 400.0);
  for (int i = 0; i < 20000 && !HasFailure(); ++i) {
    int d = degrees(random);
    double near_minute =
        d + (d < 0 ? -1 : 1) * (minutes(random) / 100.0 + seconds(random) / 10000.0);
    double near_degree = d + (d < 0 ? -1 : 1) * (0.59 + seconds(random) / 10000.0);
    for (double packed : {near_minute, near_degree, any(random)}) {
      SCOPED_TRACE(Printf(packed, 17));
      std::string general6;
      std::string general9;
      AppendPackedAngle(general6, packed, 6);
      AppendPackedAngle(general9, packed, 9);
      char text[kMaxFixedLength];
      EXPECT_EQ(std::string(text, WritePackedAngle<6>(text, packed)), general6);
      EXPECT_EQ(std::string(text, WritePackedAngle<9>(text, packed)), general9);
    }
  }
}

// The angle writers' shortcut from radians must give the bytes of the long
// way, RadiansToDms and then the packed text, for every angle.
template <int kDecimals>
void ExpectRadiansAsPacked(double radians) {
  char direct[kMaxFixedLength];
  char long_way[kMaxFixedLength];
  std::string ours(direct, WriteRadiansAsPackedAngle<kDecimals>(direct, radians));
  std::string theirs(long_way, WritePackedAngle<kDecimals>(long_way, RadiansToDms(radians)));
  EXPECT_EQ(ours, theirs) << kDecimals << " decimals, radians " << Printf(radians, 20) << " (bits "
                          << std::hex << std::bit_cast<std::uint64_t>(radians) << ")";
}

void ExpectRadiansAsPackedBoth(double radians) {
  for (double r : {radians, -radians}) {
    ExpectRadiansAsPacked<6>(r);
    ExpectRadiansAsPacked<9>(r);
  }
}

TEST(PackedAngleText, FromRadiansAgreesWithTheLongWay) {
  const double kInf = std::numeric_limits<double>::infinity();
  const double chosen[] = {
      0.0, -0.0, 1e-300, std::numeric_limits<double>::denorm_min(), 1e-12, kPi, 2 * kPi, kPi / 2,
      kPi / 180, kPi / 10800, 1e6, 1e300, kInf, std::numeric_limits<double>::quiet_NaN(),
      // The degree limits of the shortcut (2^19 degrees at 6 decimals, 2^9 at
      // 9), and a step to either side.
      524288.0 / kDegreesPerRadian, std::nextafter(524288.0 / kDegreesPerRadian, 0.0),
      std::nextafter(524288.0 / kDegreesPerRadian, kInf), 512.0 / kDegreesPerRadian,
      std::nextafter(512.0 / kDegreesPerRadian, 0.0),
      std::nextafter(512.0 / kDegreesPerRadian, kInf)};
  for (double radians : chosen) ExpectRadiansAsPackedBoth(radians);

  std::mt19937_64 random(1931);
  std::uniform_real_distribution<double> any(0.0, 4 * kPi);
  std::uniform_int_distribution<int> degrees(0, 540);
  std::uniform_int_distribution<int> minutes(0, 59);
  std::uniform_int_distribution<std::int64_t> seconds(0, 599999999);
  std::uniform_real_distribution<double> last_second(59.99999, 60.0);
  for (int i = 0; i < 40000 && !HasFailure(); ++i) {
    ExpectRadiansAsPackedBoth(any(random));
    // Angles typed with a decimal half after the written decimals, as a
    // collector writes them: the packed value of such an angle lies a hair to
    // either side of the half.
    char typed[64];
    const auto s = seconds(random);
    std::snprintf(typed, sizeof typed, "%d.%02d%02d%07lld5", degrees(random), minutes(random),
                  static_cast<int>(s / 10000000), static_cast<long long>(s % 10000000));
    const double packed = std::strtod(typed, nullptr);
    ExpectRadiansAsPackedBoth(DmsToRadians(packed));
    std::snprintf(typed, sizeof typed, "%d.%02d%02d%04lld5", degrees(random), minutes(random),
                  static_cast<int>(s / 10000000), static_cast<long long>(s % 10000));
    ExpectRadiansAsPackedBoth(DmsToRadians(std::strtod(typed, nullptr)));
    // A hair under a whole minute or degree, where seconds and minutes carry.
    const int d = degrees(random);
    const double minute = d + minutes(random) / 100.0 + last_second(random) / 10000.0;
    const double degree = d + 0.59 + last_second(random) / 10000.0;
    ExpectRadiansAsPackedBoth(DmsToRadians(minute));
    ExpectRadiansAsPackedBoth(DmsToRadians(degree));
    ExpectRadiansAsPackedBoth((d + 1) / kDegreesPerRadian);
    ExpectRadiansAsPackedBoth(std::nextafter((d + 1) / kDegreesPerRadian, 0.0));
  }
}

}  // namespace
}  // namespace trovisk
