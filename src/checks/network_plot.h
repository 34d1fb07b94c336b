// The network as a plan to look at before the adjustment: one SVG picture of
// the stations, the observations between them and what the checks flagged.
#pragma once

#include <iosfwd>
#include <vector>

#include "approx/station_report.h"
#include "checks/check_finding.h"
#include "rw5/observation.h"
#include "rw5/station_list.h"

namespace trovisk {

struct PlotInput {
  const StationList* stations = nullptr;          // north, east in metres where has_nee
  const ObservationList* observations = nullptr;  // drawn between their resolved stations
  // Where the coordinates came from; null when none were computed, and then
  // every station with north and east counts as known.
  const StationReport* report = nullptr;
  std::vector<CheckFinding> findings;  // the flagged ones are drawn in red
  std::vector<MergeCluster> clusters;  // drawn in red with the distances of their pairs
  int distance_unit_code = 1;          // 0 international feet, 1 metres, 2 US survey feet
};

/// Writes one SVG 1.1 document, north up and east right: known stations
/// (from the file or the seed) and computed ones drawn apart, stations without
/// north and east listed, measured observations as lines by kind (commented-out
/// ones left out), a scale bar in the job's distance unit, a north arrow and a
/// legend.
void WriteNetworkPlot(std::ostream& out, const PlotInput& input);

}  // namespace trovisk
