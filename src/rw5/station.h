// One surveyed point, by name, with the coordinates the raw file or the
// approximate-coordinates step gave it.
#pragma once

#include <cstdint>
#include <string>

namespace trovisk {

// Merge link of a station that stands for itself.
inline constexpr std::int32_t kNotMerged = -120001;
// Longest station name kept: characters 3 to 17 of a prefixed field.
inline constexpr std::size_t kMaxStationNameLength = 15;

struct StationRecord {
  std::string name;
  double latitude = 0.0;   // radians, valid when has_geodetic
  double longitude = 0.0;  // radians, valid when has_geodetic
  double height = 0.0;     // ellipsoidal, metres, valid when has_geodetic
  double north = 0.0;      // metres, valid when has_nee
  double east = 0.0;
  double elevation = 0.0;
  std::int32_t merge_link = kNotMerged;  // else the index of the surviving station
  std::int32_t description = 0;          // in the list's description pool; 0: none
  bool has_geodetic = false;
  bool has_nee = false;
  std::int32_t distance_units = 0;  // raw file unit code in force when first added
  std::int32_t angle_units = 0;
};

}  // namespace trovisk
