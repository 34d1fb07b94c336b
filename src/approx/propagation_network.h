// The observations of a survey indexed once for coordinate propagation:
// station ends after merges, observations by station, the direction groups of
// each instrument setup and the horizontal distance measured between stations.
#pragma once

#include <cstdint>
#include <span>
#include <unordered_map>
#include <vector>

#include "rw5/survey_data.h"

namespace trovisk::propagation {

// One observation's stations after following merge links. Both are 0 when
// the observation cannot fix a station (it needs two distinct stations and a
// kind that can).
struct ObservationEnds {
  std::int32_t from = 0;
  std::int32_t to = 0;
  std::int32_t group = -1;  // its direction group, -1 when it has none
  bool usable() const { return from > 0; }
};

// The horizontal angles read at one station from one backsight: their common
// zero is the direction to the backsight.
struct DirectionGroup {
  std::int32_t station = 0;
  std::int32_t backsight = 0;
  // Azimuths (radians) of the backsight direction given by azimuth
  // observations between the station and its backsight, either way round.
  std::vector<double> azimuths;
};

class PropagationNetwork {
 public:
  explicit PropagationNetwork(const SurveyData& data);

  const SurveyData& data() const { return data_; }
  const ObservationRecord& observation(std::size_t index) const {
    return data_.observations[index];
  }
  const ObservationEnds& ends(std::size_t index) const { return ends_[index]; }
  // The backsight of a usable observation after merges, 0 when it has none
  // or it is the occupied station itself.
  std::int32_t Backsight(std::size_t index) const;
  // Whether a station stands for itself (not merged into another).
  bool IsOwnStation(std::size_t index) const;

  // Usable observations that have the station as their occupied or target end.
  std::span<const std::int32_t> ObservationsAt(std::size_t station) const;
  // Direction groups whose backsight is the station.
  std::span<const std::int32_t> GroupsWithBacksight(std::size_t station) const;
  // Direction groups read at the station.
  std::span<const std::int32_t> GroupsAt(std::size_t station) const;

  std::size_t group_count() const { return groups_.size(); }
  const DirectionGroup& group(std::size_t g) const { return groups_[g]; }
  // The horizontal-angle observations of a group.
  std::span<const std::int32_t> GroupMembers(std::size_t g) const { return group_members_.Of(g); }

  // The horizontal distance (metres) between two stations, combined from
  // every measurement between them; negative when none was measured or the
  // propagation never asks for it.
  double PairDistance(std::int32_t a, std::int32_t b) const;

 private:
  // Items listed by row in one array, each row's in the order they were
  // added: those of row r are items[first[r]] up to items[first[r + 1]].
  struct Rows {
    std::vector<std::int32_t> first;
    std::vector<std::int32_t> items;
    std::span<const std::int32_t> Of(std::size_t row) const;
  };
  // `for_each(add)` calls add(row, item) for every item, in the same order
  // each time it is called.
  template <typename ForEach>
  static Rows RowsOf(std::size_t row_count, const ForEach& for_each);

  // Group number by occupied station and backsight, while building.
  using GroupKeys = std::unordered_map<std::uint64_t, std::int32_t>;
  std::int32_t ResolveStation(std::int32_t index) const;
  // Resolves the ends and forms the direction groups; notes the azimuth
  // observations and the station pairs whose distance may be asked for.
  void ResolveEnds(GroupKeys& group_of, std::vector<std::int32_t>& azimuth_observations,
                   std::vector<std::uint64_t>& wanted_pairs);
  void AddGroupAzimuths(const GroupKeys& group_of,
                        const std::vector<std::int32_t>& azimuth_observations);
  void CombinePairDistances(const std::vector<std::uint64_t>& wanted_pairs);

  const SurveyData& data_;
  std::vector<ObservationEnds> ends_;
  Rows observations_at_;  // by station
  std::vector<DirectionGroup> groups_;
  Rows group_members_;  // by group
  std::unordered_map<std::int32_t, std::vector<std::int32_t>> groups_at_;
  std::unordered_map<std::int32_t, std::vector<std::int32_t>> groups_with_backsight_;
  // By station pair (PairKey), for the pairs the propagation may ask for.
  std::unordered_map<std::uint64_t, double> pair_distances_;
};

// Values of one observation as the propagation reads them (metres); each
// false or negative when the observation lacks what it needs.
namespace observation_values {
/// Whether a value is present and a finite number.
bool Has(double value);
/// Whether the zenith is present and strictly between straight up and down.
bool HasUsableZenith(const ObservationRecord& obs);
/// Horizontal distance from the observation alone, or -1.
double HorizontalDistance(const ObservationRecord& obs);
/// Elevation of `to` minus elevation of `from` from the observation, with
/// the given horizontal distance for a zenith without a slope distance (-1
/// when none); false when it does not give one.
bool HeightDifference(const ObservationRecord& obs, double pair_distance, double& difference);
}  // namespace observation_values

}  // namespace trovisk::propagation
