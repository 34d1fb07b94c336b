// What the raw-file reader needs to know beyond the file itself.
#pragma once

#include <string>

namespace trovisk {

struct ReaderOptions {
  std::string input_name;  // the file's name as messages and warnings show it
  // GPS vectors in the file run between antennas; reduce them to the marks.
  bool gps_antenna_to_antenna = true;
  // The working datum: semi-major axis (metres) and first eccentricity squared.
  double a = 6378137.0;
  double e2 = 0.00669437999014;
  // Seed position in radians, used for the ellipsoid normal at a GPS vector
  // end whose geodetic position is not known otherwise.
  double fallback_latitude = 0.0;
  double fallback_longitude = 0.0;
  // Two records that store one point's coordinates further apart than this
  // (metres, across or in height) are reported.
  double tolerance = 0.05;
};

}  // namespace trovisk
