// The tie between the survey's north/east/elevation system and the
// ellipsoid: a tangent frame at the seed station, or a projected grid.
#pragma once

#include "geodesy/ellipsoid.h"
#include "geodesy/geoid_separation.h"
#include "geodesy/grid_projection.h"

namespace trovisk {

// The seed station's position in both systems and the ellipsoid (a, e2) they
// are related on. Local values in metres, latitude and longitude in radians.
struct LocalFrame {
  double a = 6378137.0;
  double e2 = 0.0066943799901413165;
  double seed_latitude = 0.0;
  double seed_longitude = 0.0;
  double seed_height = 0.0;
  double seed_north = 0.0;
  double seed_east = 0.0;
  double seed_elevation = 0.0;
  // Earth-centred position of the seed, filled by MakeLocalFrame.
  double seed_x = 0.0;
  double seed_y = 0.0;
  double seed_z = 0.0;
  // The seed's horizon axes, filled by MakeLocalFrame.
  HorizonAxes seed_axes;
  // On a projected grid, north and east are the grid's and elevations lie
  // the geoid separation below ellipsoidal heights: interpolated near the
  // job's points of known separation, the seed's elsewhere. Without a grid
  // the tangent frame at the seed ties the systems.
  const GridProjection* grid = nullptr;
  const GeoidSeparations* separations = nullptr;
  double seed_separation = 0.0;
};

/// The frame on the ellipsoid (a in metres, e2) of a seed at latitude and
/// longitude (radians), height, north, east and elevation (metres); its
/// earth-centred position and horizon axes are worked out from them.
LocalFrame MakeLocalFrame(double a, double e2, double seed_latitude, double seed_longitude,
                          double seed_height, double seed_north, double seed_east,
                          double seed_elevation);

/// Local north, east, elevation (metres) to latitude, longitude (radians) and
/// ellipsoidal height (metres): the offsets from the seed are turned into
/// earth-centred coordinates at the seed's horizon and then into geodetic ones.
void LocalToGeodetic(const LocalFrame& frame, double north, double east, double elevation,
                     double& latitude, double& longitude, double& height);

/// Latitude, longitude (radians) and ellipsoidal height (metres) to local
/// north, east, elevation (metres): the earth-centred offset from the seed,
/// seen in the seed's horizon, plus the seed's local coordinates.
void GeodeticToLocal(const LocalFrame& frame, double latitude, double longitude, double height,
                     double& north, double& east, double& elevation);

/// The geoid separation (metres) at a point (radians) of a grid frame.
double SeparationAt(const LocalFrame& frame, double latitude, double longitude);

/// How much longer a horizontal ground distance is on the grid at a point
/// (north, east, elevation in metres): the grid's point scale factor times
/// the elevation factor R / (R + h). 1 in the tangent frame.
double GridFactorAt(const LocalFrame& frame, double north, double east, double elevation);

}  // namespace trovisk
