// Inverse-distance weighting of the geoid separations known in the job,
// looked up through cells as wide as the reach so that a query reads only
// the points of the nine cells around it. Distances are taken on a sphere of
// the earth's mean radius, near enough for weights.
#include "geodesy/geoid_separation.h"

#include <cmath>

namespace trovisk {
namespace {

constexpr double kMeanEarthRadius = 6371000.0;
// Points closer than this to one already kept add nothing new (metres).
constexpr double kSamePlace = 5.0;
// A cell holds at most this many points: enough to follow the geoid, few
// enough that a job of a million points stays quick.
constexpr std::size_t kPointsPerCell = 64;

// Cells are bands of latitude `width` metres high, cut into pieces `width`
// metres long along the band's middle parallel.
struct Cell {
  std::int64_t row = 0;
  std::int64_t column = 0;
};

double RowMiddle(std::int64_t row, double angle) {
  return (static_cast<double>(row) + 0.5) * angle;
}

std::int64_t ColumnIn(std::int64_t row, double lon, double angle) {
  return static_cast<std::int64_t>(std::floor(lon * std::cos(RowMiddle(row, angle)) / angle));
}

Cell CellOf(double lat, double lon, double width) {
  const double angle = width / kMeanEarthRadius;
  const auto row = static_cast<std::int64_t>(std::floor(lat / angle));
  return {row, ColumnIn(row, lon, angle)};
}

std::uint64_t Key(std::int64_t row, std::int64_t column) {
  return (static_cast<std::uint64_t>(row) << 32) ^
         (static_cast<std::uint64_t>(column) & 0xffffffffu);
}

// Squared distance (metres) between two nearby points on the mean sphere.
double SquaredDistance(double lat1, double lon1, double lat2, double lon2) {
  const double north = (lat2 - lat1) * kMeanEarthRadius;
  const double east = (lon2 - lon1) * std::cos(0.5 * (lat1 + lat2)) * kMeanEarthRadius;
  return north * north + east * east;
}

}  // namespace

void GeoidSeparations::Add(double lat, double lon, double separation) {
  if (!std::isfinite(lat) || !std::isfinite(lon) || !std::isfinite(separation)) return;
  const Cell near = CellOf(lat, lon, kSamePlace);
  const std::uint64_t place = Key(near.row, near.column);
  if (occupied_.count(place) > 0) return;
  const Cell cell = CellOf(lat, lon, kSeparationReach);
  std::vector<std::uint32_t>& members = cells_[Key(cell.row, cell.column)];
  if (members.size() >= kPointsPerCell) return;
  occupied_.insert(place);
  members.push_back(static_cast<std::uint32_t>(points_.size()));
  points_.push_back({lat, lon, separation});
}

bool GeoidSeparations::At(double lat, double lon, double& separation) const {
  if (points_.empty() || !std::isfinite(lat) || !std::isfinite(lon)) return false;
  const double angle = kSeparationReach / kMeanEarthRadius;
  const Cell here = CellOf(lat, lon, kSeparationReach);
  double weights = 0.0;
  double sum = 0.0;
  for (std::int64_t row = here.row - 1; row <= here.row + 1; ++row) {
    // Each band has its own columns; a point within reach lies in the
    // query's column of that band or the next one either side.
    const std::int64_t column = ColumnIn(row, lon, angle);
    for (std::int64_t c = column - 1; c <= column + 1; ++c) {
      auto members = cells_.find(Key(row, c));
      if (members == cells_.end()) continue;
      for (std::uint32_t index : members->second) {
        const Point& p = points_[index];
        const double d2 = SquaredDistance(lat, lon, p.lat, p.lon);
        if (d2 > kSeparationReach * kSeparationReach) continue;
        if (d2 < 1e-6) {  // on a known point: its own value
          separation = p.separation;
          return true;
        }
        weights += 1.0 / d2;
        sum += p.separation / d2;
      }
    }
  }
  if (weights == 0.0) return false;
  separation = sum / weights;
  return true;
}

}  // namespace trovisk
