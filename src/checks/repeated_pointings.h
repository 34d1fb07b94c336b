// Two pointings from one station to one mark that do not agree.
#pragma once

#include <vector>

#include "checks/check_finding.h"
#include "checks/check_tolerances.h"
#include "rw5/survey_data.h"

namespace trovisk {

// Each pointing against the one before it from the same station to the same
// mark: horizontal distance and mark-to-mark height difference, and the
// horizontal angle when both are read from the same backsight in the same
// setup. A flagged finding for each pair beyond the tolerances; when the
// heights differ by just the change of target height while the zenith and
// distance stayed, it says that a target height was probably left over.
std::vector<CheckFinding> CheckRepeatedPointings(const SurveyData& data,
                                                 const CheckTolerances& tolerances);

}  // namespace trovisk
