// Transverse Mercator grids checked against PROJ's Krueger series (Poder/Engsager) over each
// grid's area of use, and by round trips.
#include "geodesy/transverse_mercator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include "geodesy/proj_oracle.h"

namespace trovisk {
namespace {

constexpr double kTenthMillimetre = 1e-4;      // metres
constexpr double kHundredthMillimetre = 1e-5;  // metres
constexpr double kPi = std::numbers::pi;

double Rad(double degrees) { return degrees * kPi / 180.0; }

struct GridCase {
  const char* name;
  double a, inverse_flattening;
  double lat0_deg, lon0_deg, k0, false_easting, false_northing;
  double lat_min, lat_max, half_width_deg;  // area of use, degrees
  TransverseMercatorGrid Grid() const {
    const double f = 1.0 / inverse_flattening;
    return {a, f * (2.0 - f), Rad(lat0_deg), Rad(lon0_deg), k0, false_easting, false_northing};
  }
  std::string ProjString() const {
    std::ostringstream s;
    s.precision(17);
    s << "+proj=tmerc +algo=poder_engsager +a=" << a << " +rf=" << inverse_flattening
      << " +lat_0=" << lat0_deg << " +lon_0=" << lon0_deg << " +k_0=" << k0
      << " +x_0=" << false_easting << " +y_0=" << false_northing;
    return s.str();
  }
};

const GridCase kGrids[] = {
    {"UTM 19N, WGS 84", 6378137.0, 298.257223563, 0.0, -69.0, 0.9996, 500000.0, 0.0, 0.0, 84.0,
     3.5},
    {"UTM 33S, GRS 80", 6378137.0, 298.257222101, 0.0, 15.0, 0.9996, 500000.0, 10000000.0, -80.0,
     0.0, 3.5},
    {"Gauss-Krueger zone 3, Bessel", 6377397.155, 299.1528128, 0.0, 9.0, 1.0, 3500000.0, 0.0, 47.0,
     56.0, 1.5},
    {"state-plane style, Clarke 1866, origin at 31N", 6378206.4, 294.9786982, 31.0, -81.0,
     0.9999411764705882, 200000.0, 0.0, 24.0, 31.5, 1.5},
    {"MTM zone 4, GRS 80, 3-degree zone", 6378137.0, 298.257222101, 0.0, -67.5, 0.9999, 304800.0,
     0.0, 43.0, 51.0, 1.5},
};

struct Point {
  double lat, lon;  // radians
};

// An 11 by 11 spread over the grid's area of use, edges included.
std::vector<Point> AreaOfUse(const GridCase& g) {
  std::vector<Point> points;
  for (int i = 0; i <= 10; ++i) {
    for (int j = 0; j <= 10; ++j) {
      const double lat = g.lat_min + (g.lat_max - g.lat_min) * i / 10.0;
      const double dlon = -g.half_width_deg + 2.0 * g.half_width_deg * j / 10.0;
      points.push_back({Rad(lat), Rad(g.lon0_deg + dlon)});
    }
  }
  return points;
}

// Lat/lon differences as distances on the ground, metres.
double GroundGap(double a, double lat1, double lon1, double lat2, double lon2) {
  const double dn = a * (lat1 - lat2);
  const double de = a * std::cos(lat1) * std::remainder(lon1 - lon2, 2.0 * kPi);
  return std::hypot(dn, de);
}

TEST(TransverseMercator, OriginMapsToTheFalseEastingAndNorthing) {
  for (const GridCase& g : kGrids) {
    SCOPED_TRACE(g.name);
    const TransverseMercatorSeries series = PrepareTransverseMercator(g.Grid());
    double e = 0.0, n = 0.0;
    TransverseMercatorForward(series, Rad(g.lat0_deg), Rad(g.lon0_deg), e, n);
    EXPECT_NEAR(e, g.false_easting, kHundredthMillimetre);
    EXPECT_NEAR(n, g.false_northing, kHundredthMillimetre);
  }
}

TEST(TransverseMercator, QuadrantOfMeridianIsThePublishedLength) {
  // WGS 84 meridian quadrant 10 001 965.729 m (to the millimetre).
  TransverseMercatorGrid grid{6378137.0, 0.0066943799901413165, 0.0, 0.0, 1.0, 0.0, 0.0};
  const TransverseMercatorSeries series = PrepareTransverseMercator(grid);
  double e = 0.0, n = 0.0;
  TransverseMercatorForward(series, kPi / 2.0, 0.0, e, n);
  EXPECT_NEAR(n, 10001965.729, 1e-3);
  EXPECT_NEAR(e, 0.0, kHundredthMillimetre);
}

TEST(TransverseMercator, RoundTripReturnsThePoint) {
  for (const GridCase& g : kGrids) {
    SCOPED_TRACE(g.name);
    const TransverseMercatorSeries series = PrepareTransverseMercator(g.Grid());
    for (const Point& p : AreaOfUse(g)) {
      double e = 0.0, n = 0.0, lat = 0.0, lon = 0.0;
      TransverseMercatorForward(series, p.lat, p.lon, e, n);
      TransverseMercatorReverse(series, e, n, lat, lon);
      EXPECT_LT(GroundGap(g.a, p.lat, p.lon, lat, lon), kHundredthMillimetre)
          << p.lat << " " << p.lon;
    }
  }
}

#ifdef TROVISK_HAVE_PROJ
TEST(TransverseMercator, AgreesWithProjOverTheAreaOfUse) {
  for (const GridCase& g : kGrids) {
    SCOPED_TRACE(g.name);
    const ProjOracle proj(g.ProjString());
    ASSERT_TRUE(proj.Ready());
    const TransverseMercatorSeries series = PrepareTransverseMercator(g.Grid());
    for (const Point& p : AreaOfUse(g)) {
      double e = 0.0, n = 0.0, e_ref = 0.0, n_ref = 0.0;
      TransverseMercatorForward(series, p.lat, p.lon, e, n);
      proj.Forward(p.lat, p.lon, e_ref, n_ref);
      EXPECT_NEAR(e, e_ref, kTenthMillimetre) << p.lat << " " << p.lon;
      EXPECT_NEAR(n, n_ref, kTenthMillimetre) << p.lat << " " << p.lon;
      // Reverse from PROJ's grid coordinates.
      double lat = 0.0, lon = 0.0, lat_ref = 0.0, lon_ref = 0.0;
      TransverseMercatorReverse(series, e_ref, n_ref, lat, lon);
      proj.Reverse(e_ref, n_ref, lat_ref, lon_ref);
      EXPECT_LT(GroundGap(g.a, lat_ref, lon_ref, lat, lon), kTenthMillimetre)
          << p.lat << " " << p.lon;
    }
  }
}
#else
TEST(TransverseMercator, AgreesWithProjOverTheAreaOfUse) { GTEST_SKIP() << "PROJ not found"; }
#endif

}  // namespace
}  // namespace trovisk
