// Lambert Conformal Conic grids, one and two standard parallels, checked
// against PROJ's lcc over each grid's area and by round trips.
#include "geodesy/lambert_conformal_conic.h"

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

// lat2_deg equal to lat1_deg with two_parallels false is a one-parallel grid,
// whose lat1 is also the latitude of origin.
struct GridCase {
  const char* name;
  double a, inverse_flattening;
  bool two_parallels;
  double lat_origin_deg, lon0_deg, lat1_deg, lat2_deg, k0, false_easting, false_northing;
  double lat_min, lat_max, half_width_deg;  // area of use, degrees

  double e2() const {
    const double f = 1.0 / inverse_flattening;
    return f * (2.0 - f);
  }
  LambertConicGrid Grid() const {
    if (!two_parallels) {
      return LambertOneStandardParallel(a, e2(), Rad(lat_origin_deg), Rad(lon0_deg), k0,
                                        false_easting, false_northing);
    }
    return LambertTwoStandardParallels(a, e2(), Rad(lat_origin_deg), Rad(lon0_deg), Rad(lat1_deg),
                                       Rad(lat2_deg), false_easting, false_northing);
  }
  std::string ProjString() const {
    std::ostringstream s;
    s.precision(17);
    s << "+proj=lcc +a=" << a << " +rf=" << inverse_flattening << " +lat_0=" << lat_origin_deg
      << " +lon_0=" << lon0_deg << " +x_0=" << false_easting << " +y_0=" << false_northing;
    if (two_parallels) {
      s << " +lat_1=" << lat1_deg << " +lat_2=" << lat2_deg;
    } else {
      s << " +lat_1=" << lat_origin_deg << " +k_0=" << k0;
    }
    return s.str();
  }
};

const GridCase kGrids[] = {
    {"one parallel, Jamaica, Clarke 1866", 6378206.4, 294.9786982, false, 18.0, -77.0, 18.0, 18.0,
     1.0, 250000.0, 150000.0, 17.5, 18.7, 1.5},
    {"one parallel, scaled, International 1924", 6378388.0, 297.0, false, 46.8, 2.337229167, 46.8,
     46.8, 0.99987742, 600000.0, 2200000.0, 42.0, 51.0, 5.0},
    {"two parallels, Texas South Central, GRS 80", 6378137.0, 298.257222101, true,
     27.833333333333333, -99.0, 30.283333333333333, 28.383333333333333, 1.0, 600000.0, 4000000.0,
     27.5, 31.0, 3.5},
    {"two parallels, Quebec, GRS 80", 6378137.0, 298.257222101, true, 44.0, -68.5, 60.0, 46.0, 1.0,
     0.0, 0.0, 44.0, 62.0, 12.0},
    {"two parallels, southern, WGS 84", 6378137.0, 298.257223563, true, 0.0, 134.0, -18.0, -36.0,
     1.0, 0.0, 0.0, -44.0, -10.0, 22.0},
    {"two equal parallels, GRS 80", 6378137.0, 298.257222101, true, 40.0, 10.0, 40.0, 40.0, 1.0,
     1000000.0, 1000000.0, 35.0, 45.0, 8.0},
};

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

TEST(LambertConformalConic, OriginMapsToTheFalseEastingAndNorthing) {
  for (const GridCase& g : kGrids) {
    SCOPED_TRACE(g.name);
    const LambertConicGrid grid = g.Grid();
    double e = 0.0, n = 0.0;
    LambertConicForward(grid, Rad(g.lat_origin_deg), Rad(g.lon0_deg), e, n);
    EXPECT_NEAR(e, g.false_easting, kHundredthMillimetre);
    EXPECT_NEAR(n, g.false_northing, kHundredthMillimetre);
  }
}

TEST(LambertConformalConic, RoundTripReturnsThePoint) {
  for (const GridCase& g : kGrids) {
    SCOPED_TRACE(g.name);
    const LambertConicGrid grid = g.Grid();
    testing::ExpectRoundTrips(
        g.a, AreaOfUse(g),
        [&](double lat, double lon, double& e, double& n) {
          LambertConicForward(grid, lat, lon, e, n);
        },
        [&](double e, double n, double& lat, double& lon) {
          LambertConicReverse(grid, e, n, lat, lon);
        });
  }
}

#ifdef TROVISK_HAVE_PROJ
TEST(LambertConformalConic, AgreesWithProjOverTheAreaOfUse) {
  for (const GridCase& g : kGrids) {
    SCOPED_TRACE(g.name);
    const ProjOracle proj(g.ProjString());
    ASSERT_TRUE(proj.Ready());
    const LambertConicGrid grid = g.Grid();
    testing::ExpectAgreesWithProj(
        proj, g.a, AreaOfUse(g),
        [&](double lat, double lon, double& e, double& n) {
          LambertConicForward(grid, lat, lon, e, n);
        },
        [&](double e, double n, double& lat, double& lon) {
          LambertConicReverse(grid, e, n, lat, lon);
        });
  }
}
#else
TEST(LambertConformalConic, AgreesWithProjOverTheAreaOfUse) { GTEST_SKIP() << "PROJ not found"; }
#endif

}  // namespace
}  // namespace trovisk
