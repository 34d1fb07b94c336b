// Stale backsight orientations, found by a shot onto the backsight mark.
#include "checks/orientation.h"

#include <cmath>
#include <cstdint>
#include <string>
#include <unordered_map>

#include "checks/pointing_geometry.h"
#include "geodesy/constants.h"
#include "geodesy/plane_geometry.h"
#include "rw5/angle_reduction.h"

namespace trovisk {
namespace {

// Two pointings with slope distances this close and zeniths within the
// angle tolerance aim at one mark.
constexpr double kSameMarkDistance = 0.005;  // metres

std::uint64_t PairKey(int from, int to) {
  return static_cast<std::uint64_t>(static_cast<std::uint32_t>(from)) << 32 |
         static_cast<std::uint32_t>(to);
}

// A pointing steeper than this tells one mark from another by nothing.
constexpr double kSteepestZenith = 2.0 * kPi / 180.0;

bool Usable(const ObservationList& observations, const ObservationRecord& o) {
  return !o.computed && observations.Detail(o).rejected_because.empty() && IsPresent(o.zenith) &&
         IsPresent(o.slope_distance) && o.zenith > kSteepestZenith &&
         o.zenith < kPi - kSteepestZenith;
}

}  // namespace

std::vector<CheckFinding> SettleOrientations(SurveyData& data, const CheckTolerances& tolerances) {
  std::vector<CheckFinding> findings;
  if (data.setups.empty()) return findings;
  const double angle_tolerance = tolerances.angle_seconds / kSecondsPerRadian;
  ObservationList& observations = data.observations;

  // Every measured pointing on a backsight mark, by station and mark.
  std::unordered_map<std::uint64_t, bool> backsight_pairs;
  std::vector<bool> is_backsight(data.stations.size(), false);
  for (const Setup& setup : data.setups) {
    if (setup.backsight <= 0 || static_cast<std::size_t>(setup.backsight) >= is_backsight.size()) {
      continue;
    }
    backsight_pairs[PairKey(setup.occupied, setup.backsight)] = true;
    is_backsight[static_cast<std::size_t>(setup.backsight)] = true;
  }
  std::unordered_map<std::uint64_t, std::vector<std::size_t>> on_backsight;
  for (std::size_t i = 1; i < observations.size(); ++i) {
    const ObservationRecord& o = observations[i];
    if (o.to <= 0 || static_cast<std::size_t>(o.to) >= is_backsight.size() ||
        !is_backsight[static_cast<std::size_t>(o.to)] || !Usable(observations, o)) {
      continue;
    }
    const std::uint64_t key = PairKey(o.from, o.to);
    if (backsight_pairs.count(key) != 0) on_backsight[key].push_back(i);
  }

  // The first shot of each setup that repeats such a pointing but reads away from it.
  SetupCursor setup_of(data.setups);
  std::vector<bool> faulted(data.setups.size(), false);
  std::vector<double> turn_back(data.setups.size(), 0.0);  // radians, per settled setup
  const std::vector<std::size_t> no_pointings;
  std::vector<const std::vector<std::size_t>*> pointings_of(data.setups.size(), nullptr);
  for (std::size_t i = 1; i < observations.size(); ++i) {
    const ObservationRecord& shot = observations[i];
    if (shot.kind != ObservationKind::kHorizontalAngle || !Usable(observations, shot)) continue;
    const int setup_index = setup_of.At(i, shot);
    if (setup_index < 0 || faulted[static_cast<std::size_t>(setup_index)]) continue;
    const Setup& setup = data.setups[static_cast<std::size_t>(setup_index)];
    if (setup.backsight == 0 || shot.to == setup.backsight || shot.backsight != setup.backsight) {
      continue;
    }
    // The pointings on this setup's backsight, looked up once per setup.
    const std::vector<std::size_t>*& pointings =
        pointings_of[static_cast<std::size_t>(setup_index)];
    if (pointings == nullptr) {
      auto found = on_backsight.find(PairKey(setup.occupied, setup.backsight));
      pointings = found == on_backsight.end() ? &no_pointings : &found->second;
    }
    const ObservationRecord* repeated = nullptr;
    for (std::size_t j : *pointings) {
      const ObservationRecord& p = observations[j];
      if (std::fabs(p.zenith - shot.zenith) <= angle_tolerance &&
          std::fabs(p.slope_distance - shot.slope_distance) <= kSameMarkDistance) {
        repeated = &p;
        break;
      }
    }
    if (repeated == nullptr) continue;
    const double rotation = WrapToHalfTurn(shot.horizontal_angle);
    if (std::fabs(rotation) <= angle_tolerance) continue;
    faulted[static_cast<std::size_t>(setup_index)] = true;

    // The circle was set to the backsight azimuth when that azimuth is the
    // shot's reading: "BC" should have been the azimuth.
    const bool settled =
        IsPresent(setup.backsight_azimuth) && !setup.circle_from_reading &&
        std::fabs(WrapToHalfTurn(setup.backsight_azimuth - setup.backsight_circle - rotation)) <=
            angle_tolerance;
    const StationList& stations = data.stations;
    auto name = [&](int index) { return StationText(stations, index); };
    CheckFinding finding;
    finding.kind = CheckKind::kOrientation;
    finding.line = setup.line;
    finding.from = setup.occupied;
    finding.to = setup.backsight;
    finding.flagged = true;
    finding.size = std::fabs(rotation) / angle_tolerance;
    finding.text = "the setup on " + name(setup.occupied) + " is rotated by " +
                   AngleText(rotation) + " from its backsight " + name(setup.backsight) +
                   ": the shot to " + name(shot.to) + " on line " + std::to_string(shot.line) +
                   " repeats the zenith and slope distance of the pointing on " +
                   name(setup.backsight) + " of line " + std::to_string(repeated->line) +
                   " but reads " + AngleText(rotation) + " from the backsight; ";
    if (settled) {
      // The circle read the backsight azimuth on the backsight: that is
      // the reading the setup's angles are reduced from.
      const double correction = WrapToHalfTurn(setup.backsight_azimuth - setup.backsight_circle);
      finding.text += "the backsight azimuth " + AngleText(setup.backsight_azimuth) +
                      " is that shot's circle reading, so the circle reading " +
                      AngleText(setup.backsight_circle) +
                      " was stale: the setup's angles are turned back by " + AngleText(correction);
      turn_back[static_cast<std::size_t>(setup_index)] = correction;
    } else {
      finding.text += "its angles are written as read";
    }
    findings.push_back(std::move(finding));
  }
  if (findings.empty()) return findings;
  SetupCursor setup_of_turned(data.setups);
  for (std::size_t k = 1; k < observations.size(); ++k) {
    ObservationRecord& o = observations[k];
    if (o.kind != ObservationKind::kHorizontalAngle || IsMissing(o.horizontal_angle)) continue;
    const int setup_index = setup_of_turned.At(k, o);
    if (setup_index < 0 || turn_back[static_cast<std::size_t>(setup_index)] == 0.0) continue;
    o.horizontal_angle =
        ReduceToTurn(o.horizontal_angle - turn_back[static_cast<std::size_t>(setup_index)]);
  }
  return findings;
}

}  // namespace trovisk
