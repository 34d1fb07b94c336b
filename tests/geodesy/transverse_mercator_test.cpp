// Transverse Mercator grids checked against PROJ's Krueger series (Poder/Engsager) over each
// grid's area of use, and by round trips.
#include "geodesy/transverse_mercator.h"

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
    testing::ExpectRoundTrips(
        g.a, AreaOfUse(g),
        [&](double lat, double lon, double& e, double& n) {
          TransverseMercatorForward(series, lat, lon, e, n);
        },
        [&](double e, double n, double& lat, double& lon) {
          TransverseMercatorReverse(series, e, n, lat, lon);
        });
  }
}

#ifdef TROVISK_HAVE_PROJ
TEST(TransverseMercator, AgreesWithProjOverTheAreaOfUse) {
  for (const GridCase& g : kGrids) {
    SCOPED_TRACE(g.name);
    const ProjOracle proj(g.ProjString());
    ASSERT_TRUE(proj.Ready());
    const TransverseMercatorSeries series = PrepareTransverseMercator(g.Grid());
    testing::ExpectAgreesWithProj(
        proj, g.a, AreaOfUse(g),
        [&](double lat, double lon, double& e, double& n) {
          TransverseMercatorForward(series, lat, lon, e, n);
        },
        [&](double e, double n, double& lat, double& lon) {
          TransverseMercatorReverse(series, e, n, lat, lon);
        });
  }
}
#else
TEST(TransverseMercator, AgreesWithProjOverTheAreaOfUse) { GTEST_SKIP() << "PROJ not found"; }
#endif

}  // namespace
}  // namespace trovisk
