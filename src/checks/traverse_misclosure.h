// Traverses and how well they close: worked from their starting control
// along the measured angles and distances alone, then compared with the
// known mark they end on.
#pragma once

#include <vector>

#include "checks/check_finding.h"
#include "checks/check_tolerances.h"
#include "checks/known_points.h"
#include "rw5/survey_data.h"

namespace trovisk {

// A traverse is a run of setups, each on the foresight of the one before
// and backsighting it, that starts on a known station oriented on another.
// Its stations are carried from the start by the mean angle and distance of
// each leg, whatever coordinates the file gives them. Where the last station
// lands near a known mark outside the traverse (or back on its start), the
// finding gives the linear misclosure and its precision ratio 1:N; where a
// pointing from the last station lands near a second known mark, also the
// angular misclosure. Flagged beyond the distance tolerance over the
// traverse's length, or the angle tolerance times the root of its angles.
std::vector<CheckFinding> CheckTraverseMisclosures(const SurveyData& data,
                                                   const KnownCoordinates& known,
                                                   const CheckTolerances& tolerances);

}  // namespace trovisk
