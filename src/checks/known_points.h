// Backsight checks and check shots: pointings between stations whose
// coordinates are known, compared with what the coordinates say.
#pragma once

#include <cstdint>
#include <vector>

#include "checks/check_finding.h"
#include "checks/check_tolerances.h"
#include "rw5/survey_data.h"

namespace trovisk {

// A station's north, east and elevation as the file gave them (metres).
struct KnownPoint {
  double north = 0.0, east = 0.0, elevation = 0.0;
};

// The stations' coordinates by index, taken right after reading: before the
// approximate coordinates compute or carry any, these are the file's.
class KnownCoordinates {
 public:
  KnownCoordinates() = default;
  explicit KnownCoordinates(const StationList& stations);

  bool Has(int index) const {
    return index > 0 && static_cast<std::size_t>(index) < slot_.size() &&
           slot_[static_cast<std::size_t>(index)] >= 0;
  }
  // The coordinates of a station that Has them.
  const KnownPoint& At(int index) const {
    return points_[static_cast<std::size_t>(slot_[static_cast<std::size_t>(index)])];
  }
  // The known stations' indices, ascending.
  const std::vector<int>& Indices() const { return indices_; }

  // How a ground distance compares with these coordinates: on a known map
  // grid, the grid's scale times the elevation factor over the job; 1 when
  // the coordinates are taken as a plane.
  double GroundToGrid() const { return ground_to_grid_; }
  void SetGroundToGrid(double factor) { ground_to_grid_ = factor; }

 private:
  std::vector<std::int32_t> slot_;  // by station index: into points_, -1 for none
  std::vector<KnownPoint> points_;
  std::vector<int> indices_;
  double ground_to_grid_ = 1.0;
};

inline KnownCoordinates KnownStations(const StationList& stations) {
  return KnownCoordinates(stations);
}

// Every measured pointing from a known station to another known one: its
// horizontal angle (when the backsight is known too), horizontal distance
// and mark-to-mark height difference against the values inverted from the
// coordinates. One finding each, flagged beyond the tolerances; those within
// them only when `keep_passing` (a report lists every check).
std::vector<CheckFinding> CheckAgainstKnownCoordinates(const SurveyData& data,
                                                       const KnownCoordinates& known,
                                                       const CheckTolerances& tolerances,
                                                       bool keep_passing);

}  // namespace trovisk
