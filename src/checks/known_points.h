// Backsight checks and check shots: pointings between stations whose
// coordinates are known, compared with what the coordinates say.
#pragma once

#include <vector>

#include "checks/check_finding.h"
#include "checks/check_tolerances.h"
#include "rw5/survey_data.h"

namespace trovisk {

// A station's north, east and elevation as the file gave them (metres).
struct KnownPoint {
  bool known = false;
  double north = 0.0, east = 0.0, elevation = 0.0;
};

// The stations' coordinates by index, taken right after reading: before the
// approximate coordinates compute or carry any, these are the file's.
std::vector<KnownPoint> KnownStations(const StationList& stations);

// Every measured pointing from a known station to another known one: its
// horizontal angle (when the backsight is known too), horizontal distance
// and mark-to-mark height difference against the values inverted from the
// coordinates. One finding each, flagged beyond the tolerances; those within
// them only when `keep_passing` (a report lists every check).
std::vector<CheckFinding> CheckAgainstKnownCoordinates(const SurveyData& data,
                                                       const std::vector<KnownPoint>& known,
                                                       const CheckTolerances& tolerances,
                                                       bool keep_passing);

}  // namespace trovisk
