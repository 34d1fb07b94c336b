// The tie between the survey's local north/east/elevation system and the
// ellipsoid: a tangent frame at the seed station.
#pragma once

#include <cstddef>

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
  // The seed's horizon axes, filled by MakeLocalFrame, so that converting a
  // station costs no trigonometry of the seed.
  HorizonAxes seed_axes;
};

/// A frame whose seed ECEF position is computed from its geodetic values.
LocalFrame MakeLocalFrame(double a, double e2, double seed_latitude, double seed_longitude,
                          double seed_height, double seed_north, double seed_east,
                          double seed_elevation);

/// Local north, east, elevation (metres) to latitude, longitude (radians) and
/// ellipsoidal height (metres): the offsets from the seed are turned into
/// earth-centred coordinates at the seed's horizon and then into geodetic ones.
void LocalToGeodetic(const LocalFrame& frame, double north, double east, double elevation,
                     double& latitude, double& longitude, double& height);

/// LocalToGeodetic for `count` points held in arrays, with the same values;
/// faster for many points.
void LocalToGeodeticBatch(const LocalFrame& frame, std::size_t count, const double* north,
                          const double* east, const double* elevation, double* latitude,
                          double* longitude, double* height);

/// Geodetic to local: the earth-centred offset from the seed, seen in the
/// seed's horizon, plus the seed's local coordinates.
void GeodeticToLocal(const LocalFrame& frame, double latitude, double longitude, double height,
                     double& north, double& east, double& elevation);

}  // namespace trovisk
