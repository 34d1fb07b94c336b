// Lambert Conformal Conic grid coordinates, with one standard parallel
// (scaled at the natural origin) or two standard parallels.
#pragma once

namespace trovisk {

/// The cone worked from a grid's defining values, for many points.
struct LambertConicGrid {
  double e = 0.0;               // first eccentricity
  double cone = 1.0;            // n, the cone constant: sine of the latitude of true shape
  double radius_scale = 0.0;    // a F k0: r = radius_scale exp(-n psi), metres
  double origin_radius = 0.0;   // r at the latitude of the (false) origin, metres
  double lon0 = 0.0;            // central meridian, radians
  double false_easting = 0.0;   // metres
  double false_northing = 0.0;  // metres
};

/// One standard parallel: a in metres, e2 the first eccentricity squared;
/// lat0, lon0 the natural origin in radians (lat0 is the standard parallel);
/// k0 the scale there; false easting and northing in metres at the origin.
LambertConicGrid LambertOneStandardParallel(double a, double e2, double lat0, double lon0,
                                            double k0, double false_easting, double false_northing);
/// Two standard parallels lat1, lat2 (radians, true to scale): a in metres,
/// e2 the first eccentricity squared; lat_origin, lon0 the false origin in
/// radians, where the false easting and northing (metres) apply.
LambertConicGrid LambertTwoStandardParallels(double a, double e2, double lat_origin, double lon0,
                                             double lat1, double lat2, double false_easting,
                                             double false_northing);

/// Geodetic lat, lon (radians) to grid easting, northing (metres).
void LambertConicForward(const LambertConicGrid& grid, double lat, double lon, double& easting,
                         double& northing);
/// Grid easting, northing (metres) to geodetic lat, lon (radians).
void LambertConicReverse(const LambertConicGrid& grid, double easting, double northing, double& lat,
                         double& lon);

}  // namespace trovisk
