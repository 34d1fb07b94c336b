// Everything one conversion reads from the raw file: stations, observations,
// the codes the user agreed to skip and the units of the last mode record.
#pragma once

#include <string>
#include <vector>

#include "geodesy/constants.h"
#include "rw5/observation.h"
#include "rw5/setup.h"
#include "rw5/station_list.h"

namespace trovisk {

struct SurveyData {
  StationList stations;
  ObservationList observations = ObservationList(1);  // index 0 reserved
  std::vector<std::string> skipped_codes;
  std::vector<Setup> setups;  // in file order
  int reader_counter = 0;
  // Units of the last "MO" record (the program-wide setting).
  int distance_units = kUnitMetres;
  int angle_units = 0;

  // Empties every list and puts the reserved record back at index 0.
  void Reset() {
    stations.Clear();
    observations.assign(1, ObservationRecord{});
    skipped_codes.clear();
    setups.clear();
    reader_counter = 0;
    distance_units = kUnitMetres;
    angle_units = 0;
  }
};

}  // namespace trovisk
