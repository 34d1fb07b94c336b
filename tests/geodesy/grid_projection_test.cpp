// A system of the grid table carries points to its grid and back, and gives
// the scale factor and convergence a surveyor reduces distances and bearings
// with; checked against PROJ's definition of the same EPSG systems.
#include "geodesy/grid_projection.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "geodesy/grid_system.h"
#include "geodesy/proj_crs_oracle.h"

namespace trovisk {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kHundredthMillimetre = 1e-5;      // metres
constexpr double kScaleTolerance = 1e-9;           // 1 mm in 1000 km
constexpr double kHundredthArcsecond = 4.8481e-8;  // radians

double Rad(double degrees) { return degrees * kPi / 180.0; }

struct Point {
  double lat_deg, lon_deg;
};

// Systems of each method with points inside their areas of use.
struct SystemCase {
  int code;
  std::vector<Point> points;
};

const SystemCase kSystems[] = {
    {32632, {{46.0, 10.5}, {0.5, 6.1}, {70.0, 7.0}, {-0.0, 9.0}}},  // Transverse Mercator
    {2952, {{44.0, -80.0}, {45.5, -78.6}, {52.0, -81.4}}},          // Transverse Mercator, MTM
    {26945, {{34.0, -118.0}, {35.5, -114.5}, {32.8, -120.5}}},      // Lambert, two parallels
    {6794, {{44.3, -121.2}, {44.0, -120.7}}},                       // Lambert, one parallel
    {3034, {{60.0, 25.0}, {40.0, -5.0}, {52.0, 10.0}}},             // Lambert, Europe
    {2953, {{46.5, -66.5}, {45.1, -67.5}, {47.9, -64.0}}},          // oblique stereographic
    {3413, {{75.0, -45.0}, {62.0, 130.0}, {89.9, 10.0}}},           // polar, true at 70 N
    {32661, {{85.0, 45.0}, {88.0, -170.0}}},                        // polar, scaled at the pole
    {3031, {{-75.0, 120.0}, {-65.0, -60.0}}},                       // polar, true at 71 S
};

TEST(GridProjection, RoundTripReturnsThePoint) {
  for (const SystemCase& c : kSystems) {
    SCOPED_TRACE(c.code);
    const GridSystem* system = FindGridSystem(c.code);
    ASSERT_NE(system, nullptr);
    const GridProjection projection = PrepareGridProjection(*system);
    for (const Point& p : c.points) {
      double e = 0.0, n = 0.0, lat = 0.0, lon = 0.0;
      GridForward(projection, Rad(p.lat_deg), Rad(p.lon_deg), e, n);
      GridReverse(projection, e, n, lat, lon);
      EXPECT_NEAR(lat, Rad(p.lat_deg), kHundredthMillimetre / system->a);
      EXPECT_NEAR(std::remainder(lon - Rad(p.lon_deg), 2 * kPi) * std::cos(lat), 0.0,
                  kHundredthMillimetre / system->a);
    }
  }
}

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
TEST(GridProjection, ScaleAndConvergenceAgreeWithProj) {
  for (const SystemCase& c : kSystems) {
    SCOPED_TRACE(c.code);
    const ProjCrsOracle proj(c.code);
    ASSERT_TRUE(proj.Ready());
    const GridProjection projection = PrepareGridProjection(*FindGridSystem(c.code));
    for (const Point& p : c.points) {
      SCOPED_TRACE(p.lat_deg);
      SCOPED_TRACE(p.lon_deg);
      double scale = 0.0, convergence = 0.0;
      proj.Distortion(Rad(p.lat_deg), Rad(p.lon_deg), scale, convergence);
      const GridDistortion d = GridDistortionAt(projection, Rad(p.lat_deg), Rad(p.lon_deg));
      EXPECT_NEAR(d.scale, scale, kScaleTolerance);
      EXPECT_NEAR(d.convergence, convergence, kHundredthArcsecond);
    }
  }
}
#else
TEST(GridProjection, ScaleAndConvergenceAgreeWithProj) { GTEST_SKIP() << "PROJ not found"; }
#endif

}  // namespace
}  // namespace trovisk
