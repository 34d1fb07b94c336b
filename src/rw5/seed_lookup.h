// The seed station's coordinates as the raw file gave them.
#pragma once

#include <string>

#include "base/user_interface.h"
#include "rw5/station_list.h"

namespace trovisk {

// The coordinate sets the file holds for the seed station; a set whose flag
// stays false was not in the file and its values are not to be used.
struct SeedCoordinates {
  bool has_nee = false;
  double north = 0, east = 0, elevation = 0;  // metres
  bool has_geodetic = false;
  double latitude = 0, longitude = 0, height = 0;  // radians, radians, metres
};

// Looks the seed station up by its exact name. Found: copies each coordinate
// set the station has into `out` and sets its flag, leaving the other set of
// `out` as it was, and returns true. Absent: tells the user that the station
// is not in `input_file_name` and returns false with `out` untouched.
bool LookUpSeedStation(const StationList& stations, const std::string& name,
                       const std::string& input_file_name, UserInterface& ui, SeedCoordinates& out);

}  // namespace trovisk
