// Krueger's series to sixth order in n (Karney 2011, eqs. 7-11, 15, 35-36;
// the same series as the EPSG guidance's JHS formulas): the ellipsoid is
// first mapped conformally to a sphere, the sphere's Transverse Mercator is
// taken, and a trigonometric series in complex form corrects its scale.
#include "geodesy/transverse_mercator.h"

#include <cmath>

#include "geodesy/conformal_latitude.h"
#include "geodesy/constants.h"

namespace trovisk {
namespace {

constexpr int kOrder = 6;

// The correction series: north gets the sum over j of c[j-1] sin(2j xi)
// cosh(2j eta), east the sum of c[j-1] cos(2j xi) sinh(2j eta).
void SeriesSum(const double c[kOrder], double xi, double eta, double& north, double& east) {
  north = 0.0;
  east = 0.0;
  for (int j = 1; j <= kOrder; ++j) {
    const double x = 2.0 * j * xi;
    const double y = 2.0 * j * eta;
    north += c[j - 1] * std::sin(x) * std::cosh(y);
    east += c[j - 1] * std::cos(x) * std::sinh(y);
  }
}

}  // namespace

TransverseMercatorSeries PrepareTransverseMercator(const TransverseMercatorGrid& grid) {
  TransverseMercatorSeries s;
  s.grid = grid;
  s.e = std::sqrt(grid.e2);
  const double f = 1.0 - std::sqrt(1.0 - grid.e2);
  const double n = f / (2.0 - f);
  const double n2 = n * n, n3 = n2 * n, n4 = n3 * n, n5 = n4 * n, n6 = n5 * n;
  // Rectifying radius: a meridian quadrant is A pi / 2 (eq. 14).
  const double rectifying = grid.a / (1.0 + n) * (1.0 + n2 / 4.0 + n4 / 64.0 + n6 / 256.0);
  s.radius = grid.k0 * rectifying;
  // Eq. 35.
  s.alpha[0] = n / 2.0 - 2.0 * n2 / 3.0 + 5.0 * n3 / 16.0 + 41.0 * n4 / 180.0 - 127.0 * n5 / 288.0 +
               7891.0 * n6 / 37800.0;
  s.alpha[1] = 13.0 * n2 / 48.0 - 3.0 * n3 / 5.0 + 557.0 * n4 / 1440.0 + 281.0 * n5 / 630.0 -
               1983433.0 * n6 / 1935360.0;
  s.alpha[2] =
      61.0 * n3 / 240.0 - 103.0 * n4 / 140.0 + 15061.0 * n5 / 26880.0 + 167603.0 * n6 / 181440.0;
  s.alpha[3] = 49561.0 * n4 / 161280.0 - 179.0 * n5 / 168.0 + 6601661.0 * n6 / 7257600.0;
  s.alpha[4] = 34729.0 * n5 / 80640.0 - 3418889.0 * n6 / 1995840.0;
  s.alpha[5] = 212378941.0 * n6 / 319334400.0;
  // Eq. 36.
  s.beta[0] = n / 2.0 - 2.0 * n2 / 3.0 + 37.0 * n3 / 96.0 - n4 / 360.0 - 81.0 * n5 / 512.0 +
              96199.0 * n6 / 604800.0;
  s.beta[1] =
      n2 / 48.0 + n3 / 15.0 - 437.0 * n4 / 1440.0 + 46.0 * n5 / 105.0 - 1118711.0 * n6 / 3870720.0;
  s.beta[2] = 17.0 * n3 / 480.0 - 37.0 * n4 / 840.0 - 209.0 * n5 / 4480.0 + 5569.0 * n6 / 90720.0;
  s.beta[3] = 4397.0 * n4 / 161280.0 - 11.0 * n5 / 504.0 - 830251.0 * n6 / 7257600.0;
  s.beta[4] = 4583.0 * n5 / 161280.0 - 108847.0 * n6 / 3991680.0;
  s.beta[5] = 20648693.0 * n6 / 638668800.0;
  // The meridian arc to the latitude of origin is the series on the central
  // meridian, where eta is zero.
  const double conformal0 = std::atan(ConformalTangent(std::tan(grid.lat0), s.e));
  double arc = 0.0, unused = 0.0;
  SeriesSum(s.alpha, conformal0, 0.0, arc, unused);
  s.origin_northing = s.radius * (conformal0 + arc);
  return s;
}

void TransverseMercatorForward(const TransverseMercatorSeries& s, double lat, double lon,
                               double& easting, double& northing) {
  const double dlon = std::remainder(lon - s.grid.lon0, kTwoPi);
  const double tan_conformal = ConformalTangent(std::tan(lat), s.e);
  const double cos_dlon = std::cos(dlon);
  // The sphere's Transverse Mercator in Gauss-Schreiber form (eq. 10).
  const double xi_sphere = std::atan2(tan_conformal, cos_dlon);
  const double eta_sphere = std::asinh(std::sin(dlon) / std::hypot(tan_conformal, cos_dlon));
  double north = 0.0, east = 0.0;
  SeriesSum(s.alpha, xi_sphere, eta_sphere, north, east);
  easting = s.grid.false_easting + s.radius * (eta_sphere + east);
  northing = s.grid.false_northing + s.radius * (xi_sphere + north) - s.origin_northing;
}

void TransverseMercatorReverse(const TransverseMercatorSeries& s, double easting, double northing,
                               double& lat, double& lon) {
  const double xi = (northing - s.grid.false_northing + s.origin_northing) / s.radius;
  const double eta = (easting - s.grid.false_easting) / s.radius;
  double north = 0.0, east = 0.0;
  SeriesSum(s.beta, xi, eta, north, east);
  const double xi_sphere = xi - north;
  const double eta_sphere = eta - east;
  const double sinh_eta = std::sinh(eta_sphere);
  const double cos_xi = std::cos(xi_sphere);
  const double tan_conformal = std::sin(xi_sphere) / std::hypot(sinh_eta, cos_xi);
  lat = std::atan(GeodeticTangent(tan_conformal, s.e));
  lon = std::remainder(s.grid.lon0 + std::atan2(sinh_eta, cos_xi), kTwoPi);
}

}  // namespace trovisk
