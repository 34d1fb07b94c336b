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
};

class PropagationNetwork {
 public:
  explicit PropagationNetwork(const SurveyData& data);

  const SurveyData& data() const { return data_; }
  std::size_t station_count() const { return data_.stations.size(); }
  std::size_t observation_count() const { return data_.observations.size(); }
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
  std::span<const std::int32_t> GroupMembers(std::size_t g) const;
  // Azimuths of the group's backsight direction given by azimuth observations
  // between its station and its backsight (either way round).
  std::span<const double> GroupAzimuths(std::size_t g) const;

  // The horizontal distance between two stations, combined from every
  // measurement between them; negative when none was measured.
  double PairDistance(std::int32_t a, std::int32_t b) const;

 private:
  // Rows of items in one array (compressed sparse rows), filled by a
  // counting sort that keeps each row's items in the order given.
  struct Csr {
    std::vector<std::int32_t> offsets;
    std::vector<std::int32_t> items;
    std::span<const std::int32_t> Row(std::size_t row) const;
  };
  // `for_each(emit)` calls emit(row, item) for every item, the same each time.
  template <typename ForEach>
  static Csr BuildCsr(std::size_t rows, const ForEach& for_each);
  // Groups sorted by one of their stations, for looking that station up.
  std::vector<std::int32_t> SortGroupsBy(std::int32_t DirectionGroup::*station) const;
  static std::span<const std::int32_t> GroupsOf(const std::vector<DirectionGroup>& groups,
                                                const std::vector<std::int32_t>& sorted,
                                                std::int32_t DirectionGroup::*member,
                                                std::int32_t station);

  // Group number by occupied station and backsight, while building.
  using GroupKeys = std::unordered_map<std::uint64_t, std::int32_t>;
  // Resolves the ends, forms the direction groups, and notes the azimuth
  // observations and the pairs whose distance may be looked up.
  void ResolveEnds(GroupKeys& group_of, std::vector<std::int32_t>& azimuth_observations);
  void BuildGroups(const GroupKeys& group_of,
                   const std::vector<std::int32_t>& azimuth_observations);
  void BuildPairDistances();
  std::int32_t ResolveStation(std::int32_t index) const;

  const SurveyData& data_;
  std::vector<bool> merged_;  // by station: merged into another
  std::vector<ObservationEnds> ends_;
  std::vector<DirectionGroup> groups_;
  Csr by_station_;
  std::vector<std::int32_t> groups_by_backsight_;  // group numbers by backsight
  std::vector<std::int32_t> groups_by_station_;    // group numbers by occupied station
  // Whether a station is the backsight of (occupies) any group, so that most
  // stations need no search.
  std::vector<bool> is_backsight_;
  std::vector<bool> occupies_group_;
  Csr group_members_;
  std::vector<std::int32_t> group_azimuth_offsets_;
  std::vector<double> group_azimuths_;
  // The distances of the station pairs that some observation may look up
  // (those read without a distance of their own, and every group's backsight
  // line), by pair key in ascending order.
  std::vector<std::uint64_t> pair_keys_;
  std::vector<double> pair_distances_;
};

// Values of one observation as the propagation reads them; each false or
// negative when the observation lacks what it needs.
namespace observation_values {
/// Whether a value is present and a finite number.
bool Has(double value);

/// An observation's zenith, whose sine and cosine are worked out together
/// on first use, so that the values below can share them.
class Zenith {
 public:
  explicit Zenith(const ObservationRecord& obs);
  /// Present and strictly between straight up and straight down.
  bool usable() const { return usable_; }
  double Sin() {
    Work();
    return sin_;
  }
  double Cos() {
    Work();
    return cos_;
  }

 private:
  void Work();
  double zenith_ = 0.0;
  bool usable_ = false;
  bool worked_ = false;
  double sin_ = 0.0;
  double cos_ = 0.0;
};

/// Horizontal distance from the observation alone (metres), or -1.
double HorizontalDistance(const ObservationRecord& obs);
double HorizontalDistance(const ObservationRecord& obs, Zenith& zenith);
/// Elevation of `to` minus elevation of `from` (metres) from the observation
/// with the given horizontal distance for a zenith without a slope distance
/// (-1 when none); false when it does not give one.
bool HeightDifference(const ObservationRecord& obs, Zenith& zenith, double pair_distance,
                      double& difference);
}  // namespace observation_values

}  // namespace trovisk::propagation
