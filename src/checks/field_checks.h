// The checks a surveyor runs on a field file before the adjustment, run
// together and ranked.
#pragma once

#include <vector>

#include "approx/station_report.h"
#include "checks/check_finding.h"
#include "checks/check_tolerances.h"
#include "checks/known_points.h"
#include "rw5/survey_data.h"

namespace trovisk {

// Backsight checks and check shots between the `known` stations (those with
// coordinates from the file, by index), repeated pointings, implausible
// values and, with a station report, the spread of the stations determined
// more than once. Checks within the tolerances are kept only when
// `keep_passing`. Ranked by RankFindings.
std::vector<CheckFinding> RunFieldChecks(const SurveyData& data, const KnownCoordinates& known,
                                         const StationReport* report,
                                         const CheckTolerances& tolerances, bool keep_passing);

// Flagged findings first, largest first; then the others in file order.
void RankFindings(std::vector<CheckFinding>& findings);

}  // namespace trovisk
