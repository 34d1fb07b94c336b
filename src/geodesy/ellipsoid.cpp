// Geodetic, earth-centred and local horizon conversions on an ellipsoid (a, e2).
#include "geodesy/ellipsoid.h"

#include <algorithm>
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

// The constants of the latitude iteration on one ellipsoid.
struct Meridian {
  Meridian(double a_in, double e2_in)
      : a(a_in),
        e2(e2_in),
        minor_ratio(std::sqrt(1.0 - e2_in)),
        b(a_in * minor_ratio),
        second_e2(e2_in / (1.0 - e2_in)) {}
  double a;
  double e2;
  double minor_ratio;  // b / a
  double b;            // semi-minor axis
  double second_e2;    // e'^2
};

// The latitude is the direction of (p, zn) with zn = z + e2 Nv sin(lat): the
// normal through the point meets the polar axis e2 Nv sin(lat) below the
// centre. Iterating on that direction rather than on the angle needs no
// trigonometry. Bowring's closed form (Survey Review 23, 1976) from the
// reduced latitude starts it close enough that for points near the Earth's
// surface the first round confirms it; each further round gains about two
// digits. A direction is kept as any vector (along, up) pointing that way.
// False when the start is unusable (deep inside an absurd ellipsoid).
bool BowringStart(const Meridian& m, double p, double z, double& along, double& up) {
  double sin_reduced = 0.0;
  double cos_reduced = 1.0;
  DirectionOf(p * m.minor_ratio, z, sin_reduced, cos_reduced);  // tan = z a / (p b)
  along = p - m.e2 * m.a * cos_reduced * cos_reduced * cos_reduced;
  up = z + m.second_e2 * m.b * sin_reduced * sin_reduced * sin_reduced;
  return along > 0.0 && std::isfinite(up);
}

// One round from the direction (along, up): its sine and cosine, sqrt(1 - e2
// sin^2) = a / Nv, and the next zn; true when the latitude moved by no more
// than the tolerance (or became NaN).
bool LatitudeRound(const Meridian& m, double p, double z, double along, double up, double& sin_lat,
                   double& cos_lat, double& root, double& zn) {
  DirectionOf(along, up, sin_lat, cos_lat);
  root = std::sqrt(1.0 - m.e2 * sin_lat * sin_lat);
  zn = z + m.e2 * (m.a / root) * sin_lat;
  // The change of latitude is cos^2(lat) times the change of its tangent,
  // from up / along to zn / p; compared without dividing.
  return !(std::fabs(zn * along - up * p) * cos_lat * cos_lat > kPackingGuard * p * along);
}

// Distance along the normal from the ellipsoid, stable at every latitude. It
// is stationary in the latitude, so the direction of the last round, within
// the tolerance of the final one, costs nothing measurable.
double HeightAlongNormal(const Meridian& m, double p, double z, double sin_lat, double cos_lat,
                         double root) {
  return p * cos_lat + z * sin_lat - m.a * root;
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
  const Meridian m(a, e2);
  double along = p;
  double up = z;
  if (!BowringStart(m, p, z, along, up)) {
    along = p;  // start from the geocentric direction
    up = z;
  }
  double sin_lat = 0.0;
  double cos_lat = 1.0;
  double root = 1.0;
  for (int round = 0; round < kMaxLatitudeIterations; ++round) {
    double zn = 0.0;
    bool converged = LatitudeRound(m, p, z, along, up, sin_lat, cos_lat, root, zn);
    along = p;
    up = zn;
    if (converged) break;
  }
  lat = QuadrantArctan(p, up);
  lon = QuadrantArctan(x, y);
  h = HeightAlongNormal(m, p, z, sin_lat, cos_lat, root);
}

void EcefToGeodeticBatch(double a, double e2, std::size_t count, const double* x, const double* y,
                         const double* z, double* lat, double* lon, double* h) {
  // Each step runs over a block of points before the next, so that the long
  // chains of square roots and divisions of different points overlap. Points
  // that need anything but the usual single round take the scalar path,
  // which works the same formulas, so the values are the same either way.
  constexpr std::size_t kBlock = 64;
  const Meridian m(a, e2);
  double p[kBlock], along[kBlock], up[kBlock], sin_lat[kBlock], cos_lat[kBlock], root[kBlock];
  bool usual[kBlock];
  for (std::size_t first = 0; first < count; first += kBlock) {
    const std::size_t n = std::min(kBlock, count - first);
    const double* bx = x + first;
    const double* by = y + first;
    const double* bz = z + first;
    for (std::size_t i = 0; i < n; ++i) p[i] = std::sqrt(bx[i] * bx[i] + by[i] * by[i]);
    for (std::size_t i = 0; i < n; ++i) {
      usual[i] = p[i] > 0.0 && std::fmax(p[i], std::fabs(bz[i])) < kLargestSquarable;
      usual[i] = BowringStart(m, p[i], bz[i], along[i], up[i]) && usual[i];
    }
    for (std::size_t i = 0; i < n; ++i) {
      double zn = 0.0;
      usual[i] =
          LatitudeRound(m, p[i], bz[i], along[i], up[i], sin_lat[i], cos_lat[i], root[i], zn) &&
          usual[i];
      up[i] = zn;
    }
    for (std::size_t i = 0; i < n; ++i) {
      std::size_t k = first + i;
      if (!usual[i]) {
        EcefToGeodetic(a, e2, bx[i], by[i], bz[i], lat[k], lon[k], h[k]);
        continue;
      }
      lat[k] = QuadrantArctan(p[i], up[i]);
      lon[k] = QuadrantArctan(bx[i], by[i]);
      h[k] = HeightAlongNormal(m, p[i], bz[i], sin_lat[i], cos_lat[i], root[i]);
    }
  }
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
