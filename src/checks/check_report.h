// The check report a surveyor prints before the adjustment: what was
// written, where the stations' coordinates came from, the flagged items
// ranked by size, every check, and the station table.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "approx/station_report.h"
#include "checks/check_finding.h"
#include "checks/check_tolerances.h"
#include "output/observation_writer.h"
#include "rw5/survey_data.h"

namespace trovisk {

struct CheckReportInput {
  std::string input_name;
  const SurveyData* data = nullptr;
  const StationReport* report = nullptr;  // the approximate coordinates', when computed
  const WrittenObservations* written = nullptr;
  const std::vector<CheckFinding>* findings = nullptr;  // ranked
  const std::vector<MergeCluster>* clusters = nullptr;  // may be null
  CheckTolerances tolerances;
};

/// Plain text, lengths in the job's unit.
void WriteCheckReport(std::ostream& out, const CheckReportInput& input);

}  // namespace trovisk
