// Combination of several determinations: blunders set aside, agreement kept.
#include "geodesy/robust_combination.h"

#include <gtest/gtest.h>

#include "geodesy/constants.h"

namespace trovisk {
namespace {

constexpr double kTenthMillimetre = 1e-4;
constexpr double kHundredthArcSecond = 4.85e-8;

TEST(RobustCombinationTest, PointsKeepTheMajorityAndSetTheBlunderAside) {
  struct Case {
    const char* name;
    std::vector<PlanePoint> points;
    PlanePoint expected;
    std::vector<std::size_t> set_aside;
  } cases[] = {
      {"one alone", {{10, 20}}, {10, 20}, {}},
      {"two that agree are averaged", {{10, 20}, {10.02, 20}}, {10.01, 20}, {}},
      {"two that disagree keep the first", {{10, 20}, {15, 20}}, {10, 20}, {1}},
      {"a blunder among three", {{10, 20}, {10, 25}, {10, 20}}, {10, 20}, {1}},
      {"a blunder among five with scatter",
       {{10.01, 20}, {9.99, 20.01}, {10, 19.99}, {30, 40}, {10, 20}},
       {10, 20},
       {3}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PlanePoint result;
    Combination combination = CombinePoints(c.points, result);
    ASSERT_TRUE(combination.ok);
    EXPECT_NEAR(result.north, c.expected.north, kTenthMillimetre);
    EXPECT_NEAR(result.east, c.expected.east, kTenthMillimetre);
    EXPECT_EQ(combination.set_aside, c.set_aside);
    EXPECT_EQ(combination.kept.size() + combination.set_aside.size(), c.points.size());
  }
}

TEST(RobustCombinationTest, ScatterWiderThanTheFloorIsNotABlunder) {
  // Five elevations within 0.3 m of each other: all kept, mean returned.
  std::vector<double> values{100.0, 100.3, 99.8, 100.1, 99.9};
  double result = 0.0;
  Combination combination = CombineValues(values, result);
  EXPECT_EQ(combination.kept.size(), 5u);
  EXPECT_NEAR(result, 100.02, kTenthMillimetre);
  EXPECT_NEAR(combination.spread, 0.28, kTenthMillimetre);
}

TEST(RobustCombinationTest, AnglesCombineAcrossNorth) {
  const double second = kPi / 180.0 / 3600.0;
  std::vector<double> angles{kTwoPi - 2 * second, 4 * second, 1 * second, kPi};
  double result = 0.0;
  Combination combination = CombineAngles(angles, result);
  EXPECT_EQ(combination.set_aside, std::vector<std::size_t>{3});
  EXPECT_NEAR(result, 1 * second, kHundredthArcSecond);
}

}  // namespace
}  // namespace trovisk
