// Geodetic, earth-centred and local horizon conversions on an ellipsoid (a, e2).
#include "geodesy/ellipsoid.h"

#include <cmath>

#include "geodesy/angles.h"
#include "geodesy/constants.h"

namespace trovisk {
namespace {

// The latitude iteration gains about two digits a round (the factor is near
// e2), so a dozen rounds reach the tolerance; the cap only stops a NaN or an
// absurd ellipsoid from spinning for ever.
constexpr int kMaxLatitudeIterations = 50;

// Prime-vertical radius of curvature at latitude lat.
double PrimeVerticalRadius(double a, double e2, double lat) {
  return a / std::sqrt(1.0 - e2 * Square(std::sin(lat)));
}

}  // namespace

void GeodeticToEcef(double a, double e2, double lat, double lon, double h, double& x, double& y,
                    double& z) {
  const double nv = PrimeVerticalRadius(a, e2, lat);
  x = (nv + h) * std::cos(lat) * std::cos(lon);
  y = (nv + h) * std::cos(lat) * std::sin(lon);
  z = ((1.0 - e2) * nv + h) * std::sin(lat);
}

void EcefToGeodetic(double a, double e2, double x, double y, double z, double& lat, double& lon,
                    double& h) {
  const double p = std::sqrt(Square(x) + Square(y));
  if (p == 0.0) {
    // On the polar axis the height formulas below divide by cos(lat) = 0.
    // Any longitude will do; the height is measured from the pole, and the
    // centre itself is given latitude 0 and the equatorial radius as depth,
    // which converts back to the centre.
    lon = 0.0;
    if (z > 0.0 || z < 0.0) {
      lat = z > 0.0 ? kHalfPi : -kHalfPi;
      h = std::fabs(z) - a * std::sqrt(1.0 - e2);
    } else if (z == 0.0) {
      lat = 0.0;
      h = -a;
    } else {
      lat = z;  // NaN
      h = z;
    }
    return;
  }
  double lat_old = QuadrantArctan(p, z);
  double lat_new = lat_old;
  double nv = a;
  for (int round = 0; round < kMaxLatitudeIterations; ++round) {
    nv = PrimeVerticalRadius(a, e2, lat_old);
    lat_new = QuadrantArctan(p, z + e2 * nv * std::sin(lat_old));
    if (std::fabs(lat_new - lat_old) <= kPackingGuard) break;
    lat_old = lat_new;
  }
  // Nv stays the one of the last round, from the latitude before the last.
  lat = lat_new;
  lon = QuadrantArctan(x, y);
  // Divide by the larger of the two horizontal components, away from zero.
  if (std::fabs(y) > std::fabs(x)) {
    h = y / (std::sin(lon) * std::cos(lat)) - nv;
  } else {
    h = x / (std::cos(lon) * std::cos(lat)) - nv;
  }
}

void EcefDeltaToLocal(double lat, double lon, double dx, double dy, double dz, double& e, double& n,
                      double& u) {
  const double sin_lat = std::sin(lat);
  const double cos_lat = std::cos(lat);
  const double sin_lon = std::sin(lon);
  const double cos_lon = std::cos(lon);
  e = cos_lon * dy - sin_lon * dx;
  const double t = cos_lon * dx + sin_lon * dy;
  n = cos_lat * dz - sin_lat * t;
  u = cos_lat * t + sin_lat * dz;
}

void LocalToEcef(double lat, double lon, double e, double n, double u, double x0, double y0,
                 double z0, double& x, double& y, double& z) {
  const double sin_lat = std::sin(lat);
  const double cos_lat = std::cos(lat);
  const double sin_lon = std::sin(lon);
  const double cos_lon = std::cos(lon);
  x = -sin_lon * e - sin_lat * cos_lon * n + cos_lat * cos_lon * u + x0;
  y = cos_lon * e - sin_lat * sin_lon * n + cos_lat * sin_lon * u + y0;
  z = cos_lat * n + sin_lat * u + z0;
}

void EcefDifference(double a, double e2, double lat1, double lon1, double h1, double lat2,
                    double lon2, double h2, double& dx, double& dy, double& dz) {
  double x1, y1, z1, x2, y2, z2;
  GeodeticToEcef(a, e2, lat1, lon1, h1, x1, y1, z1);
  GeodeticToEcef(a, e2, lat2, lon2, h2, x2, y2, z2);
  dx = x2 - x1;
  dy = y2 - y1;
  dz = z2 - z1;
}

void OffsetGeodetic(double a, double e2, double lat, double lon, double h, double dx, double dy,
                    double dz, double& lat_out, double& lon_out, double& h_out) {
  double x, y, z;
  GeodeticToEcef(a, e2, lat, lon, h, x, y, z);
  EcefToGeodetic(a, e2, x + dx, y + dy, z + dz, lat_out, lon_out, h_out);
}

void MutualLocalOffsets(double a, double e2, double lat1, double lon1, double h1, double lat2,
                        double lon2, double h2, double& e1, double& e2_out, double& n1, double& n2,
                        double& u1, double& u2) {
  double dx, dy, dz;
  EcefDifference(a, e2, lat1, lon1, h1, lat2, lon2, h2, dx, dy, dz);
  EcefDeltaToLocal(lat1, lon1, dx, dy, dz, e1, n1, u1);
  EcefDeltaToLocal(lat2, lon2, -dx, -dy, -dz, e2_out, n2, u2);
}

}  // namespace trovisk
