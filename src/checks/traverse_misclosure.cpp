// Traverse misclosures from the measured legs alone.
#include "checks/traverse_misclosure.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <unordered_map>

#include "checks/pointing_geometry.h"
#include "geodesy/plane_geometry.h"
#include "rw5/angle_reduction.h"

namespace trovisk {
namespace {

// Mean angle (from the backsight) and horizontal distance of a setup's
// pointings to one foresight.
struct Leg {
  double angle_sum = 0.0;  // radians, each wrapped near the first
  int angles = 0;
  double first_angle = 0.0;
  double distance_sum = 0.0;  // metres
  int distances = 0;
};

// How near a worked point must land to a known mark to be taken as on it:
// a closing point is found within this share of the traverse's length, and
// never nearer than the floor.
constexpr double kNearShare = 1.0 / 2000.0;
constexpr double kNearFloor = 0.3;  // metres

std::uint64_t PairKey(int a, int b) {
  return static_cast<std::uint64_t>(static_cast<std::uint32_t>(a)) << 32 |
         static_cast<std::uint32_t>(b);
}

}  // namespace

std::vector<CheckFinding> CheckTraverseMisclosures(const SurveyData& data,
                                                   const KnownCoordinates& known,
                                                   const CheckTolerances& tolerances) {
  std::vector<CheckFinding> findings;
  const std::vector<Setup>& setups = data.setups;
  const StationList& stations = data.stations;
  const ObservationList& observations = data.observations;
  if (setups.size() < 2) return findings;
  auto is_known = [&](int index) { return known.Has(index); };
  auto known_point = [&](int index) {
    const KnownPoint& k = known.At(index);
    return PlanePoint{k.north, k.east};
  };

  // A collector repeats the setup record before every set: consecutive
  // setups on one station with one backsight are one occupation, named by
  // its first setup.
  std::vector<int> occupation(setups.size());
  for (std::size_t s = 0; s < setups.size(); ++s) {
    const bool repeats = s > 0 && setups[s].occupied == setups[s - 1].occupied &&
                         setups[s].backsight == setups[s - 1].backsight;
    occupation[s] = repeats ? occupation[s - 1] : static_cast<int>(s);
  }
  // The legs each occupation measured, by foresight: only to stations that
  // are occupied later, as a traverse's are.
  std::vector<bool> occupied(stations.size(), false);
  for (const Setup& setup : setups) {
    if (setup.occupied > 0 && static_cast<std::size_t>(setup.occupied) < occupied.size()) {
      occupied[static_cast<std::size_t>(setup.occupied)] = true;
    }
  }
  // Adds pointing `i` to the legs of its occupation.
  auto add_to_leg = [&](std::map<int, Leg>& of_occupation, const Setup& setup, std::size_t i) {
    const ObservationRecord& o = observations[i];
    if (o.computed || !observations.Detail(o).rejected_because.empty()) return;
    if (o.to == setup.backsight || o.to <= 0) return;
    Leg& leg = of_occupation[o.to];
    if (o.kind == ObservationKind::kHorizontalAngle && o.backsight == setup.backsight &&
        IsPresent(o.horizontal_angle)) {
      if (leg.angles == 0) leg.first_angle = o.horizontal_angle;
      leg.angle_sum += leg.first_angle + WrapToHalfTurn(o.horizontal_angle - leg.first_angle);
      ++leg.angles;
    }
    if (const double distance = HorizontalDistanceOf(o); IsPresent(distance)) {
      leg.distance_sum += distance * known.GroundToGrid();
      ++leg.distances;
    }
  };
  SetupCursor setup_of(setups);
  std::vector<std::map<int, Leg>> legs(setups.size());
  for (std::size_t i = 1; i < observations.size(); ++i) {
    const ObservationRecord& o = observations[i];
    if (o.to <= 0 || static_cast<std::size_t>(o.to) >= occupied.size() ||
        !occupied[static_cast<std::size_t>(o.to)]) {
      continue;
    }
    const int at = setup_of.At(i, o);
    if (at < 0) continue;
    const int s = occupation[static_cast<std::size_t>(at)];
    add_to_leg(legs[static_cast<std::size_t>(s)], setups[static_cast<std::size_t>(s)], i);
  }
  // Every leg of one occupation, to any target: its setups' observations.
  auto all_legs_of = [&](int leader) {
    std::map<int, Leg> of_occupation;
    std::size_t end = observations.size();
    for (std::size_t t = static_cast<std::size_t>(leader) + 1; t < setups.size(); ++t) {
      if (occupation[t] != leader) {
        end = static_cast<std::size_t>(setups[t].first_observation);
        break;
      }
    }
    const Setup& setup = setups[static_cast<std::size_t>(leader)];
    for (std::size_t i = static_cast<std::size_t>(setup.first_observation); i < end; ++i) {
      if (observations[i].from == setup.occupied) add_to_leg(of_occupation, setup, i);
    }
    return of_occupation;
  };
  // The setups on each station with each backsight, in file order.
  std::unordered_map<std::uint64_t, std::vector<int>> setups_at;
  for (std::size_t s = 0; s < setups.size(); ++s) {
    if (occupation[s] != static_cast<int>(s)) continue;
    setups_at[PairKey(setups[s].occupied, setups[s].backsight)].push_back(static_cast<int>(s));
  }
  // The setup that carries a traverse on from setup s: the first one after
  // it on one of its foresights, backsighting s's station.
  std::vector<int> next(setups.size(), -1);
  std::vector<bool> continued(setups.size(), false);
  for (std::size_t s = 0; s < setups.size(); ++s) {
    if (occupation[s] != static_cast<int>(s)) continue;
    for (const auto& [target, leg] : legs[s]) {
      if (leg.angles == 0 || leg.distances == 0) continue;
      auto found = setups_at.find(PairKey(target, setups[s].occupied));
      if (found == setups_at.end()) continue;
      for (int t : found->second) {
        if (setups[static_cast<std::size_t>(t)].line <= setups[s].line) continue;
        if (next[s] < 0 || setups[static_cast<std::size_t>(t)].line <
                               setups[static_cast<std::size_t>(next[s])].line) {
          next[s] = t;
        }
        break;
      }
    }
    if (next[s] >= 0) continued[static_cast<std::size_t>(next[s])] = true;
  }

  const double angle_tolerance = tolerances.angle_seconds / kSecondsPerRadian;
  const int unit = data.distance_units;
  std::vector<bool> walked(setups.size(), false);
  for (std::size_t head = 0; head < setups.size(); ++head) {
    const Setup& start = setups[head];
    if (occupation[head] != static_cast<int>(head) || continued[head] || walked[head] ||
        next[head] < 0 || !is_known(start.occupied) || !is_known(start.backsight)) {
      continue;
    }
    // Carry the stations from the start along the legs.
    std::unordered_map<int, PlanePoint> worked;
    PlanePoint here = known_point(start.occupied);
    worked[start.occupied] = here;
    double back_azimuth = AzimuthBetween(here, known_point(start.backsight));
    double length = 0.0;
    int angles = 0;
    int s = static_cast<int>(head);
    int last_setup = s;
    while (s >= 0 && !walked[static_cast<std::size_t>(s)]) {
      walked[static_cast<std::size_t>(s)] = true;
      const int t = next[static_cast<std::size_t>(s)];
      if (t < 0) break;
      const int target = setups[static_cast<std::size_t>(t)].occupied;
      const Leg& leg = legs[static_cast<std::size_t>(s)].at(target);
      const double azimuth = ReduceToTurn(back_azimuth + leg.angle_sum / leg.angles);
      const double distance = leg.distance_sum / leg.distances;
      here = PolarPoint(here, azimuth, distance);
      length += distance;
      ++angles;
      if (worked.count(target) != 0 && target != start.occupied) break;  // a loop within
      worked[target] = here;
      back_azimuth = ReduceToTurn(azimuth + kPi);
      last_setup = t;
      s = t;
    }
    if (angles < 2) continue;
    const int end = setups[static_cast<std::size_t>(last_setup)].occupied;
    const PlanePoint end_point = worked[end];
    // The known mark the last station lands on: the start itself, or the
    // nearest known station outside the traverse.
    const double near = std::fmax(kNearFloor, length * kNearShare);
    auto nearest_known = [&](const PlanePoint& p, int except) {
      int best = 0;
      double best_distance = near;
      for (const int index : known.Indices()) {
        if (index == except) continue;
        if (worked.count(index) != 0 && index != start.occupied) continue;
        const double d = DistanceBetween(p, known_point(index));
        if (d < best_distance) best = index, best_distance = d;
      }
      return best;
    };
    const int closing = end == start.occupied ? end : nearest_known(end_point, 0);
    if (closing == 0) continue;
    const PlanePoint mark = known_point(closing);
    const double d_north = end_point.north - mark.north, d_east = end_point.east - mark.east;
    const double linear = std::hypot(d_north, d_east);
    const double linear_tolerance = tolerances.distance + tolerances.distance_ppm * 1e-6 * length;
    double size = linear / linear_tolerance;

    // The angular misclosure: a pointing from the last setup that lands on a
    // second known mark, against that mark's azimuth from the closing one.
    std::string angular;
    const Setup& last = setups[static_cast<std::size_t>(last_setup)];
    for (const auto& [target, leg] : all_legs_of(last_setup)) {
      if (leg.angles == 0 || leg.distances == 0 || target == last.backsight) continue;
      const double azimuth = ReduceToTurn(back_azimuth + leg.angle_sum / leg.angles);
      const PlanePoint lands = PolarPoint(end_point, azimuth, leg.distance_sum / leg.distances);
      const int second =
          is_known(target) && worked.count(target) == 0 ? target : nearest_known(lands, closing);
      if (second == 0 || second == closing) continue;
      const double misclosure = WrapToHalfTurn(azimuth - AzimuthBetween(mark, known_point(second)));
      const double tolerance = angle_tolerance * std::sqrt(static_cast<double>(angles + 1));
      size = std::fmax(size, std::fabs(misclosure) / tolerance);
      angular = ", angular misclosure " + AngleText(misclosure) + " on " +
                StationText(stations, target) +
                (target != second ? " (on " + StationText(stations, second) + ")" : "");
      break;
    }
    char ratio[64];
    std::snprintf(ratio, sizeof ratio, "1:%.0f", linear > 0.0 ? length / linear : 0.0);
    CheckFinding finding;
    finding.kind = CheckKind::kMisclosure;
    finding.line = last.line;
    finding.from = start.occupied;
    finding.to = end;
    finding.flagged = size > 1.0;
    finding.size = size;
    finding.text = "traverse from " + StationText(stations, start.occupied) + " (backsight " +
                   StationText(stations, start.backsight) + ", line " + std::to_string(start.line) +
                   ") over " + std::to_string(angles) + " legs, " + LengthText(length, unit) +
                   ", to " + StationText(stations, end) +
                   (closing != end ? " on " + StationText(stations, closing) : std::string()) +
                   ": linear misclosure " + LengthText(linear, unit) + " (north " +
                   LengthText(d_north, unit) + ", east " + LengthText(d_east, unit) + "), " +
                   ratio + angular;
    findings.push_back(std::move(finding));
  }
  return findings;
}

}  // namespace trovisk
