// Polar stereographic grids (scaled at the pole, or true along a parallel)
// checked against the worked examples of the EPSG guidance and PROJ's stere,
// and by round trips up to the pole.
#include "geodesy/polar_stereographic.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include "geodesy/projection_checks.h"

namespace trovisk {
namespace {

using testing::GroundGap;
using testing::kHundredthMillimetre;
using testing::kTenthMillimetre;
using testing::Point;

constexpr double kCentimetre = 1e-2;  // metres
constexpr double kPi = std::numbers::pi;
constexpr double kWgs84A = 6378137.0;
constexpr double kWgs84InverseFlattening = 298.257223563;

double Rad(double degrees) { return degrees * kPi / 180.0; }

// A grid scaled at the pole (k0 set) or true along lat_true_deg (k0 zero).
struct GridCase {
  const char* name;
  double a, inverse_flattening;
  double lat_deg;  // variant A: the pole (+-90); variant B: the standard parallel
  double lon0_deg, k0, false_easting, false_northing;
  bool ScaledAtPole() const { return k0 > 0.0; }
  double E2() const {
    const double f = 1.0 / inverse_flattening;
    return f * (2.0 - f);
  }
  PolarStereographicGrid Grid() const {
    return ScaledAtPole() ? PolarStereographicScaledAtPole(a, E2(), Rad(lat_deg), Rad(lon0_deg), k0,
                                                           false_easting, false_northing)
                          : PolarStereographicTrueAtParallel(a, E2(), Rad(lat_deg), Rad(lon0_deg),
                                                             false_easting, false_northing);
  }
  double PoleLat() const { return lat_deg < 0.0 ? -90.0 : 90.0; }
  std::string ProjString() const {
    std::ostringstream s;
    s.precision(17);
    s << "+proj=stere +a=" << a << " +rf=" << inverse_flattening << " +lat_0=" << PoleLat()
      << " +lon_0=" << lon0_deg << " +x_0=" << false_easting << " +y_0=" << false_northing;
    if (ScaledAtPole()) {
      s << " +k_0=" << k0;
    } else {
      s << " +lat_ts=" << lat_deg;
    }
    return s.str();
  }
};

const GridCase kUpsNorth = {"UPS North (A)", kWgs84A,  kWgs84InverseFlattening, 90.0, 0.0, 0.994,
                            2000000.0,       2000000.0};
const GridCase kAustralianAntarctic = {"Australian Antarctic (B)",
                                       kWgs84A,
                                       kWgs84InverseFlattening,
                                       -71.0,
                                       70.0,
                                       0.0,
                                       6000000.0,
                                       6000000.0};

const GridCase kGrids[] = {
    kUpsNorth,
    kAustralianAntarctic,
    {"UPS South (A)", kWgs84A, kWgs84InverseFlattening, -90.0, 0.0, 0.994, 2000000.0, 2000000.0},
    {"sea ice north (B)", kWgs84A, kWgs84InverseFlattening, 70.0, -45.0, 0.0, 0.0, 0.0},
    {"Antarctic (B)", kWgs84A, kWgs84InverseFlattening, -71.0, 0.0, 0.0, 0.0, 0.0},
    {"Canada, GRS 80 (A)", 6378137.0, 298.257222101, 90.0, -100.0, 0.994, 2000000.0, 2000000.0},
    {"true at the pole (B)", 6378137.0, 298.257222101, 90.0, 10.0, 0.0, 500.0, -700.0},
};

// Rings from 60 degrees to the pole's neighbourhood, all round the pole.
std::vector<Point> AroundPole(const GridCase& g) {
  std::vector<Point> points;
  const double side = g.PoleLat() < 0.0 ? -1.0 : 1.0;
  for (double lat : {60.0, 71.0, 80.0, 89.0, 89.999}) {
    for (double lon = -180.0; lon < 180.0; lon += 37.5) {
      points.push_back({Rad(side * lat), Rad(lon)});
    }
  }
  return points;
}

TEST(PolarStereographic, MatchesTheGuidanceWorkedExamples) {
  struct Example {
    const GridCase* grid;
    double lat_deg, lon_deg, easting, northing;
  };
  const Example examples[] = {
      {&kUpsNorth, 73.0, 44.0, 3320416.75, 632668.43},
      {&kAustralianAntarctic, -75.0, 120.0, 7255380.79, 7053389.56},
  };
  for (const Example& x : examples) {
    SCOPED_TRACE(x.grid->name);
    const PolarStereographicGrid grid = x.grid->Grid();
    double e = 0.0, n = 0.0, lat = 0.0, lon = 0.0;
    PolarStereographicForward(grid, Rad(x.lat_deg), Rad(x.lon_deg), e, n);
    EXPECT_NEAR(e, x.easting, kCentimetre);
    EXPECT_NEAR(n, x.northing, kCentimetre);
    PolarStereographicReverse(grid, x.easting, x.northing, lat, lon);
    EXPECT_LT(GroundGap(x.grid->a, Rad(x.lat_deg), Rad(x.lon_deg), lat, lon), kCentimetre);
  }
}

TEST(PolarStereographic, PoleMapsToTheFalseEastingAndNorthingAndBack) {
  for (const GridCase& g : kGrids) {
    SCOPED_TRACE(g.name);
    const PolarStereographicGrid grid = g.Grid();
    double e = 1.0, n = 1.0, lat = 0.0, lon = 1.0;
    PolarStereographicForward(grid, Rad(g.PoleLat()), Rad(33.0), e, n);
    EXPECT_NEAR(e, g.false_easting, kHundredthMillimetre);
    EXPECT_NEAR(n, g.false_northing, kHundredthMillimetre);
    PolarStereographicReverse(grid, g.false_easting, g.false_northing, lat, lon);
    EXPECT_EQ(lat, Rad(g.PoleLat()));
  }
}

TEST(PolarStereographic, ScaleIsTrueOnTheStandardParallelAndK0AtThePole) {
  for (const GridCase& g : kGrids) {
    SCOPED_TRACE(g.name);
    const PolarStereographicGrid grid = g.Grid();
    if (g.ScaledAtPole()) {
      EXPECT_NEAR(PolarStereographicScale(grid, Rad(g.PoleLat())), g.k0, 1e-12);
    } else {
      EXPECT_NEAR(PolarStereographicScale(grid, Rad(g.lat_deg)), 1.0, 1e-12);
    }
  }
}

#ifdef TROVISK_HAVE_PROJ
TEST(PolarStereographic, AgreesWithProjAndReturnsThePointAroundThePole) {
  for (const GridCase& g : kGrids) {
    SCOPED_TRACE(g.name);
    const ProjOracle proj(g.ProjString());
    ASSERT_TRUE(proj.Ready());
    const PolarStereographicGrid grid = g.Grid();
    const auto forward = [&](double lat, double lon, double& e, double& n) {
      PolarStereographicForward(grid, lat, lon, e, n);
    };
    const auto reverse = [&](double e, double n, double& lat, double& lon) {
      PolarStereographicReverse(grid, e, n, lat, lon);
    };
    testing::ExpectAgreesWithProj(proj, g.a, AroundPole(g), forward, reverse);
    testing::ExpectRoundTrips(g.a, AroundPole(g), forward, reverse);
  }
}
#else
TEST(PolarStereographic, AgreesWithProjAndReturnsThePointAroundThePole) {
  GTEST_SKIP() << "PROJ not found";
}
#endif

}  // namespace
}  // namespace trovisk
