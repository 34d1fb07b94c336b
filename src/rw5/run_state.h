// The survey state that carries from record to record while the raw file is read.
#pragma once

#include <cstddef>

#include "geodesy/constants.h"
#include "rw5/null_value.h"

namespace trovisk {

struct RunState {
  // Mode ("MO"); the distance and angle units decide every conversion.
  int direction_mode = 0;
  int distance_units = kUnitMetres;
  double scale_factor = kNullValue;
  int earth_curvature = 0;
  double edm_offset = kNullValue;
  int angle_units = 0;
  bool live_mode_seen = false;  // a mode record, not only a mode note

  // Heights ("LS", and "HR" of observation records), in file units.
  double instrument_height = kNullValue;
  double target_height = kNullValue;
  // The rover antenna height of GPS points: the "HR" of the last "LS" only,
  // so that both passes see the same one (file units).
  double rover_height = kNullValue;
  bool rover_height_warned = false;

  // The setup ("BK"): station indices, 0 for none.
  int occupied = 0;
  int backsight = 0;
  double backsight_azimuth = kNullValue;  // radians
  // Circle reading on the backsight (radians): "BC", or the reading measured
  // to the backsight before any foresight of the setup.
  double backsight_circle = 0.0;
  bool foresight_since_setup = false;

  // GPS: the base of the vectors ("BP") and the antenna heights ("AH"), metres.
  int base = 0;
  double base_antenna_height = kNullValue;
  double rover_antenna_height = kNullValue;
  // The vector observation that a "CV" record right after it completes; 0 for none.
  std::size_t pending_vector = 0;
};

}  // namespace trovisk
