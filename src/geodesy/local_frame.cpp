// Conversions between the local system and geodetic coordinates at the seed.
#include "geodesy/local_frame.h"

#include <cmath>

namespace trovisk {

LocalFrame MakeLocalFrame(double a, double e2, double seed_latitude, double seed_longitude,
                          double seed_height, double seed_north, double seed_east,
                          double seed_elevation) {
  LocalFrame frame;
  frame.a = a;
  frame.e2 = e2;
  frame.seed_latitude = seed_latitude;
  frame.seed_longitude = seed_longitude;
  frame.seed_height = seed_height;
  frame.seed_north = seed_north;
  frame.seed_east = seed_east;
  frame.seed_elevation = seed_elevation;
  GeodeticToEcef(a, e2, seed_latitude, seed_longitude, seed_height, frame.seed_x, frame.seed_y,
                 frame.seed_z);
  frame.seed_axes = HorizonAxesAt(seed_latitude, seed_longitude);
  return frame;
}

double SeparationAt(const LocalFrame& frame, double latitude, double longitude) {
  double separation = frame.seed_separation;
  if (frame.separations != nullptr) frame.separations->At(latitude, longitude, separation);
  return separation;
}

double GridFactorAt(const LocalFrame& frame, double north, double east, double elevation) {
  if (frame.grid == nullptr) return 1.0;
  double latitude = 0.0;
  double longitude = 0.0;
  GridReverse(*frame.grid, east, north, latitude, longitude);
  const double height = elevation + SeparationAt(frame, latitude, longitude);
  // Gaussian mean radius of curvature: the sphere the ellipsoid is locally.
  const double s = std::sin(latitude);
  const double radius = frame.a * std::sqrt(1.0 - frame.e2) / (1.0 - frame.e2 * s * s);
  const double factor =
      GridDistortionAt(*frame.grid, latitude, longitude).scale * radius / (radius + height);
  return std::isfinite(factor) && factor > 0.0 ? factor : 1.0;
}

void LocalToGeodetic(const LocalFrame& frame, double north, double east, double elevation,
                     double& latitude, double& longitude, double& height) {
  if (frame.grid != nullptr) {
    GridReverse(*frame.grid, east, north, latitude, longitude);
    height = elevation + SeparationAt(frame, latitude, longitude);
    return;
  }
  double x = 0.0;
  double y = 0.0;
  double z = 0.0;
  LocalToEcef(frame.seed_axes, east - frame.seed_east, north - frame.seed_north,
              elevation - frame.seed_elevation, frame.seed_x, frame.seed_y, frame.seed_z, x, y, z);
  EcefToGeodetic(frame.a, frame.e2, x, y, z, latitude, longitude, height);
}

void GeodeticToLocal(const LocalFrame& frame, double latitude, double longitude, double height,
                     double& north, double& east, double& elevation) {
  if (frame.grid != nullptr) {
    GridForward(*frame.grid, latitude, longitude, east, north);
    elevation = height - SeparationAt(frame, latitude, longitude);
    return;
  }
  double x = 0.0;
  double y = 0.0;
  double z = 0.0;
  GeodeticToEcef(frame.a, frame.e2, latitude, longitude, height, x, y, z);
  double e = 0.0;
  double n = 0.0;
  double u = 0.0;
  EcefDeltaToLocal(frame.seed_axes, x - frame.seed_x, y - frame.seed_y, z - frame.seed_z, e, n, u);
  north = frame.seed_north + n;
  east = frame.seed_east + e;
  elevation = frame.seed_elevation + u;
}

}  // namespace trovisk
