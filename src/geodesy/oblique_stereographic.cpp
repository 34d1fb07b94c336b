// EPSG method 9809: the conformal sphere of radius R = sqrt(rho0 nu0) at the
// origin, with sphere latitude chi given by sin chi = tanh(n psi + ln(c) / 2)
// for the isometric latitude psi, then the sphere's stereographic projection.
// The isometric latitude is asinh of the conformal tangent.
#include "geodesy/oblique_stereographic.h"

#include <cmath>

#include "geodesy/conformal_latitude.h"
#include "geodesy/constants.h"

namespace trovisk {
namespace {

double IsometricLatitude(double lat, double e) {
  return std::asinh(ConformalTangent(std::tan(lat), e));
}

}  // namespace

ObliqueStereographicSphere PrepareObliqueStereographic(const ObliqueStereographicGrid& grid) {
  ObliqueStereographicSphere s;
  s.grid = grid;
  s.e = std::sqrt(grid.e2);
  const double sin_lat0 = std::sin(grid.lat0);
  const double cos_lat0 = std::cos(grid.lat0);
  const double w = 1.0 - grid.e2 * sin_lat0 * sin_lat0;
  // R = sqrt(rho0 nu0), the geometric mean of the principal radii.
  const double radius = grid.a * std::sqrt(1.0 - grid.e2) / w;
  s.diameter = 2.0 * radius * grid.k0;
  s.exponent = std::sqrt(1.0 + grid.e2 * std::pow(cos_lat0, 4) / (1.0 - grid.e2));
  // c makes the origin's sphere latitude chi0 satisfy sin chi0 = sin lat0 / n,
  // so that the sphere's scale is stationary at the origin.
  const double psi0 = IsometricLatitude(grid.lat0, s.e);
  const double sin_chi1 = std::tanh(s.exponent * psi0);
  s.scale =
      (s.exponent + sin_lat0) * (1.0 - sin_chi1) / ((s.exponent - sin_lat0) * (1.0 + sin_chi1));
  s.sin_chi0 = std::tanh(s.exponent * psi0 + 0.5 * std::log(s.scale));
  s.cos_chi0 = std::sqrt(1.0 - s.sin_chi0 * s.sin_chi0);
  return s;
}

void ObliqueStereographicForward(const ObliqueStereographicSphere& s, double lat, double lon,
                                 double& easting, double& northing) {
  const double sin_chi =
      std::tanh(s.exponent * IsometricLatitude(lat, s.e) + 0.5 * std::log(s.scale));
  const double cos_chi = std::sqrt(1.0 - sin_chi * sin_chi);
  const double dlon = s.exponent * std::remainder(lon - s.grid.lon0, kTwoPi);
  const double cos_dlon = std::cos(dlon);
  const double b = 1.0 + sin_chi * s.sin_chi0 + cos_chi * s.cos_chi0 * cos_dlon;
  easting = s.grid.false_easting + s.diameter * cos_chi * std::sin(dlon) / b;
  northing = s.grid.false_northing +
             s.diameter * (sin_chi * s.cos_chi0 - cos_chi * s.sin_chi0 * cos_dlon) / b;
}

void ObliqueStereographicReverse(const ObliqueStereographicSphere& s, double easting,
                                 double northing, double& lat, double& lon) {
  const double x = easting - s.grid.false_easting;
  const double y = northing - s.grid.false_northing;
  const double rho = std::hypot(x, y);
  double sin_chi = s.sin_chi0;
  double dlon = 0.0;
  if (rho > 0.0) {
    // The angle at the sphere's centre between the origin and the point.
    const double arc = 2.0 * std::atan(rho / s.diameter);
    const double sin_arc = std::sin(arc);
    const double cos_arc = std::cos(arc);
    sin_chi = cos_arc * s.sin_chi0 + y * sin_arc * s.cos_chi0 / rho;
    dlon = std::atan2(x * sin_arc, rho * s.cos_chi0 * cos_arc - y * s.sin_chi0 * sin_arc);
  }
  const double psi = (std::atanh(sin_chi) - 0.5 * std::log(s.scale)) / s.exponent;
  lat = std::atan(GeodeticTangent(std::sinh(psi), s.e));
  lon = std::remainder(s.grid.lon0 + dlon / s.exponent, kTwoPi);
}

}  // namespace trovisk
