// Builds the propagation index in one sweep over the stations and a few over
// the observations.
#include "approx/propagation_network.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "geodesy/constants.h"
#include "geodesy/robust_combination.h"

namespace trovisk::propagation {
namespace {

using observation_values::Has;

// The same key whichever way round the pair is given.
std::uint64_t PairKey(std::int32_t a, std::int32_t b) {
  auto low = static_cast<std::uint32_t>(std::min(a, b));
  auto high = static_cast<std::uint32_t>(std::max(a, b));
  return (static_cast<std::uint64_t>(low) << 32) | high;
}

// Occupied station, then backsight.
std::uint64_t OrderedKey(std::int32_t a, std::int32_t b) {
  return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(a)) << 32) |
         static_cast<std::uint32_t>(b);
}

bool CanFixAStation(ObservationKind kind) {
  switch (kind) {
    case ObservationKind::kHorizontalAngle:
    case ObservationKind::kAzimuth:
    case ObservationKind::kGpsVector:
    case ObservationKind::kZenithDistance:
    case ObservationKind::kHorizontalDistance:
    case ObservationKind::kHeightDifference:
      return true;
    case ObservationKind::kNone:
      break;
  }
  return false;
}

// Whether the propagation may ask for the distance measured between the
// observation's stations: a zenith without a slope distance levels over it,
// and a direction without a distance of its own is placed at it.
bool MayAskForPairDistance(const ObservationRecord& obs) {
  const bool ranged = Has(obs.slope_distance) && obs.slope_distance > 0.0;
  if (!ranged && obs.kind != ObservationKind::kGpsVector &&
      obs.kind != ObservationKind::kHeightDifference && observation_values::HasUsableZenith(obs)) {
    return true;
  }
  return (obs.kind == ObservationKind::kHorizontalAngle || obs.kind == ObservationKind::kAzimuth) &&
         observation_values::HorizontalDistance(obs) <= 0.0;
}

}  // namespace

namespace observation_values {

bool Has(double value) { return IsPresent(value) && std::isfinite(value); }

bool HasUsableZenith(const ObservationRecord& obs) {
  return Has(obs.zenith) && obs.zenith > 0.0 && obs.zenith < kPi;
}

double HorizontalDistance(const ObservationRecord& obs) {
  if (Has(obs.horizontal_distance) && obs.horizontal_distance > 0.0) {
    return obs.horizontal_distance;
  }
  if (Has(obs.slope_distance) && obs.slope_distance > 0.0 && HasUsableZenith(obs)) {
    return obs.slope_distance * std::sin(obs.zenith);
  }
  return -1.0;
}

bool HeightDifference(const ObservationRecord& obs, double pair_distance, double& difference) {
  if (obs.kind == ObservationKind::kHeightDifference) {
    if (!Has(obs.height_difference)) return false;
    difference = obs.height_difference;
    return true;
  }
  if (obs.kind == ObservationKind::kGpsVector || !HasUsableZenith(obs)) return false;
  double rise = 0.0;
  if (Has(obs.slope_distance) && obs.slope_distance > 0.0) {
    rise = obs.slope_distance * std::cos(obs.zenith);
  } else if (pair_distance > 0.0) {
    rise = pair_distance * std::cos(obs.zenith) / std::sin(obs.zenith);
  } else {
    return false;
  }
  // The instrument's axis stands HI above its mark and the target HR above its own.
  const double instrument = Has(obs.instrument_height) ? obs.instrument_height : 0.0;
  const double target = Has(obs.target_height) ? obs.target_height : 0.0;
  difference = instrument + rise - target;
  return true;
}

}  // namespace observation_values

PropagationNetwork::PropagationNetwork(const SurveyData& data) : data_(data) {
  GroupKeys group_of;
  std::vector<std::int32_t> azimuth_observations;
  std::vector<std::uint64_t> wanted_pairs;
  ResolveEnds(group_of, azimuth_observations, wanted_pairs);
  AddGroupAzimuths(group_of, azimuth_observations);
  for (std::size_t g = 0; g < groups_.size(); ++g) {
    const DirectionGroup& group = groups_[g];
    groups_at_[group.station].push_back(static_cast<std::int32_t>(g));
    groups_with_backsight_[group.backsight].push_back(static_cast<std::int32_t>(g));
    wanted_pairs.push_back(PairKey(group.station, group.backsight));
  }
  CombinePairDistances(wanted_pairs);
  observations_at_ = RowsOf(data_.stations.size(), [this](const auto& add) {
    for (std::size_t i = 1; i < ends_.size(); ++i) {
      if (!ends_[i].usable()) continue;
      add(ends_[i].from, static_cast<std::int32_t>(i));
      add(ends_[i].to, static_cast<std::int32_t>(i));
    }
  });
  group_members_ = RowsOf(groups_.size(), [this](const auto& add) {
    for (std::size_t i = 1; i < ends_.size(); ++i) {
      if (ends_[i].group >= 0) add(ends_[i].group, static_cast<std::int32_t>(i));
    }
  });
}

template <typename ForEach>
PropagationNetwork::Rows PropagationNetwork::RowsOf(std::size_t row_count,
                                                    const ForEach& for_each) {
  Rows rows;
  rows.first.assign(row_count + 1, 0);
  for_each(
      [&](std::int32_t row, std::int32_t) { ++rows.first[static_cast<std::size_t>(row) + 1]; });
  std::partial_sum(rows.first.begin(), rows.first.end(), rows.first.begin());
  rows.items.resize(static_cast<std::size_t>(rows.first.back()));
  // Each item goes in at its row's start, which thereby moves on to the
  // row's end: the next row's start. The starts are then put back.
  for_each([&](std::int32_t row, std::int32_t item) {
    rows.items[static_cast<std::size_t>(rows.first[static_cast<std::size_t>(row)]++)] = item;
  });
  std::copy_backward(rows.first.begin(), rows.first.end() - 1, rows.first.end());
  rows.first[0] = 0;
  return rows;
}

std::span<const std::int32_t> PropagationNetwork::Rows::Of(std::size_t row) const {
  if (row + 1 >= first.size()) return {};
  const auto begin = static_cast<std::size_t>(first[row]);
  const auto end = static_cast<std::size_t>(first[row + 1]);
  return {items.data() + begin, end - begin};
}

bool PropagationNetwork::IsOwnStation(std::size_t index) const {
  return index > 0 && index < data_.stations.size() &&
         data_.stations[index].merge_link == kNotMerged;
}

std::int32_t PropagationNetwork::ResolveStation(std::int32_t index) const {
  if (index <= 0 || static_cast<std::size_t>(index) >= data_.stations.size()) return 0;
  return data_.stations.Resolve(index);
}

std::int32_t PropagationNetwork::Backsight(std::size_t index) const {
  const std::int32_t backsight = ResolveStation(data_.observations[index].backsight);
  return backsight == ends_[index].from ? 0 : backsight;
}

void PropagationNetwork::ResolveEnds(GroupKeys& group_of,
                                     std::vector<std::int32_t>& azimuth_observations,
                                     std::vector<std::uint64_t>& wanted_pairs) {
  ends_.assign(data_.observations.size(), ObservationEnds{});
  for (std::size_t i = 1; i < data_.observations.size(); ++i) {
    const ObservationRecord& obs = data_.observations[i];
    const std::int32_t from = ResolveStation(obs.from);
    const std::int32_t to = ResolveStation(obs.to);
    if (!CanFixAStation(obs.kind) || from <= 0 || to <= 0 || from == to) continue;
    ObservationEnds& e = ends_[i];
    e.from = from;
    e.to = to;
    if (obs.kind == ObservationKind::kHorizontalAngle && Has(obs.horizontal_angle)) {
      // The angles read at a station from one backsight form its group.
      if (const std::int32_t backsight = Backsight(i); backsight != 0) {
        const auto [it, inserted] = group_of.try_emplace(OrderedKey(from, backsight),
                                                         static_cast<std::int32_t>(groups_.size()));
        if (inserted) groups_.push_back({from, backsight, {}});
        e.group = it->second;
      }
    } else if (obs.kind == ObservationKind::kAzimuth && Has(obs.azimuth)) {
      azimuth_observations.push_back(static_cast<std::int32_t>(i));
    }
    if (MayAskForPairDistance(obs)) wanted_pairs.push_back(PairKey(from, to));
  }
}

void PropagationNetwork::AddGroupAzimuths(const GroupKeys& group_of,
                                          const std::vector<std::int32_t>& azimuth_observations) {
  // An azimuth along a group's backsight line orients it directly, read
  // either way round.
  for (const std::int32_t i : azimuth_observations) {
    const ObservationEnds& e = ends_[static_cast<std::size_t>(i)];
    const double azimuth = data_.observations[static_cast<std::size_t>(i)].azimuth;
    if (auto it = group_of.find(OrderedKey(e.from, e.to)); it != group_of.end()) {
      groups_[static_cast<std::size_t>(it->second)].azimuths.push_back(std::fmod(azimuth, kTwoPi));
    }
    if (auto it = group_of.find(OrderedKey(e.to, e.from)); it != group_of.end()) {
      groups_[static_cast<std::size_t>(it->second)].azimuths.push_back(
          std::fmod(azimuth + kPi, kTwoPi));
    }
  }
}

void PropagationNetwork::CombinePairDistances(const std::vector<std::uint64_t>& wanted_pairs) {
  // Every distance measured along the wanted pairs, in observation order.
  std::unordered_map<std::uint64_t, std::vector<double>> measured;
  for (const std::uint64_t key : wanted_pairs) measured.try_emplace(key);
  for (std::size_t i = 1; i < ends_.size(); ++i) {
    const ObservationEnds& e = ends_[i];
    if (!e.usable()) continue;
    const auto it = measured.find(PairKey(e.from, e.to));
    if (it == measured.end()) continue;
    const double distance = observation_values::HorizontalDistance(data_.observations[i]);
    if (distance > 0.0) it->second.push_back(distance);
  }
  for (const auto& [key, distances] : measured) {
    if (distances.empty()) continue;
    double combined = -1.0;
    CombineValues(distances, combined);
    pair_distances_.emplace(key, combined);
  }
}

std::span<const std::int32_t> PropagationNetwork::ObservationsAt(std::size_t station) const {
  return observations_at_.Of(station);
}

std::span<const std::int32_t> PropagationNetwork::GroupsWithBacksight(std::size_t station) const {
  const auto it = groups_with_backsight_.find(static_cast<std::int32_t>(station));
  if (it == groups_with_backsight_.end()) return {};
  return it->second;
}

std::span<const std::int32_t> PropagationNetwork::GroupsAt(std::size_t station) const {
  const auto it = groups_at_.find(static_cast<std::int32_t>(station));
  if (it == groups_at_.end()) return {};
  return it->second;
}

double PropagationNetwork::PairDistance(std::int32_t a, std::int32_t b) const {
  const auto it = pair_distances_.find(PairKey(a, b));
  return it == pair_distances_.end() ? -1.0 : it->second;
}

}  // namespace trovisk::propagation
