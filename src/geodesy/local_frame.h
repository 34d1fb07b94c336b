// The tie between the survey's local north/east/elevation system and the
// ellipsoid: a tangent frame at the seed station.
#pragma once

#include "geodesy/ellipsoid.h"

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

}  // namespace trovisk
