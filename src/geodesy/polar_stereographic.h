// Polar stereographic grid coordinates: the ellipsoid projected conformally
// onto the plane touching it at a pole, the meridians straight lines out of
// the pole.
#pragma once

namespace trovisk {

/// A polar stereographic grid worked from its defining values, for many
/// points. rho = radius_scale t, t = tan(pi/4 - chi/2) for the conformal
/// latitude chi measured towards the grid's pole.
struct PolarStereographicGrid {
  double a = 0.0;              // semi-major axis, metres
  double e = 0.0;              // first eccentricity
  bool south_pole = false;     // centred on the south pole, not the north
  double radius_scale = 0.0;   // metres: rho over t
  double k0 = 1.0;             // the scale at the pole
  double lon0 = 0.0;           // the meridian along which grid north is true north, radians
  double false_easting = 0.0;  // grid coordinates of the pole, metres
  double false_northing = 0.0;
};

/// Variant A (EPSG 9810), scaled at the pole: a in metres, e2 the first
/// eccentricity squared; lat0 +-pi/2 picks the pole; lon0 in radians; k0 the
/// scale at the pole; false easting and northing of the pole in metres.
PolarStereographicGrid PolarStereographicScaledAtPole(double a, double e2, double lat0, double lon0,
                                                      double k0, double false_easting,
                                                      double false_northing);
/// Variant B (EPSG 9829), true to scale along a parallel: a in metres, e2 the
/// first eccentricity squared; lat_true the standard parallel (its sign picks
/// the pole) and lon0 the longitude of origin, radians; false easting and
/// northing of the pole in metres.
PolarStereographicGrid PolarStereographicTrueAtParallel(double a, double e2, double lat_true,
                                                        double lon0, double false_easting,
                                                        double false_northing);

/// Geodetic lat, lon (radians) to grid easting, northing (metres).
void PolarStereographicForward(const PolarStereographicGrid& grid, double lat, double lon,
                               double& easting, double& northing);
/// Grid easting, northing (metres) to geodetic lat, lon (radians); the pole
/// itself comes back with the longitude lon0.
void PolarStereographicReverse(const PolarStereographicGrid& grid, double easting, double northing,
                               double& lat, double& lon);

/// The point scale factor at a point (lat, lon in radians) of the grid.
double PolarStereographicScale(const PolarStereographicGrid& grid, double lat);

}  // namespace trovisk
