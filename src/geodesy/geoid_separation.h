// Geoid separations (ellipsoidal height minus elevation) where the job gives
// both heights of a point, and the separation between such points.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace trovisk {

// Farthest a station may be from the nearest point of known separation and
// still take an interpolated value (metres). The geoid bends a few
// centimetres per kilometre at most in survey country.
inline constexpr double kSeparationReach = 10000.0;

class GeoidSeparations {
 public:
  /// A point's separation: latitude and longitude in radians, metres.
  /// Points within a few metres of one already kept add nothing.
  void Add(double lat, double lon, double separation);

  bool empty() const { return points_.empty(); }
  std::size_t size() const { return points_.size(); }

  /// The separation at a point (radians), weighted by the inverse square of
  /// the distance to the known points within the reach; false when none is
  /// that near.
  bool At(double lat, double lon, double& separation) const;

 private:
  struct Point {
    double lat = 0.0;  // radians
    double lon = 0.0;
    double separation = 0.0;
  };
  std::vector<Point> points_;
  std::unordered_map<std::uint64_t, std::vector<std::uint32_t>> cells_;  // reach-wide cells
  std::unordered_set<std::uint64_t> occupied_;  // the few-metre cells already holding a point
};

}  // namespace trovisk
