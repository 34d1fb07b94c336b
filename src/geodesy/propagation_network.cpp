// Builds the propagation index in a few linear sweeps and sorts.
#include "geodesy/propagation_network.h"

#include <algorithm>
#include <cmath>

#include "geodesy/constants.h"
#include "geodesy/robust_combination.h"

namespace trovisk::propagation {
namespace {

std::uint64_t PairKey(std::int32_t a, std::int32_t b) {
  auto low = static_cast<std::uint32_t>(std::min(a, b));
  auto high = static_cast<std::uint32_t>(std::max(a, b));
  return (static_cast<std::uint64_t>(low) << 32) | high;
}

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

}  // namespace

namespace observation_values {

bool Has(double value) { return IsPresent(value) && std::isfinite(value); }

namespace {
// A zenith strictly between straight up and straight down.
bool UsableZenith(double zenith) { return Has(zenith) && zenith > 0.0 && zenith < kPi; }
double HeightOrZero(double value) { return Has(value) ? value : 0.0; }
}  // namespace

double HorizontalDistance(const ObservationRecord& obs) {
  if (Has(obs.horizontal_distance) && obs.horizontal_distance > 0.0) {
    return obs.horizontal_distance;
  }
  if (Has(obs.slope_distance) && obs.slope_distance > 0.0 && UsableZenith(obs.zenith)) {
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
  if (obs.kind == ObservationKind::kGpsVector || !UsableZenith(obs.zenith)) return false;
  double rise = 0.0;
  if (Has(obs.slope_distance) && obs.slope_distance > 0.0) {
    rise = obs.slope_distance * std::cos(obs.zenith);
  } else if (pair_distance > 0.0) {
    rise = pair_distance * std::cos(obs.zenith) / std::sin(obs.zenith);
  } else {
    return false;
  }
  // The instrument's axis stands HI above its mark and the target HR above its own.
  difference = HeightOrZero(obs.instrument_height) + rise - HeightOrZero(obs.target_height);
  return true;
}

}  // namespace observation_values

std::span<const std::int32_t> PropagationNetwork::Csr::Row(std::size_t row) const {
  if (row + 1 >= offsets.size()) return {};
  auto begin = static_cast<std::size_t>(offsets[row]);
  auto end = static_cast<std::size_t>(offsets[row + 1]);
  return {items.data() + begin, end - begin};
}

PropagationNetwork::Csr PropagationNetwork::BuildCsr(
    std::size_t rows, const std::vector<std::pair<std::int32_t, std::int32_t>>& pairs) {
  // Counting sort: rows keep their items in the order given, so that every
  // later sweep is deterministic.
  Csr csr;
  csr.offsets.assign(rows + 1, 0);
  for (const auto& [row, item] : pairs) ++csr.offsets[static_cast<std::size_t>(row) + 1];
  for (std::size_t r = 0; r < rows; ++r) csr.offsets[r + 1] += csr.offsets[r];
  csr.items.resize(pairs.size());
  std::vector<std::int32_t> next(csr.offsets.begin(), csr.offsets.end() - 1);
  for (const auto& [row, item] : pairs) {
    csr.items[static_cast<std::size_t>(next[static_cast<std::size_t>(row)]++)] = item;
  }
  return csr;
}

PropagationNetwork::PropagationNetwork(const SurveyData& data) : data_(data) {
  ResolveEnds();
  BuildGroups();
  BuildPairDistances();
  std::vector<std::pair<std::int32_t, std::int32_t>> pairs;
  pairs.reserve(ends_.size() * 2);
  for (std::size_t i = 1; i < ends_.size(); ++i) {
    if (!ends_[i].usable) continue;
    pairs.emplace_back(ends_[i].from, static_cast<std::int32_t>(i));
    pairs.emplace_back(ends_[i].to, static_cast<std::int32_t>(i));
  }
  by_station_ = BuildCsr(station_count(), pairs);
}

bool PropagationNetwork::IsOwnStation(std::size_t index) const {
  return index > 0 && index < station_count() && data_.stations[index].merge_link == kNotMerged;
}

void PropagationNetwork::ResolveEnds() {
  const StationList& stations = data_.stations;
  auto resolve = [&](std::int32_t index) -> std::int32_t {
    if (index <= 0 || static_cast<std::size_t>(index) >= stations.size()) return 0;
    return stations.Resolve(index);
  };
  ends_.assign(data_.observations.size(), ObservationEnds{});
  for (std::size_t i = 1; i < data_.observations.size(); ++i) {
    const ObservationRecord& obs = data_.observations[i];
    ObservationEnds& e = ends_[i];
    e.from = resolve(obs.from);
    e.to = resolve(obs.to);
    e.backsight = resolve(obs.backsight);
    if (e.backsight == e.from) e.backsight = 0;
    e.usable = CanFixAStation(obs.kind) && e.from > 0 && e.to > 0 && e.from != e.to;
  }
}

void PropagationNetwork::BuildGroups() {
  std::unordered_map<std::uint64_t, std::int32_t> group_of;
  std::vector<std::pair<std::int32_t, std::int32_t>> members;
  for (std::size_t i = 1; i < ends_.size(); ++i) {
    ObservationEnds& e = ends_[i];
    const ObservationRecord& obs = data_.observations[i];
    if (!e.usable || obs.kind != ObservationKind::kHorizontalAngle || e.backsight == 0 ||
        !observation_values::Has(obs.horizontal_angle)) {
      continue;
    }
    auto [it, inserted] =
        group_of.try_emplace(OrderedKey(e.from, e.backsight), static_cast<int>(groups_.size()));
    if (inserted) groups_.push_back({e.from, e.backsight});
    e.group = it->second;
    members.emplace_back(e.group, static_cast<std::int32_t>(i));
  }
  group_members_ = BuildCsr(groups_.size(), members);

  std::vector<std::pair<std::int32_t, std::int32_t>> by_backsight;
  std::vector<std::pair<std::int32_t, std::int32_t>> by_station;
  for (std::size_t g = 0; g < groups_.size(); ++g) {
    by_backsight.emplace_back(groups_[g].backsight, static_cast<std::int32_t>(g));
    by_station.emplace_back(groups_[g].station, static_cast<std::int32_t>(g));
  }
  groups_by_backsight_ = BuildCsr(station_count(), by_backsight);
  groups_by_station_ = BuildCsr(station_count(), by_station);

  // Azimuth observations along a group's backsight line orient it directly.
  std::vector<std::pair<std::int32_t, double>> azimuths;
  for (std::size_t i = 1; i < ends_.size(); ++i) {
    const ObservationEnds& e = ends_[i];
    const ObservationRecord& obs = data_.observations[i];
    if (!e.usable || obs.kind != ObservationKind::kAzimuth ||
        !observation_values::Has(obs.azimuth)) {
      continue;
    }
    if (auto it = group_of.find(OrderedKey(e.from, e.to)); it != group_of.end()) {
      azimuths.emplace_back(it->second, std::fmod(obs.azimuth, kTwoPi));
    }
    if (auto it = group_of.find(OrderedKey(e.to, e.from)); it != group_of.end()) {
      azimuths.emplace_back(it->second, std::fmod(obs.azimuth + kPi, kTwoPi));
    }
  }
  std::stable_sort(azimuths.begin(), azimuths.end(),
                   [](const auto& l, const auto& r) { return l.first < r.first; });
  group_azimuth_offsets_.assign(groups_.size() + 1, 0);
  group_azimuths_.clear();
  for (const auto& [g, azimuth] : azimuths) {
    ++group_azimuth_offsets_[static_cast<std::size_t>(g) + 1];
    group_azimuths_.push_back(azimuth);
  }
  for (std::size_t g = 0; g < groups_.size(); ++g) {
    group_azimuth_offsets_[g + 1] += group_azimuth_offsets_[g];
  }
}

void PropagationNetwork::BuildPairDistances() {
  std::vector<std::pair<std::uint64_t, double>> measured;
  for (std::size_t i = 1; i < ends_.size(); ++i) {
    if (!ends_[i].usable) continue;
    double distance = observation_values::HorizontalDistance(data_.observations[i]);
    if (distance > 0.0) measured.emplace_back(PairKey(ends_[i].from, ends_[i].to), distance);
  }
  std::stable_sort(measured.begin(), measured.end(),
                   [](const auto& l, const auto& r) { return l.first < r.first; });
  pair_distance_.reserve(measured.size());
  std::vector<double> values;
  for (std::size_t begin = 0; begin < measured.size();) {
    std::size_t end = begin;
    values.clear();
    while (end < measured.size() && measured[end].first == measured[begin].first) {
      values.push_back(measured[end++].second);
    }
    double combined = 0.0;
    CombineValues(values, combined);
    pair_distance_.emplace(measured[begin].first, combined);
    begin = end;
  }
}

std::span<const std::int32_t> PropagationNetwork::ObservationsAt(std::size_t station) const {
  return by_station_.Row(station);
}

std::span<const std::int32_t> PropagationNetwork::GroupsWithBacksight(std::size_t station) const {
  return groups_by_backsight_.Row(station);
}

std::span<const std::int32_t> PropagationNetwork::GroupsAt(std::size_t station) const {
  return groups_by_station_.Row(station);
}

std::span<const std::int32_t> PropagationNetwork::GroupMembers(std::size_t g) const {
  return group_members_.Row(g);
}

std::span<const double> PropagationNetwork::GroupAzimuths(std::size_t g) const {
  if (g + 1 >= group_azimuth_offsets_.size()) return {};
  auto begin = static_cast<std::size_t>(group_azimuth_offsets_[g]);
  auto end = static_cast<std::size_t>(group_azimuth_offsets_[g + 1]);
  return {group_azimuths_.data() + begin, end - begin};
}

double PropagationNetwork::PairDistance(std::int32_t a, std::int32_t b) const {
  auto it = pair_distance_.find(PairKey(a, b));
  return it == pair_distance_.end() ? -1.0 : it->second;
}

}  // namespace trovisk::propagation
