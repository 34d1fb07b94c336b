// A projected coordinate system ready to carry points between latitude and
// longitude and its grid, and the grid's scale and convergence at a point.
#pragma once

#include "geodesy/grid_system.h"
#include "geodesy/lambert_conformal_conic.h"
#include "geodesy/oblique_stereographic.h"
#include "geodesy/polar_stereographic.h"
#include "geodesy/transverse_mercator.h"

namespace trovisk {

/// The projection of one system, worked once for many points.
struct GridProjection {
  GridMethod method = GridMethod::kTransverseMercator;
  double a = 0.0;   // the system's ellipsoid: semi-major axis (metres) and
  double e2 = 0.0;  // first eccentricity squared
  TransverseMercatorSeries transverse_mercator;
  LambertConicGrid lambert;
  ObliqueStereographicSphere oblique_stereographic;
  PolarStereographicGrid polar_stereographic;
  // A collector's grid moved from the system's by one offset (metres), as
  // when its base stood on an uncorrected position: added to every grid
  // coordinate the system gives. 0 for the system itself.
  double shift_north = 0.0;
  double shift_east = 0.0;
};

GridProjection PrepareGridProjection(const GridSystem& system);

/// Latitude and longitude (radians) to grid easting and northing (metres).
void GridForward(const GridProjection& projection, double lat, double lon, double& easting,
                 double& northing);

/// Grid easting and northing (metres) to latitude and longitude (radians).
void GridReverse(const GridProjection& projection, double easting, double northing, double& lat,
                 double& lon);

/// The grid's distortion at a point: the point scale factor (grid length
/// over ellipsoid length) and the meridian convergence, the angle from true
/// north to grid north, clockwise positive, so that a grid bearing is the
/// geodetic azimuth minus the convergence.
struct GridDistortion {
  double scale = 1.0;
  double convergence = 0.0;  // radians
};
GridDistortion GridDistortionAt(const GridProjection& projection, double lat, double lon);

}  // namespace trovisk
