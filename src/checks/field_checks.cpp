// The field checks in order, and their ranking.
#include "checks/field_checks.h"

#include <algorithm>

#include "checks/determination_spread.h"
#include "checks/implausible_values.h"
#include "checks/known_points.h"
#include "checks/repeated_pointings.h"
#include "checks/traverse_misclosure.h"

namespace trovisk {

std::vector<CheckFinding> RunFieldChecks(const SurveyData& data, const KnownCoordinates& known,
                                         const StationReport* report,
                                         const CheckTolerances& tolerances, bool keep_passing) {
  std::vector<CheckFinding> findings =
      CheckAgainstKnownCoordinates(data, known, tolerances, keep_passing);
  auto append = [&findings](std::vector<CheckFinding> more) {
    findings.insert(findings.end(), std::make_move_iterator(more.begin()),
                    std::make_move_iterator(more.end()));
  };
  append(CheckRepeatedPointings(data, tolerances));
  append(CheckTraverseMisclosures(data, known, tolerances));
  append(CheckImplausibleValues(data));
  if (report != nullptr) {
    append(CheckDeterminationSpread(data.stations, *report, tolerances, data.distance_units,
                                    keep_passing));
  }
  RankFindings(findings);
  return findings;
}

void RankFindings(std::vector<CheckFinding>& findings) {
  std::stable_sort(findings.begin(), findings.end(),
                   [](const CheckFinding& a, const CheckFinding& b) {
                     if (a.flagged != b.flagged) return a.flagged;
                     if (a.flagged) return a.size > b.size;
                     return a.line < b.line;
                   });
}

}  // namespace trovisk
