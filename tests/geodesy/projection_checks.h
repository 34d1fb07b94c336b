// What the projection tests share: the gap between two positions on the
// ground, and the two checks every projection passes over a set of points:
// a round trip returns the point, and PROJ agrees both ways.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "geodesy/proj_oracle.h"

namespace trovisk::testing {

inline constexpr double kTenthMillimetre = 1e-4;      // metres
inline constexpr double kHundredthMillimetre = 1e-5;  // metres

struct Point {
  double lat, lon;  // radians
};

// The distance on the ground between two nearby positions (radians) on an
// ellipsoid of semi-major axis a (metres), near enough for a tolerance.
inline double GroundGap(double a, double lat1, double lon1, double lat2, double lon2) {
  const double dn = a * (lat1 - lat2);
  const double de = a * std::cos(lat1) * std::remainder(lon1 - lon2, 2.0 * std::numbers::pi);
  return std::hypot(dn, de);
}

// forward(lat, lon, easting, northing) and reverse(easting, northing, lat,
// lon) bring every point back to within a hundredth of a millimetre.
template <class Forward, class Reverse>
void ExpectRoundTrips(double a, const std::vector<Point>& points, Forward forward,
                      Reverse reverse) {
  for (const Point& p : points) {
    double e = 0.0, n = 0.0, lat = 0.0, lon = 0.0;
    forward(p.lat, p.lon, e, n);
    reverse(e, n, lat, lon);
    EXPECT_LT(GroundGap(a, p.lat, p.lon, lat, lon), kHundredthMillimetre) << p.lat << " " << p.lon;
  }
}

#ifdef TROVISK_HAVE_PROJ
// Forward and reverse agree with PROJ's to a tenth of a millimetre; the
// reverse starts from PROJ's grid coordinates.
template <class Forward, class Reverse>
void ExpectAgreesWithProj(const ProjOracle& proj, double a, const std::vector<Point>& points,
                          Forward forward, Reverse reverse) {
  for (const Point& p : points) {
    double e = 0.0, n = 0.0, e_ref = 0.0, n_ref = 0.0;
    forward(p.lat, p.lon, e, n);
    proj.Forward(p.lat, p.lon, e_ref, n_ref);
    EXPECT_NEAR(e, e_ref, kTenthMillimetre) << p.lat << " " << p.lon;
    EXPECT_NEAR(n, n_ref, kTenthMillimetre) << p.lat << " " << p.lon;
    double lat = 0.0, lon = 0.0, lat_ref = 0.0, lon_ref = 0.0;
    reverse(e_ref, n_ref, lat, lon);
    proj.Reverse(e_ref, n_ref, lat_ref, lon_ref);
    EXPECT_LT(GroundGap(a, lat_ref, lon_ref, lat, lon), kTenthMillimetre) << p.lat << " " << p.lon;
  }
}
#endif

}  // namespace trovisk::testing
