// One pointing of the instrument as an observation record gives it.
#pragma once

#include "rw5/measurement.h"

namespace trovisk {

// Its horizontal angle is the circle reading, angle right; the zenith is
// folded into [0, pi].
struct Pointing : Measurement {
  int line = 0;
  int from = 0;             // occupied station
  int to = 0;               // foresight (target) station
  bool face_right = false;  // "BR" or "FR": the circle reads 180 degrees round
};

}  // namespace trovisk
