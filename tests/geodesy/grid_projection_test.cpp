// A system of the grid table carries points to its grid and back and gives
// the scale factor and convergence a surveyor reduces distances and bearings
// with. Every system is checked against PROJ's own definition of the same
// EPSG code at points spread over its area of use, which also checks the
// table's parameters, units and axes.
#include "geodesy/grid_projection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <numbers>
#include <utility>
#include <vector>

#include "geodesy/grid_system.h"
#include "geodesy/proj_crs_oracle.h"
#include "geodesy/projection_checks.h"

namespace trovisk {
namespace {

using testing::GroundGap;
using testing::kHundredthMillimetre;
using testing::kTenthMillimetre;
using testing::Point;

constexpr double kPi = std::numbers::pi;
constexpr double kUnitTolerance = 1e-12;           // relative
constexpr double kScaleTolerance = 1e-9;           // 1 mm in 1000 km
constexpr double kHundredthArcsecond = 4.8481e-8;  // radians
constexpr double kArcsecondsPerRadian = 206264.80624709636;

double Rad(double degrees) { return degrees * kPi / 180.0; }

TEST(GridProjection, ConvergenceTurnsGridNorthTowardsTheCentralMeridian) {
  // East of a Transverse Mercator central meridian in the north, grid north
  // lies east of true north; west of it, west; on it, they agree. South of
  // the equator the signs swap.
  const GridProjection utm = PrepareGridProjection(*FindGridSystem(32632));
  struct Case {
    double lat_deg, lon_deg;
    int sign;
  };
  const Case cases[] = {
      {46.0, 10.5, 1}, {46.0, 7.5, -1}, {46.0, 9.0, 0}, {-30.0, 10.5, -1}, {-30.0, 7.5, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lat_deg);
    SCOPED_TRACE(c.lon_deg);
    const GridDistortion d = GridDistortionAt(utm, Rad(c.lat_deg), Rad(c.lon_deg));
    if (c.sign == 0) {
      EXPECT_NEAR(d.convergence, 0.0, kHundredthArcsecond);
      EXPECT_NEAR(d.scale, 0.9996, kScaleTolerance);
    } else {
      EXPECT_EQ(d.convergence > 0.0 ? 1 : -1, c.sign);
      // Close to the spherical (lon - lon0) sin(lat), within a few percent.
      const double spherical = Rad(c.lon_deg - 9.0) * std::sin(Rad(c.lat_deg));
      EXPECT_NEAR(d.convergence, spherical, 0.03 * std::fabs(spherical));
    }
  }
}

#ifdef TROVISK_HAVE_PROJ
// The centre of the area of use and four points between it and the corners.
std::vector<Point> SpreadOverArea(const GridSystem& s) {
  const double width = s.east >= s.west ? s.east - s.west : s.east - s.west + 2.0 * kPi;
  const double height = s.north - s.south;
  std::vector<Point> points;
  for (const auto& [x, y] : {std::pair{0.5, 0.5}, {0.2, 0.2}, {0.8, 0.2}, {0.2, 0.8}, {0.8, 0.8}}) {
    points.push_back({s.south + y * height, std::remainder(s.west + x * width, 2.0 * kPi)});
  }
  return points;
}

const char* MethodName(GridMethod method) {
  switch (method) {
    case GridMethod::kTransverseMercator:
      return "Transverse Mercator";
    case GridMethod::kLambertOneParallel:
      return "Lambert, one parallel";
    case GridMethod::kLambertTwoParallels:
      return "Lambert, two parallels";
    case GridMethod::kObliqueStereographic:
      return "oblique stereographic";
    case GridMethod::kPolarStereographicA:
      return "polar stereographic A";
    case GridMethod::kPolarStereographicB:
      return "polar stereographic B";
  }
  return "?";
}

// The largest differences met for one method, in metres.
struct Largest {
  int systems = 0;
  double forward = 0.0, reverse = 0.0, round_trip = 0.0;
  double scale = 0.0, convergence = 0.0;  // convergence in radians
};

TEST(GridProjection, ScaleAndConvergenceHoldUpToThePole) {
  struct Case {
    int code;
    double lat_deg, lon_deg;
  };
  const Case cases[] = {{32632, 89.99999, 10.0},
                        {32632, 89.9999, 7.0},
                        {32732, -89.99999, 8.0},
                        {3413, 90.0, 10.0},
                        {3031, -89.99999, 100.0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    SCOPED_TRACE(c.lat_deg);
    const ProjCrsOracle proj(c.code);
    ASSERT_TRUE(proj.Ready());
    double scale = 0.0, convergence = 0.0;
    proj.Distortion(Rad(c.lat_deg), Rad(c.lon_deg), scale, convergence);
    const GridDistortion d = GridDistortionAt(PrepareGridProjection(*FindGridSystem(c.code)),
                                              Rad(c.lat_deg), Rad(c.lon_deg));
    EXPECT_NEAR(d.scale, scale, kScaleTolerance);
    EXPECT_NEAR(d.convergence, convergence, kHundredthArcsecond);
  }
}

TEST(GridProjection, EveryTableSystemAgreesWithProjOverItsAreaOfUse) {
  std::map<GridMethod, Largest> largest;
  for (const GridSystem& s : GridSystems()) {
    SCOPED_TRACE(s.code);
    const ProjCrsOracle proj(s.code);
    ASSERT_TRUE(proj.Ready());
    EXPECT_NEAR(s.unit, proj.Unit(), kUnitTolerance * proj.Unit());
    const GridProjection projection = PrepareGridProjection(s);
    Largest& worst = largest[s.method];
    ++worst.systems;
    for (const Point& p : SpreadOverArea(s)) {
      double e = 0.0, n = 0.0, e_ref = 0.0, n_ref = 0.0;
      GridForward(projection, p.lat, p.lon, e, n);
      proj.Forward(p.lat, p.lon, e_ref, n_ref);
      const double forward = std::hypot(e - e_ref, n - n_ref);
      EXPECT_LT(forward, kTenthMillimetre) << p.lat << " " << p.lon;
      double lat = 0.0, lon = 0.0, lat_ref = 0.0, lon_ref = 0.0;
      GridReverse(projection, e_ref, n_ref, lat, lon);
      proj.Reverse(e_ref, n_ref, lat_ref, lon_ref);
      const double reverse = GroundGap(s.a, lat_ref, lon_ref, lat, lon);
      EXPECT_LT(reverse, kTenthMillimetre) << p.lat << " " << p.lon;
      GridReverse(projection, e, n, lat, lon);
      const double round_trip = GroundGap(s.a, p.lat, p.lon, lat, lon);
      EXPECT_LT(round_trip, kHundredthMillimetre) << p.lat << " " << p.lon;
      double scale = 0.0, convergence = 0.0;
      proj.Distortion(p.lat, p.lon, scale, convergence);
      const GridDistortion d = GridDistortionAt(projection, p.lat, p.lon);
      EXPECT_NEAR(d.scale, scale, kScaleTolerance) << p.lat << " " << p.lon;
      EXPECT_NEAR(d.convergence, convergence, kHundredthArcsecond) << p.lat << " " << p.lon;
      worst.scale = std::max(worst.scale, std::fabs(d.scale - scale));
      worst.convergence = std::max(worst.convergence, std::fabs(d.convergence - convergence));
      worst.forward = std::max(worst.forward, forward);
      worst.reverse = std::max(worst.reverse, reverse);
      worst.round_trip = std::max(worst.round_trip, round_trip);
    }
  }
  for (const auto& [method, worst] : largest) {
    std::printf(
        "%-24s %5d systems, largest differences: forward %.2e m, reverse %.2e m, "
        "round trip %.2e m, scale %.1e, convergence %.1e arc-seconds\n",
        MethodName(method), worst.systems, worst.forward, worst.reverse, worst.round_trip,
        worst.scale, worst.convergence * kArcsecondsPerRadian);
  }
}
#else
TEST(GridProjection, EveryTableSystemAgreesWithProjOverItsAreaOfUse) {
  GTEST_SKIP() << "PROJ not found";
}
#endif

}  // namespace
}  // namespace trovisk
