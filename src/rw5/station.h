// One surveyed point, by name, with the coordinates the raw file or the
// approximate-coordinates step gave it.
#pragma once

#include <cstdint>

#include "rw5/station_name.h"

namespace trovisk {

// Merge link of a station that stands for itself.
inline constexpr std::int32_t kNotMerged = -120001;

struct StationRecord {
  StationName name;
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
  // North, east and elevation are the collector's grid note on the geodetic
  // position stored just before it: the same point in both systems.
  bool nee_from_grid_note = false;
  std::int32_t distance_units = 0;  // raw file unit code in force when first added
};

}  // namespace trovisk
