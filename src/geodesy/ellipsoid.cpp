// Geodetic, earth-centred and local horizon conversions on an ellipsoid (a, e2).
#include "geodesy/ellipsoid.h"

#include <cmath>

#include "geodesy/angles.h"
#include "geodesy/constants.h"

namespace trovisk {
namespace {

// The latitude iteration gains about two digits a round (the factor is near
// e2), so a few rounds reach the tolerance; the cap only stops an absurd
// ellipsoid from spinning for ever.
constexpr int kMaxLatitudeIterations = 50;

// Cartesian values beyond this overflow when squared; such absurd points are
// converted at a scale where they do not (latitude and longitude keep, the
// height scales back).
constexpr double kLargestSquarable = 1.0e150;
const double kOverflowScale = std::ldexp(1.0, -600);  // exact in binary

// Sine and cosine of the direction of the vector (along, up), along > 0.
void DirectionOf(double along, double up, double& sin_angle, double& cos_angle) {
  const double inverse_length = 1.0 / std::sqrt(along * along + up * up);
  sin_angle = up * inverse_length;
  cos_angle = along * inverse_length;
}

}  // namespace

void GeodeticToEcef(double a, double e2, double lat, double lon, double h, double& x, double& y,
                    double& z) {
  const double sin_lat = std::sin(lat);
  const double cos_lat = std::cos(lat);
  const double nv = a / std::sqrt(1.0 - e2 * Square(sin_lat));
  const double r = (nv + h) * cos_lat;
  x = r * std::cos(lon);
  y = r * std::sin(lon);
  z = ((1.0 - e2) * nv + h) * sin_lat;
}

void EcefToGeodetic(double a, double e2, double x, double y, double z, double& lat, double& lon,
                    double& h) {
  const double p = std::sqrt(Square(x) + Square(y));
  if (p == 0.0) {
    // On the polar axis any longitude will do and the height is measured
    // from the pole; the centre itself, which has no direction, is given
    // latitude 0 and the equatorial radius as depth, which converts back to
    // the centre.
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
  if (!(std::fmax(p, std::fabs(z)) < kLargestSquarable) && std::isfinite(x) && std::isfinite(y) &&
      std::isfinite(z)) {
    EcefToGeodetic(a * kOverflowScale, e2, x * kOverflowScale, y * kOverflowScale,
                   z * kOverflowScale, lat, lon, h);
    h /= kOverflowScale;
    return;
  }
  // The latitude is the direction of (p, zn) with zn = z + e2 Nv sin(lat):
  // the normal through the point meets the polar axis e2 Nv sin(lat) below
  // the centre. Iterating on that direction rather than on the angle needs
  // no trigonometry. Bowring's closed form (Survey Review 23, 1976) from the
  // reduced latitude starts it close enough that for points near the Earth's
  // surface the first round confirms it; each further round gains about two
  // digits. A direction is kept as any vector (along, up) pointing that way.
  const double minor_ratio = std::sqrt(1.0 - e2);  // b / a
  const double b = a * minor_ratio;
  const double second_e2 = e2 / (1.0 - e2);
  double sin_reduced = 0.0;
  double cos_reduced = 1.0;
  DirectionOf(p * minor_ratio, z, sin_reduced, cos_reduced);  // tan = z a / (p b)
  double along = p - e2 * a * cos_reduced * cos_reduced * cos_reduced;
  double up = z + second_e2 * b * sin_reduced * sin_reduced * sin_reduced;
  if (!(along > 0.0 && std::isfinite(up))) {
    // Deep inside an absurd ellipsoid: start from the geocentric direction.
    along = p;
    up = z;
  }
  double sin_lat = 0.0;
  double cos_lat = 1.0;
  double root = 1.0;  // sqrt(1 - e2 sin^2(lat)) = a / Nv
  for (int round = 0; round < kMaxLatitudeIterations; ++round) {
    DirectionOf(along, up, sin_lat, cos_lat);
    root = std::sqrt(1.0 - e2 * sin_lat * sin_lat);
    const double zn = z + e2 * (a / root) * sin_lat;
    // The change of latitude is cos^2(lat) times the change of its tangent,
    // from up / along to zn / p; compared without dividing. A latitude that
    // is no number ends the iteration too.
    const bool converged =
        !(std::fabs(zn * along - up * p) * cos_lat * cos_lat > kPackingGuard * p * along);
    along = p;
    up = zn;
    if (converged) break;
  }
  lat = QuadrantArctan(p, up);
  lon = QuadrantArctan(x, y);
  // Distance along the normal from the ellipsoid, stable at every latitude.
  // It is stationary in the latitude, so taking the direction of the last
  // round, within the tolerance of the final one, changes it by nothing
  // measurable.
  h = p * cos_lat + z * sin_lat - a * root;
}

HorizonAxes HorizonAxesAt(double lat, double lon) {
  return {std::sin(lat), std::cos(lat), std::sin(lon), std::cos(lon)};
}

void EcefDeltaToLocal(const HorizonAxes& axes, double dx, double dy, double dz, double& e,
                      double& n, double& u) {
  e = axes.cos_lon * dy - axes.sin_lon * dx;
  const double t = axes.cos_lon * dx + axes.sin_lon * dy;
  n = axes.cos_lat * dz - axes.sin_lat * t;
  u = axes.cos_lat * t + axes.sin_lat * dz;
}

void EcefDeltaToLocal(double lat, double lon, double dx, double dy, double dz, double& e, double& n,
                      double& u) {
  EcefDeltaToLocal(HorizonAxesAt(lat, lon), dx, dy, dz, e, n, u);
}

void LocalToEcef(const HorizonAxes& axes, double e, double n, double u, double x0, double y0,
                 double z0, double& x, double& y, double& z) {
  const double t = axes.cos_lat * u - axes.sin_lat * n;  // along the origin's meridian plane
  x = -axes.sin_lon * e + axes.cos_lon * t + x0;
  y = axes.cos_lon * e + axes.sin_lon * t + y0;
  z = axes.cos_lat * n + axes.sin_lat * u + z0;
}

void LocalToEcef(double lat, double lon, double e, double n, double u, double x0, double y0,
                 double z0, double& x, double& y, double& z) {
  LocalToEcef(HorizonAxesAt(lat, lon), e, n, u, x0, y0, z0, x, y, z);
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
