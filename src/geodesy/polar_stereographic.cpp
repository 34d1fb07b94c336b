// EPSG methods 9810 and 9829 written with the conformal latitude chi seen
// from the grid's pole: t = tan(pi/4 - chi/2) = sec chi - tan chi, which
// stays exact up to the pole, and rho = radius_scale t.
#include "geodesy/polar_stereographic.h"

#include <cmath>

#include "geodesy/conformal_latitude.h"
#include "geodesy/constants.h"

namespace trovisk {
namespace {

// t of a latitude counted positive towards the grid's pole.
double PoleDistanceRatio(double lat_towards_pole, double e) {
  const double tan_chi = ConformalTangent(std::tan(lat_towards_pole), e);
  return 1.0 / (std::hypot(1.0, tan_chi) + tan_chi);
}

// sqrt((1 + e)^(1 + e) (1 - e)^(1 - e)): 2 a k0 over this is rho over t.
double PoleFactor(double e) {
  return std::sqrt(std::pow(1.0 + e, 1.0 + e) * std::pow(1.0 - e, 1.0 - e));
}

// m: the parallel's radius over a, cos(lat) / sqrt(1 - e2 sin^2 lat).
double ParallelRadiusRatio(double lat, double e2) {
  const double s = std::sin(lat);
  return std::cos(lat) / std::sqrt(1.0 - e2 * s * s);
}

}  // namespace

PolarStereographicGrid PolarStereographicScaledAtPole(double a, double e2, double lat0, double lon0,
                                                      double k0, double false_easting,
                                                      double false_northing) {
  PolarStereographicGrid g;
  g.a = a;
  g.e = std::sqrt(e2);
  g.south_pole = lat0 < 0.0;
  g.k0 = k0;
  g.radius_scale = 2.0 * a * k0 / PoleFactor(g.e);
  g.lon0 = lon0;
  g.false_easting = false_easting;
  g.false_northing = false_northing;
  return g;
}

PolarStereographicGrid PolarStereographicTrueAtParallel(double a, double e2, double lat_true,
                                                        double lon0, double false_easting,
                                                        double false_northing) {
  PolarStereographicGrid g;
  g.a = a;
  g.e = std::sqrt(e2);
  g.south_pole = lat_true < 0.0;
  const double towards_pole = std::fabs(lat_true);
  if (kHalfPi - towards_pole < 1e-12) {
    // True to scale at the pole itself: variant A with k0 = 1.
    g.radius_scale = 2.0 * a / PoleFactor(g.e);
  } else {
    // The parallel's own radius a m equals rho there.
    g.radius_scale =
        a * ParallelRadiusRatio(towards_pole, e2) / PoleDistanceRatio(towards_pole, g.e);
  }
  g.k0 = g.radius_scale * PoleFactor(g.e) / (2.0 * a);
  g.lon0 = lon0;
  g.false_easting = false_easting;
  g.false_northing = false_northing;
  return g;
}

void PolarStereographicForward(const PolarStereographicGrid& g, double lat, double lon,
                               double& easting, double& northing) {
  const double side = g.south_pole ? -1.0 : 1.0;
  const double rho = g.radius_scale * PoleDistanceRatio(side * lat, g.e);
  const double theta = std::remainder(lon - g.lon0, kTwoPi);
  easting = g.false_easting + rho * std::sin(theta);
  // Grid north points away from the north pole and towards the south pole.
  northing = g.false_northing - side * rho * std::cos(theta);
}

void PolarStereographicReverse(const PolarStereographicGrid& g, double easting, double northing,
                               double& lat, double& lon) {
  const double side = g.south_pole ? -1.0 : 1.0;
  const double x = easting - g.false_easting;
  const double y = northing - g.false_northing;
  const double t = std::hypot(x, y) / g.radius_scale;
  if (t == 0.0) {
    lat = side * kHalfPi;
    lon = g.lon0;
    return;
  }
  // t = sec chi - tan chi, so 1/t = sec chi + tan chi.
  const double tan_chi = 0.5 * (1.0 / t - t);
  lat = side * std::atan(GeodeticTangent(tan_chi, g.e));
  lon = std::remainder(g.lon0 + std::atan2(x, -side * y), kTwoPi);
}

double PolarStereographicScale(const PolarStereographicGrid& g, double lat) {
  const double towards_pole = g.south_pole ? -lat : lat;
  if (kHalfPi - towards_pole < 1e-12) return g.k0;
  const double m = ParallelRadiusRatio(towards_pole, g.e * g.e);
  // The parallel's radius on the grid over its radius on the ellipsoid.
  return g.radius_scale * PoleDistanceRatio(towards_pole, g.e) / (g.a * m);
}

}  // namespace trovisk
