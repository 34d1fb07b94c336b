// What one pointing says about the two marks it joins, as the checks
// compare it: the horizontal distance and the height difference, mark to
// mark, and the setup it was measured in.
#pragma once

#include <string>
#include <vector>

#include "rw5/observation.h"
#include "rw5/setup.h"

namespace trovisk {

// Horizontal distance (metres): the one measured, else the slope distance
// reduced by its zenith; missing when neither can be had.
double HorizontalDistanceOf(const ObservationRecord& observation);
// Height of the target mark above the instrument mark (metres): slope
// distance and zenith with the instrument and target heights; missing
// without both.
double MarkHeightDifferenceOf(const ObservationRecord& observation);
// Index into `setups` of the setup the observation was measured in (the
// last "BK" before its line at its station), or -1 for none.
int SetupOf(const std::vector<Setup>& setups, const ObservationRecord& observation);
// SetupOf for every observation of the list, by index (entry 0 unused).
std::vector<int> SetupIndexes(const std::vector<Setup>& setups,
                              const ObservationList& observations);

// "78°38'48"" for an angle in radians, the sign kept.
std::string AngleText(double radians);
// "0.123 m", "0.404 ft" or "0.404 US ft" in the job's unit.
std::string LengthText(double metres, int distance_unit_code);

}  // namespace trovisk
