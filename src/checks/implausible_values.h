// Values no instrument measures, and positions that cannot be.
#pragma once

#include <vector>

#include "checks/check_finding.h"
#include "rw5/survey_data.h"

namespace trovisk {

// Flagged findings for: a zenith within two degrees of the zenith or the
// nadir that comes with a distance; an instrument height that changes in
// the middle of a setup (once per setup); a station whose ellipsoidal
// height lies beyond what the earth's surface allows (below -500 m or above
// 9,000 m), as a position computed through a wrong observation does.
std::vector<CheckFinding> CheckImplausibleValues(const SurveyData& data);

}  // namespace trovisk
