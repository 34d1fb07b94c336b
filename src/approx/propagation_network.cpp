// Builds the propagation index in a few linear sweeps and sorts.
#include "approx/propagation_network.h"

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
double HeightOrZero(double value) { return Has(value) ? value : 0.0; }
}  // namespace

Zenith::Zenith(const ObservationRecord& obs)
    : zenith_(obs.zenith), usable_(Has(obs.zenith) && obs.zenith > 0.0 && obs.zenith < kPi) {}

void Zenith::Work() {
  if (worked_) return;
  sin_ = std::sin(zenith_);
  cos_ = std::cos(zenith_);
  worked_ = true;
}

double HorizontalDistance(const ObservationRecord& obs) {
  Zenith zenith(obs);
  return HorizontalDistance(obs, zenith);
}

double HorizontalDistance(const ObservationRecord& obs, Zenith& zenith) {
  if (Has(obs.horizontal_distance) && obs.horizontal_distance > 0.0) {
    return obs.horizontal_distance;
  }
  if (Has(obs.slope_distance) && obs.slope_distance > 0.0 && zenith.usable()) {
    return obs.slope_distance * zenith.Sin();
  }
  return -1.0;
}

bool HeightDifference(const ObservationRecord& obs, Zenith& zenith, double pair_distance,
                      double& difference) {
  if (obs.kind == ObservationKind::kHeightDifference) {
    if (!Has(obs.height_difference)) return false;
    difference = obs.height_difference;
    return true;
  }
  if (obs.kind == ObservationKind::kGpsVector || !zenith.usable()) return false;
  double rise = 0.0;
  if (Has(obs.slope_distance) && obs.slope_distance > 0.0) {
    rise = obs.slope_distance * zenith.Cos();
  } else if (pair_distance > 0.0) {
    rise = pair_distance * zenith.Cos() / zenith.Sin();
  } else {
    return false;
  }
  // The instrument's axis stands HI above its mark and the target HR above its own.
  difference = HeightOrZero(obs.instrument_height) + rise - HeightOrZero(obs.target_height);
  return true;
}

}  // namespace observation_values

namespace {

// The product of two values above this, or of one and the sine of another,
// cannot underflow to zero.
constexpr double kFarFromUnderflow = 1.0e-100;

// Whether the propagation may ask for the distance measured between the
// observation's stations: a direction without a distance of its own, or a
// zenith without a slope distance that levels over the pair's distance.
bool MayLookUpPairDistance(const ObservationRecord& obs) {
  using observation_values::Has;
  bool ranged = Has(obs.slope_distance) && obs.slope_distance > 0.0;
  if (!ranged && obs.kind != ObservationKind::kGpsVector &&
      obs.kind != ObservationKind::kHeightDifference && Has(obs.zenith) && obs.zenith > 0.0 &&
      obs.zenith < kPi) {
    return true;
  }
  if (obs.kind != ObservationKind::kHorizontalAngle && obs.kind != ObservationKind::kAzimuth) {
    return false;
  }
  // A slope distance and a zenith both well away from zero (and the zenith
  // from pi) always give a positive horizontal distance, so the sine need not
  // be worked out for the usual pointing; only values near underflow need it.
  if (ranged && Has(obs.zenith) &&
      std::fmin(obs.slope_distance, std::fmin(obs.zenith, kPi - obs.zenith)) > kFarFromUnderflow) {
    return false;
  }
  return observation_values::HorizontalDistance(obs) <= 0.0;
}

}  // namespace

std::span<const std::int32_t> PropagationNetwork::Csr::Row(std::size_t row) const {
  if (row + 1 >= offsets.size()) return {};
  auto begin = static_cast<std::size_t>(offsets[row]);
  auto end = static_cast<std::size_t>(offsets[row + 1]);
  return {items.data() + begin, end - begin};
}

template <typename ForEach>
PropagationNetwork::Csr PropagationNetwork::BuildCsr(std::size_t rows, const ForEach& for_each) {
  // Counting sort in two sweeps over the items and no list of them: counts
  // land two places up, the running sum turns them into row starts one place
  // up, and filling moves each start to the row's end, which is the next
  // row's start.
  Csr csr;
  csr.offsets.assign(rows + 2, 0);
  std::size_t total = 0;
  for_each([&](std::int32_t row, std::int32_t) {
    ++csr.offsets[static_cast<std::size_t>(row) + 2];
    ++total;
  });
  for (std::size_t r = 2; r < csr.offsets.size(); ++r) csr.offsets[r] += csr.offsets[r - 1];
  csr.items.resize(total);
  for_each([&](std::int32_t row, std::int32_t item) {
    csr.items[static_cast<std::size_t>(csr.offsets[static_cast<std::size_t>(row) + 1]++)] = item;
  });
  csr.offsets.pop_back();
  return csr;
}

PropagationNetwork::PropagationNetwork(const SurveyData& data) : data_(data) {
  // One sweep over the stations and one over the observations read the
  // model; everything after works on the index alone.
  merged_.assign(station_count(), false);
  for (std::size_t s = 0; s < station_count(); ++s) {
    merged_[s] = data_.stations[s].merge_link != kNotMerged;
  }
  GroupKeys group_of;
  std::vector<std::int32_t> azimuth_observations;
  ResolveEnds(group_of, azimuth_observations);
  BuildGroups(group_of, azimuth_observations);
  BuildPairDistances();
  by_station_ = BuildCsr(station_count(), [this](const auto& emit) {
    for (std::size_t i = 1; i < ends_.size(); ++i) {
      const ObservationEnds& e = ends_[i];
      if (!e.usable()) continue;
      emit(e.from, static_cast<std::int32_t>(i));
      emit(e.to, static_cast<std::int32_t>(i));
    }
  });
}

bool PropagationNetwork::IsOwnStation(std::size_t index) const {
  return index > 0 && index < merged_.size() && !merged_[index];
}

std::int32_t PropagationNetwork::ResolveStation(std::int32_t index) const {
  if (index <= 0 || static_cast<std::size_t>(index) >= merged_.size()) return 0;
  return merged_[static_cast<std::size_t>(index)] ? data_.stations.Resolve(index) : index;
}

std::int32_t PropagationNetwork::Backsight(std::size_t index) const {
  const ObservationEnds& e = ends_[index];
  std::int32_t backsight = ResolveStation(data_.observations[index].backsight);
  return backsight == e.from ? 0 : backsight;
}

void PropagationNetwork::ResolveEnds(GroupKeys& group_of,
                                     std::vector<std::int32_t>& azimuth_observations) {
  ends_.assign(data_.observations.size(), ObservationEnds{});
  std::uint64_t last_key = 0;
  std::int32_t last_group = -1;
  for (std::size_t i = 1; i < data_.observations.size(); ++i) {
    const ObservationRecord& obs = data_.observations[i];
    std::int32_t from = ResolveStation(obs.from);
    std::int32_t to = ResolveStation(obs.to);
    if (!CanFixAStation(obs.kind) || from <= 0 || to <= 0 || from == to) continue;
    ObservationEnds& e = ends_[i];
    e.from = from;
    e.to = to;
    if (obs.kind == ObservationKind::kHorizontalAngle &&
        observation_values::Has(obs.horizontal_angle)) {
      // The angles read at a station from one backsight form its group. A
      // setup's angles come one after another, so the last group found is
      // tried before the map.
      if (std::int32_t backsight = Backsight(i); backsight != 0) {
        std::uint64_t key = OrderedKey(from, backsight);
        if (key != last_key || last_group < 0) {
          auto [it, inserted] = group_of.try_emplace(key, static_cast<int>(groups_.size()));
          if (inserted) groups_.push_back({from, backsight});
          last_key = key;
          last_group = it->second;
        }
        e.group = last_group;
      }
    } else if (obs.kind == ObservationKind::kAzimuth && observation_values::Has(obs.azimuth)) {
      azimuth_observations.push_back(static_cast<std::int32_t>(i));
    }
    if (MayLookUpPairDistance(obs)) pair_keys_.push_back(PairKey(from, to));
  }
}

void PropagationNetwork::BuildGroups(const GroupKeys& group_of,
                                     const std::vector<std::int32_t>& azimuth_observations) {
  group_members_ = BuildCsr(groups_.size(), [this](const auto& emit) {
    for (std::size_t i = 1; i < ends_.size(); ++i) {
      if (ends_[i].group >= 0) emit(ends_[i].group, static_cast<std::int32_t>(i));
    }
  });
  groups_by_backsight_ = SortGroupsBy(&DirectionGroup::backsight);
  groups_by_station_ = SortGroupsBy(&DirectionGroup::station);
  is_backsight_.assign(station_count(), false);
  occupies_group_.assign(station_count(), false);
  for (const DirectionGroup& g : groups_) {
    is_backsight_[static_cast<std::size_t>(g.backsight)] = true;
    occupies_group_[static_cast<std::size_t>(g.station)] = true;
  }
  // Azimuth observations along a group's backsight line orient it directly.
  std::vector<std::pair<std::int32_t, double>> azimuths;
  for (std::int32_t i : azimuth_observations) {
    const ObservationEnds& e = ends_[static_cast<std::size_t>(i)];
    const ObservationRecord& obs = data_.observations[static_cast<std::size_t>(i)];
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

std::vector<std::int32_t> PropagationNetwork::SortGroupsBy(
    std::int32_t DirectionGroup::*station) const {
  std::vector<std::int32_t> sorted(groups_.size());
  for (std::size_t g = 0; g < groups_.size(); ++g) sorted[g] = static_cast<std::int32_t>(g);
  // Stable, so that a station's groups stay in the order they were met.
  std::stable_sort(sorted.begin(), sorted.end(), [&](std::int32_t l, std::int32_t r) {
    return groups_[static_cast<std::size_t>(l)].*station <
           groups_[static_cast<std::size_t>(r)].*station;
  });
  return sorted;
}

std::span<const std::int32_t> PropagationNetwork::GroupsOf(
    const std::vector<DirectionGroup>& groups, const std::vector<std::int32_t>& sorted,
    std::int32_t DirectionGroup::*member, std::int32_t station) {
  auto of = [&](std::int32_t g) { return groups[static_cast<std::size_t>(g)].*member; };
  auto begin = std::partition_point(sorted.begin(), sorted.end(),
                                    [&](std::int32_t g) { return of(g) < station; });
  auto end =
      std::partition_point(begin, sorted.end(), [&](std::int32_t g) { return of(g) == station; });
  return {sorted.data() + (begin - sorted.begin()), static_cast<std::size_t>(end - begin)};
}

void PropagationNetwork::BuildPairDistances() {
  // The pairs that may be looked up (those of the observations noted while
  // resolving, and every group's backsight line): usually few, as most
  // observations carry their own distance.
  std::vector<std::uint64_t>& keys = pair_keys_;
  for (const DirectionGroup& g : groups_) keys.push_back(PairKey(g.station, g.backsight));
  std::sort(keys.begin(), keys.end());
  keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
  keys.shrink_to_fit();
  pair_distances_.assign(keys.size(), -1.0);
  if (keys.empty()) return;

  // Every distance measured along those pairs, in observation order. A
  // station mark lets most observations skip the search.
  std::vector<bool> on_pair(station_count(), false);
  for (std::uint64_t key : keys) {
    on_pair[static_cast<std::size_t>(key >> 32)] = true;
    on_pair[static_cast<std::size_t>(key & 0xffffffffu)] = true;
  }
  std::vector<std::pair<std::int32_t, double>> measured;  // pair number, distance
  for (std::size_t i = 1; i < ends_.size(); ++i) {
    const ObservationEnds& e = ends_[i];
    if (!e.usable() || !on_pair[static_cast<std::size_t>(e.from)] ||
        !on_pair[static_cast<std::size_t>(e.to)]) {
      continue;
    }
    auto it = std::lower_bound(keys.begin(), keys.end(), PairKey(e.from, e.to));
    if (it == keys.end() || *it != PairKey(e.from, e.to)) continue;
    double distance = observation_values::HorizontalDistance(data_.observations[i]);
    if (distance > 0.0)
      measured.emplace_back(static_cast<std::int32_t>(it - keys.begin()), distance);
  }
  std::stable_sort(measured.begin(), measured.end(),
                   [](const auto& l, const auto& r) { return l.first < r.first; });
  std::vector<double> values;
  for (std::size_t begin = 0; begin < measured.size();) {
    std::size_t end = begin;
    values.clear();
    while (end < measured.size() && measured[end].first == measured[begin].first) {
      values.push_back(measured[end++].second);
    }
    double& combined = pair_distances_[static_cast<std::size_t>(measured[begin].first)];
    if (values.size() == 1) {
      combined = values.front();
    } else {
      CombineValues(values, combined);
    }
    begin = end;
  }
}

std::span<const std::int32_t> PropagationNetwork::ObservationsAt(std::size_t station) const {
  return by_station_.Row(station);
}

std::span<const std::int32_t> PropagationNetwork::GroupsWithBacksight(std::size_t station) const {
  if (station >= is_backsight_.size() || !is_backsight_[station]) return {};
  return GroupsOf(groups_, groups_by_backsight_, &DirectionGroup::backsight,
                  static_cast<std::int32_t>(station));
}

std::span<const std::int32_t> PropagationNetwork::GroupsAt(std::size_t station) const {
  if (station >= occupies_group_.size() || !occupies_group_[station]) return {};
  return GroupsOf(groups_, groups_by_station_, &DirectionGroup::station,
                  static_cast<std::int32_t>(station));
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
  std::uint64_t key = PairKey(a, b);
  auto it = std::lower_bound(pair_keys_.begin(), pair_keys_.end(), key);
  if (it == pair_keys_.end() || *it != key) return -1.0;
  return pair_distances_[static_cast<std::size_t>(it - pair_keys_.begin())];
}

}  // namespace trovisk::propagation
