// EPSG methods 9801 and 9802 written with the isometric latitude psi, for
// which the EPSG t is exp(-psi): the radius on the cone is r = a F k0 t^n and
// the meridians converge at n times the difference of longitude.
#include "geodesy/lambert_conformal_conic.h"

#include <cmath>

#include "geodesy/conformal_latitude.h"
#include "geodesy/constants.h"

namespace trovisk {
namespace {

// Two standard parallels closer than this are one (radians, about 0.2 mm).
constexpr double kSameParallel = 3e-11;

double IsometricLatitude(double lat, double e) {
  return std::asinh(ConformalTangent(std::tan(lat), e));
}

// m: the parallel's radius over a, cos(lat) / sqrt(1 - e2 sin^2 lat).
double ParallelRadiusRatio(double lat, double e2) {
  const double s = std::sin(lat);
  return std::cos(lat) / std::sqrt(1.0 - e2 * s * s);
}

LambertConicGrid Cone(double a, double e2, double cone, double lat_true, double k0,
                      double lat_origin, double lon0, double false_easting, double false_northing) {
  LambertConicGrid g;
  g.e = std::sqrt(e2);
  g.cone = cone;
  // F = m / (n t^n) on a parallel true to scale (or scaled k0).
  g.radius_scale = a * k0 * ParallelRadiusRatio(lat_true, e2) *
                   std::exp(cone * IsometricLatitude(lat_true, g.e)) / cone;
  g.origin_radius = g.radius_scale * std::exp(-cone * IsometricLatitude(lat_origin, g.e));
  g.lon0 = lon0;
  g.false_easting = false_easting;
  g.false_northing = false_northing;
  return g;
}

}  // namespace

LambertConicGrid LambertOneStandardParallel(double a, double e2, double lat0, double lon0,
                                            double k0, double false_easting,
                                            double false_northing) {
  return Cone(a, e2, std::sin(lat0), lat0, k0, lat0, lon0, false_easting, false_northing);
}

LambertConicGrid LambertTwoStandardParallels(double a, double e2, double lat_origin, double lon0,
                                             double lat1, double lat2, double false_easting,
                                             double false_northing) {
  double cone = std::sin(lat1);
  if (std::fabs(lat1 - lat2) > kSameParallel) {
    const double e = std::sqrt(e2);
    cone = std::log(ParallelRadiusRatio(lat1, e2) / ParallelRadiusRatio(lat2, e2)) /
           (IsometricLatitude(lat2, e) - IsometricLatitude(lat1, e));
  }
  return Cone(a, e2, cone, lat1, 1.0, lat_origin, lon0, false_easting, false_northing);
}

void LambertConicForward(const LambertConicGrid& g, double lat, double lon, double& easting,
                         double& northing) {
  const double r = g.radius_scale * std::exp(-g.cone * IsometricLatitude(lat, g.e));
  const double theta = g.cone * std::remainder(lon - g.lon0, kTwoPi);
  easting = g.false_easting + r * std::sin(theta);
  northing = g.false_northing + g.origin_radius - r * std::cos(theta);
}

void LambertConicReverse(const LambertConicGrid& g, double easting, double northing, double& lat,
                         double& lon) {
  // On a southern cone (n < 0) the radii point the other way.
  const double side = g.cone < 0.0 ? -1.0 : 1.0;
  const double x = side * (easting - g.false_easting);
  const double y = side * (g.origin_radius - (northing - g.false_northing));
  const double r = std::hypot(x, y);
  const double theta = std::atan2(x, y);
  const double psi = -std::log(r / (side * g.radius_scale)) / g.cone;
  lat = std::atan(GeodeticTangent(std::sinh(psi), g.e));
  lon = std::remainder(g.lon0 + theta / g.cone, kTwoPi);
}

}  // namespace trovisk
