// Pointings between known stations against the inverse of their coordinates.
#include "checks/known_points.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "checks/pointing_geometry.h"
#include "geodesy/plane_geometry.h"
#include "rw5/angle_reduction.h"

namespace trovisk {

KnownCoordinates::KnownCoordinates(const StationList& stations) : slot_(stations.size(), -1) {
  for (std::size_t i = 1; i < stations.size(); ++i) {
    const StationRecord& s = stations[i];
    if (!s.has_nee) continue;
    slot_[i] = static_cast<std::int32_t>(points_.size());
    points_.push_back({s.north, s.east, s.elevation});
    indices_.push_back(static_cast<int>(i));
  }
}

std::vector<CheckFinding> CheckAgainstKnownCoordinates(const SurveyData& data,
                                                       const KnownCoordinates& known,
                                                       const CheckTolerances& tolerances,
                                                       bool keep_passing) {
  std::vector<CheckFinding> findings;
  const StationList& stations = data.stations;
  const ObservationList& observations = data.observations;
  const int unit = data.distance_units;
  const double angle_tolerance = tolerances.angle_seconds / kSecondsPerRadian;
  auto is_known = [&](int index) { return known.Has(index); };
  auto point = [&](int index) {
    const KnownPoint& k = known.At(index);
    return PlanePoint{k.north, k.east};
  };
  for (std::size_t i = 1; i < observations.size(); ++i) {
    const ObservationRecord& o = observations[i];
    if (o.computed || !observations.Detail(o).rejected_because.empty()) continue;
    if (o.kind == ObservationKind::kGpsVector || o.kind == ObservationKind::kHeightDifference) {
      continue;
    }
    const int from = stations.Resolve(o.from);
    const int to = stations.Resolve(o.to);
    if (from == to || !is_known(from) || !is_known(to)) continue;
    const PlanePoint at = point(from), target = point(to);
    const double inverse_distance = DistanceBetween(at, target);

    // The differences, measured minus known; missing where not measured.
    double angle = kNullValue, distance = kNullValue, height = kNullValue;
    double size = 0.0;
    const int backsight = stations.Resolve(o.backsight);
    if (o.kind == ObservationKind::kHorizontalAngle && IsPresent(o.horizontal_angle) &&
        is_known(backsight) && backsight != to) {
      const double inverse =
          ReduceToTurn(AzimuthBetween(at, target) - AzimuthBetween(at, point(backsight)));
      angle = WrapToHalfTurn(o.horizontal_angle - inverse);
      size = std::max(size, std::fabs(angle) / angle_tolerance);
    }
    if (const double measured = HorizontalDistanceOf(o); IsPresent(measured)) {
      distance = measured * known.GroundToGrid() - inverse_distance;
      const double tolerance =
          tolerances.distance + tolerances.distance_ppm * 1e-6 * inverse_distance;
      size = std::max(size, std::fabs(distance) / tolerance);
    }
    if (const double measured = MarkHeightDifferenceOf(o); IsPresent(measured)) {
      height = measured - (known.At(to).elevation - known.At(from).elevation);
      size = std::max(size, std::fabs(height) / tolerances.height);
    }
    if (IsMissing(angle) && IsMissing(distance) && IsMissing(height)) continue;
    if (size <= 1.0 && !keep_passing) continue;
    std::string measured;
    auto add = [&measured](const std::string& what) {
      if (!measured.empty()) measured += ", ";
      measured += what;
    };
    if (IsPresent(angle)) add("angle " + AngleText(angle));
    if (IsPresent(distance)) add("horizontal distance " + LengthText(distance, unit));
    if (IsPresent(height)) add("height difference " + LengthText(height, unit));
    CheckFinding finding;
    const int setup = SetupAt(data.setups, i, o);
    const bool on_backsight =
        setup >= 0 &&
        stations.Resolve(data.setups[static_cast<std::size_t>(setup)].backsight) == to;
    finding.kind = on_backsight ? CheckKind::kBacksight : CheckKind::kCheckShot;
    finding.line = o.line;
    finding.from = from;
    finding.to = to;
    finding.size = size;
    finding.flagged = size > 1.0;
    std::string text = on_backsight ? "backsight check from '" : "check shot from '";
    text.append(stations[static_cast<std::size_t>(from)].name.view());
    text.append("' to '").append(stations[static_cast<std::size_t>(to)].name.view());
    finding.text = text + "', measured minus known: " + measured;
    findings.push_back(std::move(finding));
  }
  return findings;
}

}  // namespace trovisk
