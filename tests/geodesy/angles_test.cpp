// Packed angles, gons, one-turn wrapping, both arctangents and rounding.
#include "geodesy/angles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

namespace trovisk {
namespace {

constexpr double kHundredthArcsecond = 4.85e-8;  // radians
// A hundredth of an arc-second written in the packed DD.MMSSsssss form.
constexpr double kPackedHundredthArcsecond = 1e-6;
constexpr double kPi = std::numbers::pi;

double Radians(double degrees, double minutes = 0.0, double seconds = 0.0) {
  return (degrees + minutes / 60.0 + seconds / 3600.0) * kPi / 180.0;
}

TEST(DmsToRadians, UnpacksDegreesMinutesAndSeconds) {
  struct Case {
    double packed;
    double expected;
  };
  const Case cases[] = {
      {0.0, 0.0},
      {10.3, Radians(10, 30)},
      // Stored a hair below their decimal: without the guard the minutes drop
      // by one and the seconds read 99.99, forty seconds off.
      {0.29, Radians(0, 29)},
      {1.13, Radians(1, 13)},
      {0.57, Radians(0, 57)},
      {45.3015, Radians(45, 30, 15)},
      {359.5959, Radians(359, 59, 59)},
      {12.0000123, Radians(12, 0, 0.123)},
      {-0.0015, -Radians(0, 0, 15)},
      {-45.3015, -Radians(45, 30, 15)},
      // Minutes and seconds are not checked against 60.
      {10.75, Radians(10, 75)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.packed);
    EXPECT_NEAR(DmsToRadians(c.packed), c.expected, kHundredthArcsecond);
  }
}

TEST(RadiansToDms, PacksWithoutRoundingOrCarry) {
  struct Case {
    double radians;
    double expected;
  };
  const Case cases[] = {
      {0.0, 0.0},
      {Radians(45, 30, 15), 45.3015},
      {Radians(10, 30), 10.3},
      {Radians(123, 4, 5.678), 123.0405678},
      // Half a second under a full turn stays under it: no carry to 360.
      {Radians(359, 59, 59.5), 359.59595},
      {-Radians(0, 0, 15), -0.0015},
      {-Radians(45, 30, 15), -45.3015},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    EXPECT_NEAR(RadiansToDms(c.radians), c.expected, kPackedHundredthArcsecond);
  }
}

TEST(Gons, AQuarterTurnIsOneHundred) {
  EXPECT_NEAR(GonsToRadians(100.0), kPi / 2.0, kHundredthArcsecond);
  EXPECT_NEAR(GonsToRadians(-50.0), -kPi / 4.0, kHundredthArcsecond);
  EXPECT_NEAR(RadiansToGons(kPi), 200.0, 1e-8);
  EXPECT_NEAR(RadiansToGons(GonsToRadians(123.4567)), 123.4567, 1e-9);
}

TEST(NormalizeAngle, WrapsOnceOnly) {
  struct Case {
    double in;
    double expected;
  };
  const double two_pi = 2.0 * kPi;
  const Case cases[] = {
      {0.0, 0.0},           {1.0, 1.0},
      {two_pi, two_pi},                             // a full turn is kept, not made 0
      {7.0, 7.0 - two_pi},  {13.0, 13.0 - two_pi},  // still above a turn after the one wrap
      {-0.1, two_pi - 0.1}, {-7.0, -7.0 + two_pi},  // still negative after the one wrap
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.in);
    EXPECT_NEAR(NormalizeAngle(c.in), c.expected, 1e-15);
  }
  EXPECT_LT(NormalizeAngle(-7.0), 0.0);
}

TEST(AddAngles, BringsTheSumIntoOneTurn) {
  struct Case {
    double a, b, expected;
  };
  const double two_pi = 2.0 * kPi;
  const Case cases[] = {
      {1.0, 2.0, 3.0},           {3.0, 4.0, 7.0 - two_pi},
      {kPi, kPi, two_pi},  // exactly a turn is not wrapped
      {-1.0, 0.5, two_pi - 0.5}, {-1.0, 1.0, 0.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.a << " + " << c.b);
    EXPECT_NEAR(AddAngles(c.a, c.b), c.expected, 1e-15);
  }
}

TEST(QuadrantArctan, AxesFollowTheirOwnRules) {
  struct Case {
    double x, y, expected;
  };
  const Case cases[] = {
      {1.0, 0.0, 0.0},         {0.0, 1.0, kPi / 2.0},  {-1.0, 0.0, -kPi},
      {0.0, -1.0, -kPi / 2.0}, {0.0, 0.0, -kPi / 2.0}, {1e-300, 0.0, 0.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "x " << c.x << " y " << c.y);
    EXPECT_EQ(QuadrantArctan(c.x, c.y), c.expected);
  }
}

TEST(QuadrantArctan, AgreesWithAtan2OffTheAxes) {
  // Every quadrant, close to and away from the axes, at several radii.
  for (double degrees = -179.5; degrees < 180.0; degrees += 7.25) {
    for (double radius : {1e-6, 1.0, 6.4e6}) {
      const double angle = degrees * kPi / 180.0;
      const double x = radius * std::cos(angle);
      const double y = radius * std::sin(angle);
      SCOPED_TRACE(::testing::Message() << degrees << " deg, radius " << radius);
      EXPECT_NEAR(QuadrantArctan(x, y), std::atan2(y, x), 1e-14);
    }
  }
}

TEST(PolarAngle, QuadrantsAndAxes) {
  struct Case {
    double y, x, expected;
  };
  const Case cases[] = {
      {0.0, 1.0, 0.0},
      {1.0, 0.0, kPi / 2.0},
      {0.0, 0.0, kPi / 2.0},
      {-1.0, 0.0, -kPi / 2.0},
      {0.0, -1.0, -kPi},
      {1.0, 1.0, kPi / 4.0},
      {1.0, -1.0, 3 * kPi / 4.0},
      {-1.0, -1.0, -3 * kPi / 4.0},
      {-1.0, 1.0, -kPi / 4.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "y " << c.y << " x " << c.x);
    EXPECT_NEAR(PolarAngle(c.y, c.x), c.expected, 1e-15);
  }
  for (double degrees = -179.5; degrees < 180.0; degrees += 7.25) {
    const double angle = degrees * kPi / 180.0;
    SCOPED_TRACE(degrees);
    EXPECT_NEAR(PolarAngle(std::sin(angle), std::cos(angle)), angle, 1e-14);
  }
}

TEST(AngleHelpers, SignAndIntegerPartOfNegatives) {
  EXPECT_EQ(SignOf(0.0), 1.0);
  EXPECT_EQ(SignOf(-0.0), 1.0);
  EXPECT_EQ(SignOf(-1e-300), -1.0);
  // Toward zero, so the parts of a negative packed angle stay negative.
  EXPECT_EQ(Trunc(-2.75), -2.0);
  EXPECT_EQ(Frac(-2.75), -0.75);
  EXPECT_EQ(Frac(2.75), 0.75);
}

TEST(RoundToDecimals, RoundsThroughText) {
  struct Case {
    double value;
    int decimals;
    double expected;
  };
  const Case cases[] = {
      {1.23456, 3, 1.235},
      {-1.23456, 3, -1.235},
      {0.0149, 2, 0.01},
      {12.5001, 0, 13.0},
      {0.0004, 3, 0.0},
      {6378137.12345, 3, 6378137.123},
      {1.5e308, 3, 1.5e308},
      // Text longer than any buffer would need: the value comes back as it is.
      {-1.7e308, 90, -1.7e308},
      {1e-5, 500, 1e-5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.value << " to " << c.decimals);
    EXPECT_EQ(RoundToDecimals(c.value, c.decimals), c.expected);
  }
  EXPECT_TRUE(std::isnan(RoundToDecimals(std::numeric_limits<double>::quiet_NaN(), 3)));
}

}  // namespace
}  // namespace trovisk
