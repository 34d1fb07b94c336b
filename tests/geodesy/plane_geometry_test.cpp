// Plane constructions: azimuth quadrants, intersections and free-station
// resections against points worked by hand.
#include "geodesy/plane_geometry.h"

#include <gtest/gtest.h>

#include <cmath>

#include "geodesy/constants.h"

namespace trovisk {
namespace {

constexpr double kTenthMillimetre = 1e-4;
constexpr double kHundredthArcSecond = 4.85e-8;
constexpr double kDegree = kPi / 180.0;

TEST(PlaneGeometryTest, AzimuthIsClockwiseFromNorthInEveryQuadrant) {
  struct Case {
    double north, east, degrees;
  } cases[] = {{10, 0, 0},    {10, 10, 45},    {0, 10, 90},   {-10, 10, 135},
               {-10, 0, 180}, {-10, -10, 225}, {0, -10, 270}, {10, -10, 315}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.degrees);
    EXPECT_NEAR(AzimuthBetween({0, 0}, {c.north, c.east}), c.degrees * kDegree,
                kHundredthArcSecond);
    PlanePoint p = PolarPoint({0, 0}, c.degrees * kDegree, std::hypot(c.north, c.east));
    EXPECT_NEAR(p.north, c.north, kTenthMillimetre);
    EXPECT_NEAR(p.east, c.east, kTenthMillimetre);
  }
}

TEST(PlaneGeometryTest, IntersectsDirectionsOnlyInFrontOfBothStations) {
  struct Case {
    const char* name;
    double az1_deg, az2_deg;
    bool ok;
    double north, east;
  } cases[] = {
      // From (0,0) and (0,100): the point (50,50) is NE of the first and NW of the second.
      {"meet ahead", 45, 315, true, 50, 50},
      {"meet behind both", 225, 135, false, 0, 0},
      {"parallel", 0, 0, false, 0, 0},
      {"crossing at two degrees", 0, 358, false, 0, 0},
      // Azimuth 0 from (0,0) and 300 from (0,100): x = 100 / tan(60°) north.
      {"steep crossing", 0, 300, true, 100.0 / std::sqrt(3.0), 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PlanePoint p;
    bool ok = IntersectDirections({0, 0}, c.az1_deg * kDegree, {0, 100}, c.az2_deg * kDegree, p);
    EXPECT_EQ(ok, c.ok);
    if (ok && c.ok) {
      EXPECT_NEAR(p.north, c.north, kTenthMillimetre);
      EXPECT_NEAR(p.east, c.east, kTenthMillimetre);
    }
  }
}

// Directions a station at `at` reads to `targets` with its circle zero on
// azimuth `zero`.
void ReadDirections(const PlanePoint& at, double zero, const PlanePoint* targets, int count,
                    TargetSighting* out, bool with_distance) {
  for (int i = 0; i < count; ++i) {
    double d = AzimuthBetween(at, targets[i]) - zero;
    out[i].target = targets[i];
    out[i].direction = d < 0 ? d + kTwoPi : d;
    out[i].distance = with_distance ? DistanceBetween(at, targets[i]) : -1.0;
  }
}

TEST(PlaneGeometryTest, ResectsFromThreeDirections) {
  const PlanePoint targets[3] = {{5300, 1200}, {5150, 1900}, {4400, 1500}};
  struct Case {
    const char* name;
    PlanePoint station;
    double zero_deg;
  } cases[] = {
      {"inside the triangle", {4950, 1520}, 37.5},
      {"outside the triangle", {4700, 2300}, 0.0},
      {"circle zero just short of a full turn", {5600, 1700}, 359.9999},
      {"far away", {9000, 9000}, 181.25},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TargetSighting pointings[3];
    ReadDirections(c.station, c.zero_deg * kDegree, targets, 3, pointings, false);
    PlanePoint found;
    double zero = 0.0;
    ASSERT_TRUE(ResectFromDirections(pointings, found, zero));
    EXPECT_NEAR(found.north, c.station.north, kTenthMillimetre);
    EXPECT_NEAR(found.east, c.station.east, kTenthMillimetre);
    EXPECT_NEAR(WrapToHalfTurn(zero - c.zero_deg * kDegree), 0.0, kHundredthArcSecond);
  }
}

TEST(PlaneGeometryTest, RefusesResectionsWithoutAUniqueAnswer) {
  // The targets lie on the circle of radius 500 about (5000, 1500); a
  // station on that circle cannot be resected.
  const PlanePoint on_circle[3] = {{5500, 1500}, {5000, 2000}, {4500, 1500}};
  TargetSighting pointings[3];
  ReadDirections({5000, 1000}, 0.3, on_circle, 3, pointings, false);
  PlanePoint found;
  double zero = 0.0;
  EXPECT_FALSE(ResectFromDirections(pointings, found, zero));

  // Three targets on top of each other.
  const PlanePoint same[3] = {{10, 10}, {10, 10}, {10, 10}};
  ReadDirections({0, 0}, 0.0, same, 3, pointings, false);
  EXPECT_FALSE(ResectFromDirections(pointings, found, zero));
}

TEST(PlaneGeometryTest, ResectsFromTwoDistancesAndRefusesAMismatch) {
  const PlanePoint targets[2] = {{1000, 1000}, {1080, 1060}};  // 100 m apart
  const PlanePoint station{950, 1100};
  TargetSighting pointings[2];
  ReadDirections(station, 1.234, targets, 2, pointings, true);
  PlanePoint found;
  double zero = 0.0;
  ASSERT_TRUE(ResectFromDistances(pointings[0], pointings[1], 0.1, found, zero));
  EXPECT_NEAR(found.north, station.north, kTenthMillimetre);
  EXPECT_NEAR(found.east, station.east, kTenthMillimetre);
  EXPECT_NEAR(WrapToHalfTurn(zero - 1.234), 0.0, kHundredthArcSecond);

  // A distance 0.5 m long makes the measured spacing disagree with the known one.
  pointings[1].distance += 0.5;
  EXPECT_FALSE(ResectFromDistances(pointings[0], pointings[1], 0.1, found, zero));
}

}  // namespace
}  // namespace trovisk
