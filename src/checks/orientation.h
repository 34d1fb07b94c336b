// Setups whose shots disagree with their own backsight orientation.
#pragma once

#include <vector>

#include "checks/check_finding.h"
#include "checks/check_tolerances.h"
#include "rw5/survey_data.h"

namespace trovisk {

// A shot that repeats a pointing on the setup's backsight mark (its zenith
// and slope distance, from the same station) but reads away from the
// backsight shows the setup's angles rotated by that reading. Where the
// setup's backsight azimuth is that shot's circle reading, the collector's
// circle reading ("BC") was stale and the file itself settles it: the
// setup's angles are turned back and the finding says so. Otherwise the
// angles stay as read and the finding only warns. One finding per setup.
std::vector<CheckFinding> SettleOrientations(SurveyData& data, const CheckTolerances& tolerances);

}  // namespace trovisk
