// Numbers in the adjustment file: fixed-point text byte for byte what the C
// library's printf writes, and packed angles whose minutes and seconds never
// read 60.
#include "output/number_format.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <limits>
#include <random>
#include <string>

namespace trovisk {
namespace {

// Every precision the adjustment file uses, and the shortest ones.
constexpr int kDecimals[] = {0, 1, 2, 3, 5, 6, 9, 12};

std::string Printf(double value, int decimals) {
  char text[512];
  const int length = std::snprintf(text, sizeof text, "%1.*lf", decimals, value);
  return std::string(text, static_cast<std::size_t>(length));
}

std::string Packed(double packed, int decimals) {
  char text[kMaxFixedLength];
  return std::string(text, WritePackedAngle(text, packed, decimals));
}

TEST(FixedText, SameAsPrintf) {
  const double values[] = {
      0.0, -0.0, 1.0, -1.0, 0.5, 1.5, 2.5, -2.5,
      // Exact binary halves at the written precision: printf rounds them to even.
      0.0625, 2.0625, 0.0009765625, 1.0000005, 0.00000762939453125,
      // Decimal halves that are not exact in binary: the stored value decides.
      0.0000125, 0.0005, 1.0045, 2.675, 1.005, 0.000000000005,
      // Negative values that round to zero keep their sign.
      -1e-9, -0.0004, -4.9e-13,
      // Survey-sized numbers and the constants the file carries.
      6378137.0, 298.257223563, 3.28083333333333, 15.432098765432098, 1520.123, -16.45,
      359.5959999999, 100012.00000000001,
      // Large and small magnitudes.
      1099511627776.0, 1e15, -1e15, 1e22, 1e300, DBL_MAX, -DBL_MAX, DBL_MIN,
      std::numeric_limits<double>::denorm_min()};
  for (double value : values) {
    for (int decimals : kDecimals) {
      SCOPED_TRACE(Printf(value, 20) + " with " + std::to_string(decimals) + " decimals");
      EXPECT_EQ(FormatFixed(value, decimals), Printf(value, decimals));
    }
  }
}

TEST(FixedText, SameAsPrintfOnRandomAndHalfwayValues) {
  std::mt19937_64 random(20240611);
  std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
  std::uniform_int_distribution<int> exponent(-14, 16);
  std::uniform_int_distribution<long long> units(0, 99999999999);
  for (int i = 0; i < 20000 && !HasFailure(); ++i) {
    const int decimals = kDecimals[static_cast<std::size_t>(i) % std::size(kDecimals)];
    // k + 0.5 units of the last decimal, as typed: the double nearest such a
    // text lies a hair to either side of the half.
    const std::string typed = std::to_string(units(random)) + "5e-" + std::to_string(decimals + 1);
    const double half = std::strtod(typed.c_str(), nullptr);
    for (double value : {mantissa(random) * std::pow(10.0, exponent(random)), half, -half}) {
      SCOPED_TRACE(Printf(value, 20) + " with " + std::to_string(decimals) + " decimals");
      EXPECT_EQ(FormatFixed(value, decimals), Printf(value, decimals));
    }
  }
}

TEST(FixedText, NeverNanOrInfinity) {
  const double kInf = std::numeric_limits<double>::infinity();
  for (double value : {std::numeric_limits<double>::quiet_NaN(), kInf, -kInf}) {
    SCOPED_TRACE(value);
    EXPECT_EQ(FormatFixed(value, 5), "0.00000");
    EXPECT_EQ(FormatFixed(value, 12), "0.000000000000");
  }
}

TEST(PackedAngleText, MinutesAndSecondsNeverReachSixty) {
  const struct {
    double packed;
    int decimals;
    const char* text;
  } cases[] = {
      {90.3015, 6, "90.301500"},
      {349.595999999999, 6, "350.000000"},  // a hair under 350 degrees
      {89.5959999999, 6, "90.000000"},
      {10.0459999999, 6, "10.050000"},    // a hair under 10 deg 05'
      {99.5959999999, 6, "100.000000"},   // the degrees gain a digit
      {-0.5959999999, 6, "-1.000000"},    // the sign stays on the whole angle
      {-12.3059999999, 6, "-12.310000"},  // seconds carried into the minutes
      {45.123456789, 9, "45.123456789"},  // nothing to carry
      {44.5959999999999, 9, "45.000000000"},
      {7.2959999999, 4, "7.3000"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(Packed(c.packed, c.decimals), c.text);
  }
}

}  // namespace
}  // namespace trovisk
