// Every determination the observations give for one station from the
// stations already fixed: polar points, GPS ends, levelled heights, and the
// resections and intersections tried when nothing simpler reaches it.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "approx/propagation_network.h"
#include "approx/station_report.h"
#include "geodesy/local_frame.h"
#include "geodesy/plane_geometry.h"

namespace trovisk::propagation {

// What the propagation knows of one station.
struct StationState {
  double north = 0.0;  // metres, local system
  double east = 0.0;
  double elevation = 0.0;
  bool horizontal = false;         // north and east fixed
  bool vertical = false;           // elevation fixed
  bool assumed_elevation = false;  // elevation taken from a neighbour, not measured
  bool initial = false;            // fixed before propagation (file or seed)
  bool file_geodetic = false;      // the file gave finite geodetic values (in its record)
  // For the wave running: in its list of stations to look at; north and east,
  // or the elevation, decided by it (they count as fixed at its end).
  bool queued = false;
  bool new_position = false;
  bool new_elevation = false;
};

// One determination of a station's position or elevation.
struct Candidate {
  PlanePoint point;
  double elevation = 0.0;
  CoordinateSource source = CoordinateSource::kNone;
  std::int32_t from_station = 0;
  std::int32_t second_station = 0;
  std::array<std::int32_t, 3> observations{};  // observation indices used, 0 = none
};

// A direction to the station from a fixed, oriented station, without a distance.
struct Ray {
  PlanePoint origin;
  double azimuth = 0.0;
  std::int32_t from_station = 0;
  std::int32_t observation = 0;
};

// What was seen while looking for determinations, for explaining a failure.
enum SeenFlag : unsigned {
  kSeenUnoriented = 1u << 0,        // an angle from a fixed station that has no orientation
  kSeenSingleDirection = 1u << 1,   // one oriented direction without a distance
  kSeenWeakFigure = 1u << 2,        // an intersection or resection rejected for its geometry
  kSeenDistance = 1u << 3,          // a distance to a fixed station without a direction
  kSeenVertical = 1u << 4,          // a height reached it
  kSeenGpsWithoutHeight = 1u << 5,  // a GPS vector from a station without an elevation
};

struct Evaluation {
  std::vector<Candidate> positions;
  std::vector<Ray> rays;
  std::vector<Candidate> elevations;
  unsigned seen = 0;
  void Clear();
};

enum class EvaluationMode {
  kPropagate,  // every determination from the fixed stations
  kCheck,      // only those independent of the station's own fixing
};

class CandidateEvaluator {
 public:
  CandidateEvaluator(const PropagationNetwork& network, const std::vector<StationState>& states,
                     const LocalFrame& frame);

  // Marks that the station states changed, so kept orientations are stale.
  void NextVersion() { ++version_; }
  // For the check: the station whose position (elevation) each observation
  // helped fix, 0 when none; determinations through another station's fixing
  // observations are not independent.
  void SetFixingObservations(const std::vector<std::int32_t>* position,
                             const std::vector<std::int32_t>* elevation);

  /// Azimuth of the zero of a direction group's circle; false while its
  /// station is not fixed or nothing orients it.
  bool Orientation(std::size_t group, double& azimuth);

  /// Collects the determinations of `station`'s position (when `position`)
  /// and elevation (when `elevation`).
  void Evaluate(std::int32_t station, EvaluationMode mode, bool position, bool elevation,
                Evaluation& out);
  /// Intersections of the collected rays, used when no position was found.
  void Intersect(Evaluation& out) const;

 private:
  // What the instrument at the group's station was oriented on: the azimuth
  // to its backsight (unless that is `passed_over`, or not fixed) and the
  // azimuths measured along the backsight line.
  std::vector<double> BacksightAzimuths(const DirectionGroup& g, std::int32_t passed_over) const;
  bool OrientationForCheck(std::size_t group, std::int32_t station, double& azimuth) const;
  bool Independent(std::int32_t observation, std::int32_t station, bool vertical) const;
  void AddFromObservation(std::int32_t station, std::int32_t obs_index, EvaluationMode mode,
                          bool position, bool elevation, Evaluation& out);
  void AddElevation(std::int32_t station, std::int32_t obs_index, EvaluationMode mode,
                    Evaluation& out);
  void AddPolar(std::int32_t from, double azimuth, double distance, bool reverse,
                std::int32_t obs_index, Evaluation& out) const;
  void AddGps(std::int32_t obs_index, bool reverse, Evaluation& out) const;
  // A ground distance measured near a fixed station as a grid distance.
  double OnGrid(std::int32_t near_station, double ground) const;
  // Earth-centred position of a fixed station, metres.
  void EcefOf(std::int32_t station, double& x, double& y, double& z) const;
  void AddBacksightRays(std::int32_t station, Evaluation& out);
  void AddResections(std::int32_t station, EvaluationMode mode, Evaluation& out);

  const PropagationNetwork& network_;
  const std::vector<StationState>& states_;
  const LocalFrame& frame_;
  const std::vector<std::int32_t>* fixing_position_ = nullptr;
  const std::vector<std::int32_t>* fixing_elevation_ = nullptr;
  // A group's orientation, kept until the station states change (the
  // version moves on at the end of every wave), as each pointing read on the
  // circle asks for it. Saves 6% of the 1M-record conversion with
  // approximate coordinates: 1.57 s against 1.67 s worked out anew each time.
  int version_ = 1;
  struct CachedOrientation {
    int version = 0;
    bool ok = false;
    double azimuth = 0.0;
  };
  std::vector<CachedOrientation> orientation_cache_;
};

}  // namespace trovisk::propagation
