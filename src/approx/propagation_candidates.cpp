// Determinations of one station from its fixed neighbours.
#include "approx/propagation_candidates.h"

#include <algorithm>
#include <cmath>

#include "geodesy/constants.h"
#include "geodesy/ellipsoid.h"
#include "geodesy/robust_combination.h"

namespace trovisk::propagation {
namespace {

using observation_values::Has;
using observation_values::HeightDifference;
using observation_values::HorizontalDistance;

// A free station uses at most this many of its fixed targets, and an
// intersection at most this many directions: enough for redundancy, while the
// pairs and triples tried stay few.
constexpr std::size_t kMaxPointings = 5;
constexpr std::size_t kMaxRays = 8;
// Two stations closer than this give no usable direction between them.
constexpr double kMinSightLength = 1.0e-3;

PlanePoint PointOf(const StationState& state) { return {state.north, state.east}; }

// Absurd input (a distance of 1e300) can overflow into infinities; such a
// determination is dropped rather than allowed to poison a combination.
void DropNonFinite(Evaluation& out) {
  std::erase_if(out.positions, [](const Candidate& c) {
    return !std::isfinite(c.point.north) || !std::isfinite(c.point.east);
  });
  std::erase_if(out.elevations, [](const Candidate& c) { return !std::isfinite(c.elevation); });
  std::erase_if(out.rays, [](const Ray& r) {
    return !std::isfinite(r.azimuth) || !std::isfinite(r.origin.north) ||
           !std::isfinite(r.origin.east);
  });
}

}  // namespace

void Evaluation::Clear() {
  positions.clear();
  rays.clear();
  elevations.clear();
  seen = 0;
}

CandidateEvaluator::CandidateEvaluator(const PropagationNetwork& network,
                                       const std::vector<StationState>& states,
                                       const LocalFrame& frame)
    : network_(network),
      states_(states),
      frame_(frame),
      orientation_cache_(network.group_count()) {}

void CandidateEvaluator::SetFixingObservations(const std::vector<std::int32_t>* position,
                                               const std::vector<std::int32_t>* elevation) {
  fixing_position_ = position;
  fixing_elevation_ = elevation;
}

bool CandidateEvaluator::Independent(std::int32_t observation, std::int32_t station,
                                     bool vertical) const {
  const std::vector<std::int32_t>* fixing = vertical ? fixing_elevation_ : fixing_position_;
  if (fixing == nullptr || observation <= 0) return true;
  std::int32_t fixed = (*fixing)[static_cast<std::size_t>(observation)];
  return fixed == 0 || fixed == station;
}

std::vector<double> CandidateEvaluator::BacksightAzimuths(const DirectionGroup& g,
                                                          std::int32_t passed_over) const {
  std::vector<double> azimuths;
  const StationState& occupied = states_[static_cast<std::size_t>(g.station)];
  const StationState& backsight = states_[static_cast<std::size_t>(g.backsight)];
  if (g.backsight != passed_over && backsight.horizontal &&
      DistanceBetween(PointOf(occupied), PointOf(backsight)) > kMinSightLength) {
    azimuths.push_back(AzimuthBetween(PointOf(occupied), PointOf(backsight)));
  }
  azimuths.insert(azimuths.end(), g.azimuths.begin(), g.azimuths.end());
  return azimuths;
}

bool CandidateEvaluator::Orientation(std::size_t group, double& azimuth) {
  CachedOrientation& cached = orientation_cache_[group];
  if (cached.version == version_) {
    azimuth = cached.azimuth;
    return cached.ok;
  }
  cached = {version_, false, 0.0};
  const DirectionGroup& g = network_.group(group);
  const StationState& station = states_[static_cast<std::size_t>(g.station)];
  if (!station.horizontal) return false;
  std::vector<double> azimuths = BacksightAzimuths(g, 0);
  // The foresights only stand in for what the instrument was oriented on.
  if (azimuths.empty()) {
    for (std::int32_t m : network_.GroupMembers(group)) {
      const ObservationEnds& e = network_.ends(static_cast<std::size_t>(m));
      const StationState& target = states_[static_cast<std::size_t>(e.to)];
      if (e.to == g.backsight || !target.horizontal) continue;
      if (DistanceBetween(PointOf(station), PointOf(target)) <= kMinSightLength) continue;
      azimuths.push_back(AzimuthBetween(PointOf(station), PointOf(target)) -
                         network_.observation(static_cast<std::size_t>(m)).horizontal_angle);
    }
  }
  if (azimuths.empty()) return false;
  CombineAngles(azimuths, cached.azimuth);
  cached.ok = true;
  azimuth = cached.azimuth;
  return true;
}

bool CandidateEvaluator::OrientationForCheck(std::size_t group, std::int32_t station,
                                             double& azimuth) const {
  // Only what the instrument was oriented on, and never the checked station.
  const DirectionGroup& g = network_.group(group);
  if (!states_[static_cast<std::size_t>(g.station)].horizontal) return false;
  const std::vector<double> azimuths = BacksightAzimuths(g, station);
  if (azimuths.empty()) return false;
  CombineAngles(azimuths, azimuth);
  return true;
}

void CandidateEvaluator::Evaluate(std::int32_t station, EvaluationMode mode, bool position,
                                  bool elevation, Evaluation& out) {
  out.Clear();
  for (std::int32_t o : network_.ObservationsAt(static_cast<std::size_t>(station))) {
    AddFromObservation(station, o, mode, position, elevation, out);
  }
  if (position && mode == EvaluationMode::kPropagate) AddBacksightRays(station, out);
  DropNonFinite(out);
  if (!position || !out.positions.empty()) return;
  AddResections(station, mode, out);
  DropNonFinite(out);
}

void CandidateEvaluator::AddFromObservation(std::int32_t station, std::int32_t obs_index,
                                            EvaluationMode mode, bool position, bool elevation,
                                            Evaluation& out) {
  const ObservationEnds& e = network_.ends(static_cast<std::size_t>(obs_index));
  const ObservationRecord& obs = network_.observation(static_cast<std::size_t>(obs_index));
  bool at_target = e.to == station;
  std::int32_t other = at_target ? e.from : e.to;
  const StationState& known = states_[static_cast<std::size_t>(other)];

  if (obs.kind == ObservationKind::kGpsVector) {
    if (!known.horizontal) return;
    if (!known.vertical) {
      out.seen |= kSeenGpsWithoutHeight;
      return;
    }
    const ObservationDetail& vector = network_.data().observations.Detail(obs);
    if (!Has(vector.dx) || !Has(vector.dy) || !Has(vector.dz)) return;
    bool want_position =
        position && (mode == EvaluationMode::kPropagate || Independent(obs_index, station, false));
    bool want_elevation =
        elevation && (mode == EvaluationMode::kPropagate ||
                      (!known.assumed_elevation && Independent(obs_index, station, true)));
    if (want_position || want_elevation) {
      AddGps(obs_index, !at_target, out);
      if (!want_position) out.positions.pop_back();
      if (!want_elevation) out.elevations.pop_back();
    }
    return;
  }
  if (elevation) AddElevation(station, obs_index, mode, out);
  if (!position || !known.horizontal) return;
  if (mode == EvaluationMode::kCheck && !Independent(obs_index, station, false)) return;

  switch (obs.kind) {
    case ObservationKind::kHorizontalAngle: {
      // Only the foresight end is fixed from the occupied station; the
      // occupied end is reached by resection.
      if (!at_target || e.group < 0) return;
      double zero = 0.0;
      bool oriented = mode == EvaluationMode::kPropagate
                          ? Orientation(static_cast<std::size_t>(e.group), zero)
                          : OrientationForCheck(static_cast<std::size_t>(e.group), station, zero);
      if (!oriented) {
        out.seen |= kSeenUnoriented;
        return;
      }
      double distance = HorizontalDistance(obs);
      if (distance <= 0.0) distance = network_.PairDistance(e.from, e.to);
      AddPolar(e.from, zero + obs.horizontal_angle, distance, false, obs_index, out);
      return;
    }
    case ObservationKind::kAzimuth: {
      if (!Has(obs.azimuth)) return;
      double distance = HorizontalDistance(obs);
      if (distance <= 0.0) distance = network_.PairDistance(e.from, e.to);
      AddPolar(other, obs.azimuth, distance, !at_target, obs_index, out);
      return;
    }
    case ObservationKind::kZenithDistance:
    case ObservationKind::kHorizontalDistance:
      if (HorizontalDistance(obs) > 0.0 || Has(obs.slope_distance)) {
        out.seen |= kSeenDistance;
      }
      return;
    default:
      return;
  }
}

void CandidateEvaluator::AddElevation(std::int32_t station, std::int32_t obs_index,
                                      EvaluationMode mode, Evaluation& out) {
  const ObservationEnds& e = network_.ends(static_cast<std::size_t>(obs_index));
  const ObservationRecord& obs = network_.observation(static_cast<std::size_t>(obs_index));
  bool at_target = e.to == station;
  std::int32_t other = at_target ? e.from : e.to;
  const StationState& known = states_[static_cast<std::size_t>(other)];
  if (!known.vertical) return;
  if (mode == EvaluationMode::kCheck &&
      (known.assumed_elevation || !Independent(obs_index, station, true))) {
    return;
  }
  // The distance measured apart is only looked up when the pointing has none.
  bool ranged = Has(obs.slope_distance) && obs.slope_distance > 0.0;
  double pair_distance = ranged ? -1.0 : network_.PairDistance(e.from, e.to);
  double difference = 0.0;
  if (!HeightDifference(obs, pair_distance, difference)) return;
  Candidate c;
  c.elevation = at_target ? known.elevation + difference : known.elevation - difference;
  c.source = obs.kind == ObservationKind::kHeightDifference ? CoordinateSource::kHeightDifference
                                                            : CoordinateSource::kTrigLevelling;
  c.from_station = other;
  c.observations = {obs_index, 0, 0};
  out.elevations.push_back(c);
  out.seen |= kSeenVertical;
}

void CandidateEvaluator::AddPolar(std::int32_t from, double azimuth, double distance, bool reverse,
                                  std::int32_t obs_index, Evaluation& out) const {
  const StationState& known = states_[static_cast<std::size_t>(from)];
  // An azimuth read at the unknown station points back from the fixed one.
  double direction = reverse ? azimuth + kPi : azimuth;
  if (distance > 0.0) {
    Candidate c;
    c.point = PolarPoint(PointOf(known), direction, OnGrid(from, distance));
    c.source = CoordinateSource::kPolar;
    c.from_station = from;
    c.observations = {obs_index, 0, 0};
    out.positions.push_back(c);
  } else {
    out.rays.push_back({PointOf(known), direction, from, obs_index});
  }
}

double CandidateEvaluator::OnGrid(std::int32_t near_station, double ground) const {
  if (frame_.grid == nullptr || !(ground > 0.0)) return ground;
  const StationState& state = states_[static_cast<std::size_t>(near_station)];
  return ground * GridFactorAt(frame_, state.north, state.east, state.elevation);
}

void CandidateEvaluator::EcefOf(std::int32_t station, double& x, double& y, double& z) const {
  const StationState& state = states_[static_cast<std::size_t>(station)];
  if (state.file_geodetic) {
    // The file's own geodetic values, which may not agree with its local ones.
    const StationRecord& record = network_.data().stations[static_cast<std::size_t>(station)];
    GeodeticToEcef(frame_.a, frame_.e2, record.latitude, record.longitude, record.height, x, y, z);
    return;
  }
  if (frame_.grid != nullptr) {
    double latitude = 0.0;
    double longitude = 0.0;
    double height = 0.0;
    LocalToGeodetic(frame_, state.north, state.east, state.elevation, latitude, longitude, height);
    GeodeticToEcef(frame_.a, frame_.e2, latitude, longitude, height, x, y, z);
    return;
  }
  LocalToEcef(frame_.seed_axes, state.east - frame_.seed_east, state.north - frame_.seed_north,
              state.elevation - frame_.seed_elevation, frame_.seed_x, frame_.seed_y, frame_.seed_z,
              x, y, z);
}

void CandidateEvaluator::AddGps(std::int32_t obs_index, bool reverse, Evaluation& out) const {
  const ObservationEnds& e = network_.ends(static_cast<std::size_t>(obs_index));
  const ObservationRecord& obs = network_.observation(static_cast<std::size_t>(obs_index));
  std::int32_t other = reverse ? e.to : e.from;
  // The vector runs from its base to its rover; seen from the rover it runs back.
  double sign = reverse ? -1.0 : 1.0;
  double x = 0.0;
  double y = 0.0;
  double z = 0.0;
  EcefOf(other, x, y, z);
  const ObservationDetail& vector = network_.data().observations.Detail(obs);
  Candidate c;
  if (frame_.grid != nullptr) {
    // The far end's latitude and longitude, projected onto the grid.
    double latitude = 0.0;
    double longitude = 0.0;
    double height = 0.0;
    EcefToGeodetic(frame_.a, frame_.e2, x + sign * vector.dx, y + sign * vector.dy,
                   z + sign * vector.dz, latitude, longitude, height);
    GeodeticToLocal(frame_, latitude, longitude, height, c.point.north, c.point.east, c.elevation);
  } else {
    // The far end, seen in the seed's horizon like every local position.
    double east = 0.0;
    double north = 0.0;
    double up = 0.0;
    EcefDeltaToLocal(frame_.seed_axes, x + sign * vector.dx - frame_.seed_x,
                     y + sign * vector.dy - frame_.seed_y, z + sign * vector.dz - frame_.seed_z,
                     east, north, up);
    c.point = {frame_.seed_north + north, frame_.seed_east + east};
    c.elevation = frame_.seed_elevation + up;
  }
  c.source = CoordinateSource::kGpsVector;
  c.from_station = other;
  c.observations = {obs_index, 0, 0};
  out.positions.push_back(c);
  out.elevations.push_back(c);
}

void CandidateEvaluator::AddBacksightRays(std::int32_t station, Evaluation& out) {
  // A circle oriented by its foresights (or an azimuth) points along its
  // zero at the backsight.
  for (std::int32_t g : network_.GroupsWithBacksight(static_cast<std::size_t>(station))) {
    std::int32_t occupied = network_.group(static_cast<std::size_t>(g)).station;
    if (!states_[static_cast<std::size_t>(occupied)].horizontal) continue;
    double zero = 0.0;
    if (!Orientation(static_cast<std::size_t>(g), zero)) {
      out.seen |= kSeenUnoriented;
      continue;
    }
    AddPolar(occupied, zero, network_.PairDistance(occupied, station), false, 0, out);
  }
}

void CandidateEvaluator::AddResections(std::int32_t station, EvaluationMode mode, Evaluation& out) {
  std::vector<TargetSighting> pointings;
  std::vector<std::int32_t> targets;
  std::vector<std::int32_t> observations;
  for (std::int32_t g : network_.GroupsAt(static_cast<std::size_t>(station))) {
    const DirectionGroup& group = network_.group(static_cast<std::size_t>(g));
    pointings.clear();
    targets.clear();
    observations.clear();
    auto add = [&](std::int32_t target, double direction, double distance, std::int32_t obs) {
      if (pointings.size() >= kMaxPointings || target == station) return;
      if (!states_[static_cast<std::size_t>(target)].horizontal) return;
      if (std::find(targets.begin(), targets.end(), target) != targets.end()) return;
      if (mode == EvaluationMode::kCheck && !Independent(obs, station, false)) return;
      pointings.push_back({PointOf(states_[static_cast<std::size_t>(target)]), direction,
                           OnGrid(target, distance)});
      targets.push_back(target);
      observations.push_back(obs);
    };
    // The backsight is the circle's zero.
    add(group.backsight, 0.0, network_.PairDistance(station, group.backsight), 0);
    for (std::int32_t m : network_.GroupMembers(static_cast<std::size_t>(g))) {
      const ObservationRecord& obs = network_.observation(static_cast<std::size_t>(m));
      std::int32_t target = network_.ends(static_cast<std::size_t>(m)).to;
      double distance = HorizontalDistance(obs);
      if (distance <= 0.0) distance = network_.PairDistance(station, target);
      add(target, obs.horizontal_angle, distance, m);
    }

    std::vector<std::size_t> ranged;
    for (std::size_t i = 0; i < pointings.size(); ++i) {
      if (pointings[i].distance > 0.0) ranged.push_back(i);
    }
    bool tried = false;
    std::size_t before = out.positions.size();
    auto add_candidate = [&](const PlanePoint& point, std::size_t i, std::size_t j,
                             std::int32_t third_obs) {
      Candidate c;
      c.point = point;
      c.source = CoordinateSource::kResection;
      c.from_station = targets[i];
      c.second_station = targets[j];
      c.observations = {observations[i], observations[j], third_obs};
      out.positions.push_back(c);
    };
    if (ranged.size() >= 2) {
      for (std::size_t a = 0; a < ranged.size(); ++a) {
        for (std::size_t b = a + 1; b < ranged.size(); ++b) {
          tried = true;
          PlanePoint point;
          double orientation = 0.0;
          if (ResectFromDistances(pointings[ranged[a]], pointings[ranged[b]], kAgreementTolerance,
                                  point, orientation)) {
            add_candidate(point, ranged[a], ranged[b], 0);
          }
        }
      }
    } else if (pointings.size() >= 3) {
      for (std::size_t i = 0; i < pointings.size(); ++i) {
        for (std::size_t j = i + 1; j < pointings.size(); ++j) {
          for (std::size_t k = j + 1; k < pointings.size(); ++k) {
            tried = true;
            const TargetSighting three[3] = {pointings[i], pointings[j], pointings[k]};
            PlanePoint point;
            double orientation = 0.0;
            if (ResectFromDirections(three, point, orientation)) {
              add_candidate(point, i, j, observations[k]);
            }
          }
        }
      }
    }
    if (tried && out.positions.size() == before) out.seen |= kSeenWeakFigure;
  }
}

void CandidateEvaluator::Intersect(Evaluation& out) const {
  if (out.rays.empty()) return;
  std::size_t count = std::min(out.rays.size(), kMaxRays);
  bool tried = false;
  for (std::size_t i = 0; i < count; ++i) {
    for (std::size_t j = i + 1; j < count; ++j) {
      const Ray& first = out.rays[i];
      const Ray& second = out.rays[j];
      if (first.from_station == second.from_station) continue;
      tried = true;
      PlanePoint point;
      if (!IntersectDirections(first.origin, first.azimuth, second.origin, second.azimuth, point)) {
        continue;
      }
      Candidate c;
      c.point = point;
      c.source = CoordinateSource::kIntersection;
      c.from_station = first.from_station;
      c.second_station = second.from_station;
      c.observations = {first.observation, second.observation, 0};
      out.positions.push_back(c);
    }
  }
  DropNonFinite(out);
  if (!out.positions.empty()) return;
  out.seen |= tried ? kSeenWeakFigure : kSeenSingleDirection;
}

}  // namespace trovisk::propagation
