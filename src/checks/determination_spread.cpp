// The redundancy the approximate coordinates found, station by station.
#include "checks/determination_spread.h"

#include <algorithm>
#include <string>

#include "checks/pointing_geometry.h"

namespace trovisk {
namespace {

std::string Times(int count) {
  return count == 1 ? "once" : count == 2 ? "twice" : std::to_string(count) + " times";
}

}  // namespace

std::vector<CheckFinding> CheckDeterminationSpread(const StationList& stations,
                                                   const StationReport& report,
                                                   const CheckTolerances& tolerances,
                                                   int distance_unit_code, bool keep_passing) {
  std::vector<CheckFinding> findings;
  const std::size_t count = std::min(stations.size(), report.entries.size());
  for (std::size_t i = 1; i < count; ++i) {
    const StationReportEntry& entry = report.entries[i];
    int positions = entry.position_agreeing, elevations = entry.elevation_agreeing;
    for (const SetAside& aside : entry.set_aside) ++(aside.vertical ? elevations : positions);
    if (positions < 2 && elevations < 2) continue;
    double size = std::max(entry.position_spread / tolerances.distance,
                           entry.elevation_spread / tolerances.height);
    std::string text = "'";
    text.append(stations[i].name.view());
    text += "' determined " + Times(positions) + " across, spread " +
            LengthText(entry.position_spread, distance_unit_code) + ", and " + Times(elevations) +
            " in height, spread " + LengthText(entry.elevation_spread, distance_unit_code);
    int line = 0;
    for (const SetAside& aside : entry.set_aside) {
      const double tolerance = aside.vertical ? tolerances.height : tolerances.distance;
      size = std::max(size, aside.offset / tolerance);
      const ObservationRef& ref = aside.determination.observation;
      text += "; set aside: " + std::string(SourceText(aside.determination.source)) + " " +
              LengthText(aside.offset, distance_unit_code) + (aside.vertical ? " in height" : "") +
              " away";
      if (ref.line > 0) {
        text += " (line " + std::to_string(ref.line) + ", " + std::string(ref.code.data()) + ")";
        if (line == 0) line = ref.line;
      }
    }
    if (size <= 1.0 && !keep_passing) continue;
    CheckFinding finding;
    finding.kind = CheckKind::kSpread;
    finding.line = line;
    finding.from = static_cast<int>(i);
    finding.size = size;
    finding.flagged = size > 1.0;
    finding.text = std::move(text);
    findings.push_back(std::move(finding));
  }
  return findings;
}

}  // namespace trovisk
