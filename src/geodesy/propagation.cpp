// The propagation engine. It works in waves: a wave collects every
// determination of the stations next to those fixed by the wave before, from
// the state as it stood at the wave's start, then combines and commits them
// together, so the result never depends on the order stations are visited in.
// Only stations next to a change are looked at again, and the observations are
// indexed by station once, so a pass costs about one sweep of the network.
#include "geodesy/propagation.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "geodesy/propagation_candidates.h"
#include "geodesy/propagation_network.h"
#include "geodesy/robust_combination.h"

namespace trovisk {
namespace {

using namespace propagation;  // the engine's own parts

// Preferred determinations come first: the combination keeps the first of
// two that disagree.
int PositionRank(CoordinateSource source) {
  switch (source) {
    case CoordinateSource::kGpsVector:
      return 0;
    case CoordinateSource::kPolar:
      return 1;
    case CoordinateSource::kResection:
      return 2;
    default:
      return 3;
  }
}

int ElevationRank(CoordinateSource source) {
  switch (source) {
    case CoordinateSource::kHeightDifference:
      return 0;
    case CoordinateSource::kGpsVector:
      return 1;
    default:
      return 2;
  }
}

void SortByPreference(std::vector<Candidate>& candidates, int (*rank)(CoordinateSource)) {
  if (candidates.size() < 2) return;
  std::stable_sort(
      candidates.begin(), candidates.end(),
      [rank](const Candidate& l, const Candidate& r) { return rank(l.source) < rank(r.source); });
}

class DisjointSets {
 public:
  explicit DisjointSets(std::size_t size) : parent_(size) {
    std::iota(parent_.begin(), parent_.end(), std::size_t{0});
  }
  std::size_t Find(std::size_t x) {
    while (parent_[x] != x) {
      parent_[x] = parent_[parent_[x]];
      x = parent_[x];
    }
    return x;
  }
  void Join(std::size_t a, std::size_t b) { parent_[Find(a)] = Find(b); }

 private:
  std::vector<std::size_t> parent_;
};

class Propagation {
 public:
  Propagation(SurveyData& data, const LocalFrame& frame, StationReport* report)
      : data_(data),
        frame_(frame),
        report_(report),
        network_(data),
        states_(data.stations.size()),
        evaluator_(network_, states_, frame),
        touch_stamp_(data.stations.size(), 0),
        group_stamp_(network_.group_count(), 0),
        group_opened_(network_.group_count(), 0),
        position_from_(data.stations.size(), 0),
        fixing_position_(data.observations.size(), 0),
        fixing_elevation_(data.observations.size(), 0) {
    if (report_ != nullptr && report_->entries.size() < data.stations.size()) {
      report_->entries.resize(data.stations.size());
    }
  }

  PropagationSummary Run() {
    PropagationSummary summary;
    std::vector<std::int32_t> frontier;
    std::vector<std::int32_t> next;
    LoadKnownStations(frontier);
    for (int pass = 1; pass <= kMaxPropagationPasses && !frontier.empty(); ++pass) {
      summary.passes = pass;
      while (!frontier.empty()) {
        next.clear();
        RunWave(frontier, next);
        frontier.swap(next);
        ++summary.waves;
      }
      // Stations placed without any height take a neighbour's elevation; a
      // further pass lets GPS vectors continue from them.
      AssumeElevations(frontier);
    }
    summary.fixed = static_cast<int>(fixed_order_.size());
    if (report_ != nullptr) {
      CheckFixedStations();
      ExplainUnknownStations();
    }
    WriteBack();
    return summary;
  }

 private:
  // A station's new values, decided during a wave and committed after it.
  // The observations used lie in pending_observations_ between the offsets.
  struct PendingFix {
    std::int32_t station = 0;
    bool position = false;
    PlanePoint point;
    Candidate position_source;
    bool elevation = false;
    double value = 0.0;
    Candidate elevation_source;
    std::size_t position_begin = 0, position_end = 0;
    std::size_t elevation_begin = 0, elevation_end = 0;
  };

  StationReportEntry* Entry(std::int32_t station) {
    return report_ == nullptr ? nullptr : &report_->entries[static_cast<std::size_t>(station)];
  }

  Determination DeterminationOf(const Candidate& c) const {
    Determination d;
    d.source = c.source;
    d.from_station = c.from_station;
    d.second_station = c.second_station;
    if (c.observations[0] > 0) {
      const ObservationRecord& obs =
          data_.observations[static_cast<std::size_t>(c.observations[0])];
      d.observation.sequence = obs.sequence;
      d.observation.line = obs.line;
      d.observation.code = obs.code;
    }
    return d;
  }

  void LoadKnownStations(std::vector<std::int32_t>& frontier) {
    for (std::size_t s = 1; s < data_.stations.size(); ++s) {
      if (!network_.IsOwnStation(s)) continue;
      const StationRecord& record = data_.stations[s];
      StationState& state = states_[s];
      if (record.has_nee && std::isfinite(record.north) && std::isfinite(record.east) &&
          std::isfinite(record.elevation)) {
        state.north = record.north;
        state.east = record.east;
        state.elevation = record.elevation;
        state.initial = true;
      }
      if (record.has_geodetic && std::isfinite(record.latitude) &&
          std::isfinite(record.longitude) && std::isfinite(record.height)) {
        state.latitude = record.latitude;
        state.longitude = record.longitude;
        state.height = record.height;
        if (!state.initial) {
          GeodeticToLocal(frame_, state.latitude, state.longitude, state.height, state.north,
                          state.east, state.elevation);
        }
        state.initial = true;
      } else if (state.initial) {
        LocalToGeodetic(frame_, state.north, state.east, state.elevation, state.latitude,
                        state.longitude, state.height);
      }
      if (!state.initial) continue;
      state.horizontal = state.vertical = true;
      frontier.push_back(static_cast<std::int32_t>(s));
      if (StationReportEntry* entry = Entry(static_cast<std::int32_t>(s));
          entry != nullptr && entry->position.source == CoordinateSource::kNone) {
        entry->position.source = entry->elevation.source = CoordinateSource::kFile;
      }
    }
    evaluator_.NextVersion();
  }

  void TouchStation(std::int32_t station) {
    if (station <= 0) return;
    const StationState& state = states_[static_cast<std::size_t>(station)];
    if (state.horizontal && state.vertical) return;
    std::int32_t& stamp = touch_stamp_[static_cast<std::size_t>(station)];
    if (stamp == wave_) return;
    stamp = wave_;
    touched_.push_back(station);
  }

  void TouchGroup(std::int32_t g) {
    auto index = static_cast<std::size_t>(g);
    if (group_stamp_[index] == wave_) return;
    group_stamp_[index] = wave_;
    const DirectionGroup& group = network_.group(index);
    if (!states_[static_cast<std::size_t>(group.station)].horizontal) {
      TouchStation(group.station);  // its targets may now resect it
      return;
    }
    // Once a circle is oriented, every station it points at is worth a look;
    // that happens once per group.
    if (group_opened_[index] != 0) return;
    double zero = 0.0;
    if (!evaluator_.Orientation(index, zero)) return;
    group_opened_[index] = 1;
    TouchStation(group.backsight);
    for (std::int32_t m : network_.GroupMembers(index)) {
      TouchStation(network_.ends(static_cast<std::size_t>(m)).to);
    }
  }

  void RunWave(const std::vector<std::int32_t>& frontier, std::vector<std::int32_t>& next) {
    ++wave_;
    touched_.clear();
    for (std::int32_t changed : frontier) {
      for (std::int32_t o : network_.ObservationsAt(static_cast<std::size_t>(changed))) {
        const ObservationEnds& e = network_.ends(static_cast<std::size_t>(o));
        TouchStation(e.from == changed ? e.to : e.from);
        if (e.group >= 0) TouchGroup(e.group);
      }
      for (std::int32_t g : network_.GroupsWithBacksight(static_cast<std::size_t>(changed))) {
        TouchGroup(g);
      }
    }
    pending_.clear();
    pending_.reserve(touched_.size());
    pending_observations_.clear();
    for (std::int32_t station : touched_) Decide(station);
    for (const PendingFix& fix : pending_) Commit(fix, next);
    evaluator_.NextVersion();
  }

  void Decide(std::int32_t station) {
    const StationState& state = states_[static_cast<std::size_t>(station)];
    bool need_position = !state.horizontal;
    bool need_elevation = !state.vertical;
    evaluator_.Evaluate(station, EvaluationMode::kPropagate, need_position, need_elevation,
                        evaluation_);
    PendingFix fix;
    fix.station = station;
    if (need_position) {
      if (evaluation_.positions.empty()) evaluator_.Intersect(evaluation_);
      if (!evaluation_.positions.empty()) {
        SortByPreference(evaluation_.positions, PositionRank);
        points_.clear();
        for (const Candidate& c : evaluation_.positions) points_.push_back(c.point);
        fix.position = true;
        fix.position_begin = pending_observations_.size();
        fix.position_source =
            KeepCombined(evaluation_.positions, CombinePoints(points_, fix.point));
        fix.position_end = pending_observations_.size();
      }
    }
    if (need_elevation && !evaluation_.elevations.empty()) {
      SortByPreference(evaluation_.elevations, ElevationRank);
      values_.clear();
      for (const Candidate& c : evaluation_.elevations) values_.push_back(c.elevation);
      fix.elevation = true;
      fix.elevation_begin = pending_observations_.size();
      fix.elevation_source =
          KeepCombined(evaluation_.elevations, CombineValues(values_, fix.value));
      fix.elevation_end = pending_observations_.size();
    }
    if (fix.position || fix.elevation) pending_.push_back(fix);
  }

  // Notes the observations of the kept determinations; the first kept one
  // stands for the combination in the report.
  const Candidate& KeepCombined(const std::vector<Candidate>& candidates,
                                const Combination& combination) {
    for (std::size_t k : combination.kept) {
      for (std::int32_t o : candidates[k].observations) {
        if (o > 0) pending_observations_.push_back(o);
      }
    }
    return candidates[combination.kept.front()];
  }

  void Commit(const PendingFix& fix, std::vector<std::int32_t>& next) {
    auto index = static_cast<std::size_t>(fix.station);
    StationState& state = states_[index];
    StationReportEntry* entry = Entry(fix.station);
    if (fix.position) {
      state.horizontal = true;
      state.north = fix.point.north;
      state.east = fix.point.east;
      position_from_[index] = fix.position_source.from_station;
      fixed_order_.push_back(fix.station);
      for (std::size_t i = fix.position_begin; i < fix.position_end; ++i) {
        fixing_position_[static_cast<std::size_t>(pending_observations_[i])] = fix.station;
      }
      if (entry != nullptr) entry->position = DeterminationOf(fix.position_source);
    }
    if (fix.elevation) {
      state.vertical = true;
      state.elevation = fix.value;
      for (std::size_t i = fix.elevation_begin; i < fix.elevation_end; ++i) {
        fixing_elevation_[static_cast<std::size_t>(pending_observations_[i])] = fix.station;
      }
      if (entry != nullptr) entry->elevation = DeterminationOf(fix.elevation_source);
    }
    if (state.horizontal && state.vertical) UpdateGeodetic(state);
    next.push_back(fix.station);
  }

  void UpdateGeodetic(StationState& state) const {
    LocalToGeodetic(frame_, state.north, state.east, state.elevation, state.latitude,
                    state.longitude, state.height);
  }

  void AssumeElevations(std::vector<std::int32_t>& next) {
    // In the order the stations were placed, so a neighbour's elevation is
    // settled before it is handed on.
    for (std::int32_t station : fixed_order_) {
      StationState& state = states_[static_cast<std::size_t>(station)];
      if (state.vertical) continue;
      std::int32_t from = position_from_[static_cast<std::size_t>(station)];
      const StationState& neighbour = states_[static_cast<std::size_t>(from)];
      state.elevation =
          from > 0 && neighbour.vertical ? neighbour.elevation : frame_.seed_elevation;
      state.vertical = true;
      state.assumed_elevation = true;
      UpdateGeodetic(state);
      if (StationReportEntry* entry = Entry(station); entry != nullptr) {
        entry->elevation = Determination{};
        entry->elevation.source = CoordinateSource::kAssumedElevation;
        entry->elevation.from_station = from;
      }
      next.push_back(station);
    }
    evaluator_.NextVersion();
  }

  void CheckFixedStations() {
    evaluator_.SetFixingObservations(&fixing_position_, &fixing_elevation_);
    std::vector<double> distances;
    for (std::int32_t station : fixed_order_) {
      const StationState& state = states_[static_cast<std::size_t>(station)];
      StationReportEntry& entry = *Entry(station);
      evaluator_.Evaluate(station, EvaluationMode::kCheck, true, !state.assumed_elevation,
                          evaluation_);
      if (evaluation_.positions.empty()) evaluator_.Intersect(evaluation_);
      distances.clear();
      PlanePoint here{state.north, state.east};
      for (const Candidate& c : evaluation_.positions) {
        distances.push_back(DistanceBetween(here, c.point));
      }
      Tally(distances, evaluation_.positions, false, entry.position_agreeing, entry.position_spread,
            entry);
      distances.clear();
      for (const Candidate& c : evaluation_.elevations) {
        distances.push_back(std::fabs(c.elevation - state.elevation));
      }
      Tally(distances, evaluation_.elevations, true, entry.elevation_agreeing,
            entry.elevation_spread, entry);
    }
    evaluator_.SetFixingObservations(nullptr, nullptr);
  }

  void Tally(const std::vector<double>& distances, const std::vector<Candidate>& candidates,
             bool vertical, int& agreeing, double& spread, StationReportEntry& entry) const {
    agreeing = 0;
    spread = 0.0;
    double limit = AgreementLimit(distances, kAgreementTolerance);
    for (std::size_t i = 0; i < distances.size(); ++i) {
      if (distances[i] <= limit) {
        ++agreeing;
        spread = std::fmax(spread, distances[i]);
      } else {
        entry.set_aside.push_back({DeterminationOf(candidates[i]), vertical, distances[i]});
      }
    }
  }

  void ExplainUnknownStations() {
    DisjointSets sets(data_.stations.size());
    for (std::size_t o = 1; o < data_.observations.size(); ++o) {
      const ObservationEnds& e = network_.ends(o);
      if (!e.usable) continue;
      sets.Join(static_cast<std::size_t>(e.from), static_cast<std::size_t>(e.to));
      if (e.backsight > 0) {
        sets.Join(static_cast<std::size_t>(e.from), static_cast<std::size_t>(e.backsight));
      }
    }
    std::vector<char> reaches_fixed(data_.stations.size(), 0);
    for (std::size_t s = 1; s < data_.stations.size(); ++s) {
      if (states_[s].horizontal) reaches_fixed[sets.Find(s)] = 1;
    }
    for (std::size_t s = 1; s < data_.stations.size(); ++s) {
      if (!network_.IsOwnStation(s) || states_[s].horizontal) continue;
      auto station = static_cast<std::int32_t>(s);
      evaluator_.Evaluate(station, EvaluationMode::kPropagate, true, true, evaluation_);
      if (evaluation_.positions.empty()) evaluator_.Intersect(evaluation_);
      unsigned seen = evaluation_.seen;
      UnknownReason reason;
      if (seen & kSeenWeakFigure) {
        reason = UnknownReason::kWeakGeometry;
      } else if (seen & kSeenSingleDirection) {
        reason = UnknownReason::kNoDistance;
      } else if (seen & kSeenUnoriented) {
        reason = UnknownReason::kNoOrientation;
      } else if (seen & kSeenGpsWithoutHeight) {
        reason = UnknownReason::kGpsEndWithoutHeight;
      } else if (seen & kSeenDistance) {
        reason = UnknownReason::kDistanceOnly;
      } else if (seen & kSeenVertical) {
        reason = UnknownReason::kVerticalOnly;
      } else if (network_.ObservationsAt(s).empty() && network_.GroupsWithBacksight(s).empty()) {
        reason = UnknownReason::kNotObserved;
      } else if (reaches_fixed[sets.Find(s)] != 0) {
        reason = UnknownReason::kOnlyThroughUnknown;
      } else {
        reason = UnknownReason::kNoLinkToSeed;
      }
      Entry(station)->reason = reason;
    }
  }

  void WriteBack() {
    for (std::size_t s = 1; s < data_.stations.size(); ++s) {
      const StationState& state = states_[s];
      if (!network_.IsOwnStation(s) || !state.horizontal || !state.vertical) continue;
      StationRecord& record = data_.stations[s];
      StationReportEntry* entry = Entry(static_cast<std::int32_t>(s));
      // A set that overflowed on absurd input is not written at all.
      bool local_finite =
          std::isfinite(state.north) && std::isfinite(state.east) && std::isfinite(state.elevation);
      bool geodetic_finite = std::isfinite(state.latitude) && std::isfinite(state.longitude) &&
                             std::isfinite(state.height);
      bool write_geodetic = (!state.initial || !record.has_geodetic) && geodetic_finite;
      bool write_local = (!state.initial || !record.has_nee) && local_finite;
      if (entry != nullptr && state.initial) {
        if (!record.has_geodetic && write_geodetic) entry->geodetic_from_local = true;
        if (!record.has_nee && write_local) entry->local_from_geodetic = true;
      }
      if (write_local) {
        record.north = state.north;
        record.east = state.east;
        record.elevation = state.elevation;
        record.has_nee = true;
      }
      if (write_geodetic) {
        record.latitude = state.latitude;
        record.longitude = state.longitude;
        record.height = state.height;
        record.has_geodetic = true;
      }
    }
  }

  SurveyData& data_;
  const LocalFrame& frame_;
  StationReport* report_;
  PropagationNetwork network_;
  std::vector<StationState> states_;
  CandidateEvaluator evaluator_;
  int wave_ = 0;
  std::vector<std::int32_t> touch_stamp_;
  std::vector<std::int32_t> group_stamp_;
  std::vector<char> group_opened_;
  std::vector<std::int32_t> position_from_;
  std::vector<std::int32_t> fixing_position_;
  std::vector<std::int32_t> fixing_elevation_;
  std::vector<std::int32_t> touched_;
  std::vector<std::int32_t> fixed_order_;
  std::vector<PendingFix> pending_;
  std::vector<std::int32_t> pending_observations_;
  Evaluation evaluation_;
  std::vector<PlanePoint> points_;
  std::vector<double> values_;
};

}  // namespace

PropagationSummary PropagateCoordinates(SurveyData& data, const LocalFrame& frame,
                                        StationReport* report) {
  return Propagation(data, frame, report).Run();
}

}  // namespace trovisk
