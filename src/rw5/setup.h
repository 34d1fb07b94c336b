// One setup of the instrument ("BK"): where it stood, what it was oriented
// on, and the circle reading its angles were reduced from. The field checks
// look back at it to find a stale orientation.
#pragma once

#include <cstdint>

#include "rw5/null_value.h"

namespace trovisk {

struct Setup {
  std::int32_t line = 0;  // raw file line of the "BK" record
  // Index in the observation list of the first observation filed after the
  // "BK" record: the setup's own follow until the next setup's first.
  std::int32_t first_observation = 0;
  std::int32_t occupied = 0;  // station indices; 0 for none
  std::int32_t backsight = 0;
  double backsight_azimuth = kNullValue;  // radians, "BS"
  double backsight_circle = 0.0;          // radians: "BC", or the reading on the backsight
  bool circle_from_reading = false;       // a reading on the backsight replaced "BC"
};

}  // namespace trovisk
