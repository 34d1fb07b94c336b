// The propagation engine. It works in waves: a wave collects every
// determination of the stations next to those fixed by the wave before, from
// the state as it stood at the wave's start, then combines and commits them
// together, so the result never depends on the order stations are visited in:
// a decision is written into the station's state at once, but marked as new,
// and only the wave's end makes it count as fixed. Only stations next to a
// change are looked at again.
#include "approx/propagation.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "approx/propagation_candidates.h"
#include "approx/propagation_network.h"
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
  std::stable_sort(
      candidates.begin(), candidates.end(),
      [rank](const Candidate& l, const Candidate& r) { return rank(l.source) < rank(r.source); });
}

// Stations linked by observations, one set per connected part of the network.
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
        group_wave_(network_.group_count(), 0),
        group_opened_(network_.group_count(), false) {
    if (report_ != nullptr) {
      // Which observations fixed which station is only wanted for the report's check.
      fixing_position_.assign(data.observations.size(), 0);
      fixing_elevation_.assign(data.observations.size(), 0);
      if (report_->entries.size() < data.stations.size()) {
        report_->entries.resize(data.stations.size());
      }
    }
  }

  PropagationSummary Run() {
    PropagationSummary summary;
    std::vector<std::int32_t> frontier;
    LoadKnownStations(frontier);
    for (int pass = 1; pass <= kMaxPropagationPasses && !frontier.empty(); ++pass) {
      summary.passes = pass;
      while (!frontier.empty()) {
        RunWave(frontier);
        ++summary.waves;
      }
      // Stations placed without any height take a neighbour's elevation; a
      // further pass lets GPS vectors continue from them.
      AssumeElevations(frontier);
    }
    summary.fixed = fixed_count_;
    if (report_ != nullptr) {
      CheckFixedStations();
      ExplainUnknownStations();
    }
    WriteBack();
    return summary;
  }

 private:
  // A station placed without any height, and the station it was placed from.
  struct Unlevelled {
    std::int32_t station = 0;
    std::int32_t from = 0;
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

  StationState& State(std::int32_t station) { return states_[static_cast<std::size_t>(station)]; }

  void LoadKnownStations(std::vector<std::int32_t>& frontier) {
    for (std::size_t s = 1; s < data_.stations.size(); ++s) {
      if (!network_.IsOwnStation(s)) continue;
      const StationRecord& record = data_.stations[s];
      StationState& state = states_[s];
      bool initial = false;
      if (record.has_nee && std::isfinite(record.north) && std::isfinite(record.east) &&
          std::isfinite(record.elevation)) {
        state.north = record.north;
        state.east = record.east;
        state.elevation = record.elevation;
        initial = true;
      }
      if (record.has_geodetic && std::isfinite(record.latitude) &&
          std::isfinite(record.longitude) && std::isfinite(record.height)) {
        if (!initial) {
          GeodeticToLocal(frame_, record.latitude, record.longitude, record.height, state.north,
                          state.east, state.elevation);
        }
        initial = true;
        state.file_geodetic = true;
      }
      if (!initial) continue;
      state.initial = state.horizontal = state.vertical = true;
      frontier.push_back(static_cast<std::int32_t>(s));
      if (StationReportEntry* entry = Entry(static_cast<std::int32_t>(s));
          entry != nullptr && entry->position.source == CoordinateSource::kNone) {
        entry->position.source = entry->elevation.source = CoordinateSource::kFile;
      }
    }
    evaluator_.NextVersion();
  }

  // Puts the station on the wave's list of stations to look at, once.
  void TouchStation(std::int32_t station, std::vector<std::int32_t>& touched) {
    if (station <= 0) return;
    StationState& state = State(station);
    if ((state.horizontal && state.vertical) || state.queued) return;
    state.queued = true;
    touched.push_back(station);
  }

  void TouchGroup(std::int32_t g, std::vector<std::int32_t>& touched) {
    auto index = static_cast<std::size_t>(g);
    if (group_wave_[index] == wave_) return;
    group_wave_[index] = wave_;
    const DirectionGroup& group = network_.group(index);
    if (!State(group.station).horizontal) {
      TouchStation(group.station, touched);  // its targets may now resect it
      return;
    }
    // Once a circle is oriented, every station it points at is worth a look;
    // that happens once per group.
    if (group_opened_[index]) return;
    double zero = 0.0;
    if (!evaluator_.Orientation(index, zero)) return;
    group_opened_[index] = true;
    TouchStation(group.backsight, touched);
    for (std::int32_t m : network_.GroupMembers(index)) {
      TouchStation(network_.ends(static_cast<std::size_t>(m)).to, touched);
    }
  }

  // Looks at the stations next to the frontier's and replaces the frontier
  // by those it fixed.
  void RunWave(std::vector<std::int32_t>& frontier) {
    ++wave_;
    std::vector<std::int32_t> touched;
    for (std::int32_t changed : frontier) {
      for (std::int32_t o : network_.ObservationsAt(static_cast<std::size_t>(changed))) {
        const ObservationEnds& e = network_.ends(static_cast<std::size_t>(o));
        TouchStation(e.from == changed ? e.to : e.from, touched);
        if (e.group >= 0) TouchGroup(e.group, touched);
      }
      for (std::int32_t g : network_.GroupsWithBacksight(static_cast<std::size_t>(changed))) {
        TouchGroup(g, touched);
      }
    }
    std::vector<std::int32_t> fixed;
    for (std::int32_t station : touched) {
      State(station).queued = false;
      if (Decide(station)) fixed.push_back(station);
    }
    // The wave's decisions count from now on.
    for (std::int32_t station : fixed) {
      StationState& state = State(station);
      state.horizontal = state.horizontal || state.new_position;
      state.vertical = state.vertical || state.new_elevation;
      state.new_position = state.new_elevation = false;
    }
    evaluator_.NextVersion();
    frontier = std::move(fixed);
  }

  // Decides what the wave gives the station; true when it gave anything.
  bool Decide(std::int32_t station) {
    StationState& state = State(station);
    const bool need_position = !state.horizontal;
    const bool need_elevation = !state.vertical;
    bool decided = false;
    evaluator_.Evaluate(station, EvaluationMode::kPropagate, need_position, need_elevation,
                        evaluation_);
    StationReportEntry* entry = Entry(station);
    if (need_position) {
      if (evaluation_.positions.empty()) evaluator_.Intersect(evaluation_);
      if (!evaluation_.positions.empty()) {
        PlanePoint point;
        const Candidate& source = CombinePositions(point);
        state.north = point.north;
        state.east = point.east;
        state.new_position = true;
        decided = true;
        ++fixed_count_;
        if (report_ != nullptr) fixed_order_.push_back(station);
        if (need_elevation && evaluation_.elevations.empty()) {
          unlevelled_.push_back({station, source.from_station});
        }
        if (entry != nullptr) {
          entry->position = DeterminationOf(source);
          MarkFixing(evaluation_.positions, fixing_position_, station);
        }
      }
    }
    if (need_elevation && !evaluation_.elevations.empty()) {
      double value = 0.0;
      const Candidate& source = CombineElevations(value);
      state.elevation = value;
      state.new_elevation = true;
      decided = true;
      if (entry != nullptr) {
        entry->elevation = DeterminationOf(source);
        MarkFixing(evaluation_.elevations, fixing_elevation_, station);
      }
    }
    return decided;
  }

  // The combined position of the evaluation's determinations, and the one
  // that stands for them in the report; kept_ names those used. A single
  // determination is taken as it is.
  const Candidate& CombinePositions(PlanePoint& point) {
    std::vector<Candidate>& candidates = evaluation_.positions;
    if (candidates.size() == 1) {
      point = candidates.front().point;
      kept_.assign(1, 0);
      return candidates.front();
    }
    SortByPreference(candidates, PositionRank);
    std::vector<PlanePoint> points;
    for (const Candidate& c : candidates) points.push_back(c.point);
    kept_ = CombinePoints(points, point).kept;
    return candidates[kept_.front()];
  }

  const Candidate& CombineElevations(double& value) {
    std::vector<Candidate>& candidates = evaluation_.elevations;
    if (candidates.size() == 1) {
      value = candidates.front().elevation;
      kept_.assign(1, 0);
      return candidates.front();
    }
    SortByPreference(candidates, ElevationRank);
    std::vector<double> values;
    for (const Candidate& c : candidates) values.push_back(c.elevation);
    kept_ = CombineValues(values, value).kept;
    return candidates[kept_.front()];
  }

  // Notes the observations of the determinations kept by the last
  // combination as fixing the station.
  void MarkFixing(const std::vector<Candidate>& candidates, std::vector<std::int32_t>& fixing,
                  std::int32_t station) const {
    for (std::size_t k : kept_) {
      for (std::int32_t o : candidates[k].observations) {
        if (o > 0) fixing[static_cast<std::size_t>(o)] = station;
      }
    }
  }

  void AssumeElevations(std::vector<std::int32_t>& next) {
    // In the order the stations were placed, so a neighbour's elevation is
    // settled before it is handed on. Those levelled since are passed over.
    for (const auto& [station, from] : unlevelled_) {
      StationState& state = State(station);
      if (state.vertical) continue;
      const StationState& neighbour = State(from);
      state.elevation =
          from > 0 && neighbour.vertical ? neighbour.elevation : frame_.seed_elevation;
      state.vertical = state.assumed_elevation = true;
      if (StationReportEntry* entry = Entry(station); entry != nullptr) {
        entry->elevation = Determination{};
        entry->elevation.source = CoordinateSource::kAssumedElevation;
        entry->elevation.from_station = from;
      }
      next.push_back(station);
    }
    unlevelled_.clear();
    evaluator_.NextVersion();
  }

  void CheckFixedStations() {
    evaluator_.SetFixingObservations(&fixing_position_, &fixing_elevation_);
    std::vector<double> distances;
    for (std::int32_t station : fixed_order_) {
      const StationState& state = State(station);
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
      if (!e.usable()) continue;
      sets.Join(static_cast<std::size_t>(e.from), static_cast<std::size_t>(e.to));
      if (std::int32_t backsight = network_.Backsight(o); backsight > 0) {
        sets.Join(static_cast<std::size_t>(e.from), static_cast<std::size_t>(backsight));
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

  // Writes the fixed stations' values into their records. Geodetic values
  // follow from the local ones, unless the file gave the station its own.
  void WriteBack() {
    for (std::size_t s = 1; s < data_.stations.size(); ++s) {
      if (!network_.IsOwnStation(s)) continue;
      const StationState& state = states_[s];
      if (!state.horizontal || !state.vertical) continue;
      StationRecord& record = data_.stations[s];
      const bool take_geodetic = !state.initial || !record.has_geodetic;
      double latitude = 0.0;
      double longitude = 0.0;
      double height = 0.0;
      if (take_geodetic) {
        LocalToGeodetic(frame_, state.north, state.east, state.elevation, latitude, longitude,
                        height);
      }
      // A set that overflowed on absurd input is not written at all.
      const bool write_geodetic = take_geodetic && std::isfinite(latitude) &&
                                  std::isfinite(longitude) && std::isfinite(height);
      const bool write_local = (!state.initial || !record.has_nee) && std::isfinite(state.north) &&
                               std::isfinite(state.east) && std::isfinite(state.elevation);
      StationReportEntry* entry = Entry(static_cast<std::int32_t>(s));
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
        record.latitude = latitude;
        record.longitude = longitude;
        record.height = height;
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
  int fixed_count_ = 0;
  std::vector<int> group_wave_;     // the last wave that looked at each direction group
  std::vector<bool> group_opened_;  // whether its oriented circle has touched its targets
  // For the report only: the station whose position (elevation) each
  // observation helped fix, and the stations in the order they were placed.
  std::vector<std::int32_t> fixing_position_;
  std::vector<std::int32_t> fixing_elevation_;
  std::vector<std::int32_t> fixed_order_;
  std::vector<Unlevelled> unlevelled_;
  Evaluation evaluation_;          // of the station being decided, checked or explained
  std::vector<std::size_t> kept_;  // the determinations its last combination kept
};

}  // namespace

PropagationSummary PropagateCoordinates(SurveyData& data, const LocalFrame& frame,
                                        StationReport* report) {
  return Propagation(data, frame, report).Run();
}

}  // namespace trovisk
