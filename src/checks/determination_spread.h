// Stations the approximate coordinates determined more than once, and how
// far apart their determinations lie.
#pragma once

#include <vector>

#include "approx/station_report.h"
#include "checks/check_finding.h"
#include "checks/check_tolerances.h"
#include "rw5/station_list.h"

namespace trovisk {

// One finding per station with more than one determination of its position
// or elevation: the spread of those that agree, and each one set aside with
// its observation. Flagged when a spread or a set-aside determination lies
// beyond the distance (position) or height (elevation) tolerance; the others
// only when `keep_passing`.
std::vector<CheckFinding> CheckDeterminationSpread(const StationList& stations,
                                                   const StationReport& report,
                                                   const CheckTolerances& tolerances,
                                                   int distance_unit_code, bool keep_passing);

}  // namespace trovisk
