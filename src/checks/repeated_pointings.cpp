// Repeated pointings that disagree, and the target height left over.
#include "checks/repeated_pointings.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <unordered_map>

#include "checks/pointing_geometry.h"
#include "geodesy/plane_geometry.h"
#include "rw5/angle_reduction.h"

namespace trovisk {
namespace {

// Target heights closer than this are the same height.
constexpr double kSameHeight = 0.0005;  // metres

bool IsPointing(const ObservationList& observations, const ObservationRecord& o) {
  if (o.computed || !observations.Detail(o).rejected_because.empty()) return false;
  return o.kind == ObservationKind::kHorizontalAngle || o.kind == ObservationKind::kAzimuth ||
         o.kind == ObservationKind::kZenithDistance ||
         o.kind == ObservationKind::kHorizontalDistance;
}

}  // namespace

std::vector<CheckFinding> CheckRepeatedPointings(const SurveyData& data,
                                                 const CheckTolerances& tolerances) {
  std::vector<CheckFinding> findings;
  const StationList& stations = data.stations;
  const ObservationList& observations = data.observations;
  const int unit = data.distance_units;
  const double angle_tolerance = tolerances.angle_seconds / kSecondsPerRadian;
  auto target = [](const ObservationRecord& r) {
    return IsPresent(r.target_height) ? r.target_height : 0.0;
  };
  // Most marks are pointed at once: only those pointed at more often are
  // looked at further.
  std::vector<std::uint8_t> pointed(stations.size(), 0);
  for (std::size_t i = 1; i < observations.size(); ++i) {
    const ObservationRecord& o = observations[i];
    if (o.to <= 0 || static_cast<std::size_t>(o.to) >= pointed.size()) continue;
    std::uint8_t& count = pointed[static_cast<std::size_t>(stations.Resolve(o.to))];
    if (count < 2) ++count;
  }
  // The last pointing from each station to each mark.
  std::unordered_map<std::uint64_t, std::size_t> last;
  for (std::size_t i = 1; i < observations.size(); ++i) {
    const ObservationRecord& o = observations[i];
    if (o.to <= 0 || static_cast<std::size_t>(o.to) >= pointed.size()) continue;
    const int to = stations.Resolve(o.to);
    if (pointed[static_cast<std::size_t>(to)] < 2 || !IsPointing(observations, o)) continue;
    const int from = stations.Resolve(o.from);
    if (from == 0 || from == to) continue;
    const std::uint64_t key = static_cast<std::uint64_t>(static_cast<std::uint32_t>(from)) << 32 |
                              static_cast<std::uint32_t>(to);
    auto [found, first] = last.try_emplace(key, i);
    if (first) continue;
    const std::size_t previous = found->second;
    const ObservationRecord& before = observations[previous];
    found->second = i;

    std::string differences;
    double size = 0.0;
    auto add = [&](const std::string& what, double ratio) {
      if (ratio <= 1.0) return;
      if (!differences.empty()) differences += ", ";
      differences += what;
      size = std::max(size, ratio);
    };
    const double distance = HorizontalDistanceOf(o), distance_before = HorizontalDistanceOf(before);
    if (IsPresent(distance) && IsPresent(distance_before)) {
      const double tolerance = tolerances.distance + tolerances.distance_ppm * 1e-6 * distance;
      add("horizontal distance by " + LengthText(distance - distance_before, unit),
          std::fabs(distance - distance_before) / tolerance);
    }
    const double height = MarkHeightDifferenceOf(o), height_before = MarkHeightDifferenceOf(before);
    bool height_left_over = false;
    if (IsPresent(height) && IsPresent(height_before)) {
      const double difference = height - height_before;
      add("height by " + LengthText(difference, unit), std::fabs(difference) / tolerances.height);
      // The same vertical reading with another target height: the height
      // difference changed by just the change of target height.
      const double vertical = o.slope_distance * std::cos(o.zenith);
      const double vertical_before = before.slope_distance * std::cos(before.zenith);
      const double target_change = target(o) - target(before);
      height_left_over = std::fabs(difference) > tolerances.height &&
                         std::fabs(vertical - vertical_before) <= tolerances.height &&
                         std::fabs(target_change) > kSameHeight;
    }
    const bool same_circle = o.kind == ObservationKind::kHorizontalAngle &&
                             before.kind == ObservationKind::kHorizontalAngle &&
                             o.backsight == before.backsight &&
                             SetupAt(data.setups, i, o) == SetupAt(data.setups, previous, before);
    if (same_circle && IsPresent(o.horizontal_angle) && IsPresent(before.horizontal_angle)) {
      const double difference = WrapToHalfTurn(o.horizontal_angle - before.horizontal_angle);
      add("angle by " + AngleText(difference), std::fabs(difference) / angle_tolerance);
    }
    if (differences.empty()) continue;
    CheckFinding finding;
    finding.kind = CheckKind::kRepeatedPointing;
    finding.line = o.line;
    finding.from = from;
    finding.to = to;
    finding.flagged = true;
    finding.size = size;
    std::string text = "the pointing from '";
    text.append(stations[static_cast<std::size_t>(from)].name.view());
    text.append("' to '").append(stations[static_cast<std::size_t>(to)].name.view());
    text += "' differs from the one of line " + std::to_string(before.line) + " in " + differences;
    if (height_left_over) {
      text += "; the zenith and distance agree but the target height went from " +
              LengthText(target(before), unit) + " to " + LengthText(target(o), unit) +
              ": a target height was probably left over";
    }
    finding.text = std::move(text);
    findings.push_back(std::move(finding));
  }
  return findings;
}

}  // namespace trovisk
