// Merge clusters: candidate pairs come from a grid of cells, so each station
// is compared only with those that may lie within the tolerance; the close
// pairs are then joined into groups.
#include "convert/merge_clusters.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numeric>

#include "convert/neighbour_grid.h"
#include "geodesy/ellipsoid.h"

namespace trovisk {
namespace {

// Room above the worked bound on how far apart two stations that are
// together in plan can lie once taken down to a common height.
constexpr double kPlanReachMargin = 1.01;

using ClosePair = MergeCluster::Pair;

// The stations of one check and where the grid places them.
struct CheckPoints {
  explicit CheckPoints(std::size_t most) {
    stations.reserve(most);
    points.reserve(most);
  }
  std::vector<int> stations;  // ascending
  std::vector<GridPoint> points;
  std::vector<std::uint32_t> anywhere;  // positions the grid keeps out of its cells
};

bool AllFinite(const GridPoint& p) {
  return std::isfinite(p.c[0]) && std::isfinite(p.c[1]) && std::isfinite(p.c[2]);
}

// The pairs of the given points whose `separation(first, second)` in metres
// is below the tolerance; the grid coordinates put any two such stations
// within `reach` of each other. Sorted by lower station index, then higher.
template <typename Separation>
std::vector<ClosePair> ClosePairs(const CheckPoints& check, int dims, double reach,
                                  double tolerance_m, Separation separation) {
  std::vector<ClosePair> close;
  ForEachPairInNeighbouringCells(check.points, dims, reach, check.anywhere,
                                 [&](std::uint32_t i, std::uint32_t j) {
                                   const int first = check.stations[i];
                                   const int second = check.stations[j];
                                   const double distance = separation(first, second);
                                   if (distance < tolerance_m) {
                                     close.push_back({first, second, distance});
                                   }
                                 });
  std::sort(close.begin(), close.end(), [](const ClosePair& x, const ClosePair& y) {
    return x.first < y.first || (x.first == y.first && x.second < y.second);
  });
  return close;
}

std::vector<ClosePair> LocalClosePairs(const StationList& stations, double tolerance_m,
                                       bool spatial) {
  CheckPoints check(stations.size());
  for (std::size_t i = 1; i < stations.size(); ++i) {
    const StationRecord& s = stations[i];
    if (!s.has_nee || s.merge_link != kNotMerged) continue;
    const GridPoint p{{s.north, s.east, s.elevation}};
    // A coordinate that is no number is never closer than anything.
    if (!AllFinite(p)) continue;
    check.stations.push_back(static_cast<int>(i));
    check.points.push_back(p);
  }
  return ClosePairs(check, spatial ? 3 : 2, tolerance_m, tolerance_m, [&](int first, int second) {
    const StationRecord& s1 = stations[static_cast<std::size_t>(first)];
    const StationRecord& s2 = stations[static_cast<std::size_t>(second)];
    const double dn = s2.north - s1.north;
    const double de = s2.east - s1.east;
    return spatial ? std::hypot(dn, de, s2.elevation - s1.elevation) : std::hypot(dn, de);
  });
}

std::vector<ClosePair> GeodeticClosePairs(const StationList& stations, double tolerance_m,
                                          bool spatial, double a, double e2) {
  // Geodetic positions mean nothing without an ellipsoid.
  const double least_curvature_radius = a * (1.0 - e2);  // meridian radius at the equator
  if (!(least_curvature_radius > 0.0) || !(e2 >= 0.0) || !std::isfinite(a)) return {};

  // 3D: cells on earth-centred coordinates; the horizon-frame separation is
  // a rotation of their difference, so it has the same length.
  // 2D: two stations one above the other are horizontally together however
  // far apart in height, so the grid takes every station down to one common
  // height, the lowest of them. Stations closer than the tolerance in plan
  // are then within tolerance x (1 + tolerance / least radius) of each other
  // there. Heights more than half an earth radius below the ellipsoid are no
  // survey's; such stations are compared with every other one instead of
  // squeezing the grid towards the centre.
  const double deepest_gridded = -least_curvature_radius / 2.0;
  CheckPoints check(stations.size());
  double grid_height = 0.0;
  bool any = false;
  for (std::size_t i = 1; i < stations.size(); ++i) {
    const StationRecord& s = stations[i];
    if (!s.has_geodetic || s.merge_link != kNotMerged) continue;
    if (spatial) {
      GridPoint p;
      GeodeticToEcef(a, e2, s.latitude, s.longitude, s.height, p.c[0], p.c[1], p.c[2]);
      if (!AllFinite(p) || !std::isfinite(s.height)) continue;
      check.stations.push_back(static_cast<int>(i));
      check.points.push_back(p);
      continue;
    }
    // In plan the common height is known only at the end: keep the geodetic
    // coordinates for now.
    check.stations.push_back(static_cast<int>(i));
    check.points.push_back({{s.latitude, s.longitude, s.height}});
    if (s.height >= deepest_gridded) {
      grid_height = any ? std::min(grid_height, s.height) : s.height;
      any = true;
    }
  }
  if (!spatial) {
    // Down to the common height, but for stations too deep for the grid.
    std::size_t kept = 0;
    for (std::size_t k = 0; k < check.points.size(); ++k) {
      const GridPoint geodetic = check.points[k];
      const double height = geodetic.c[2];
      GridPoint p;
      const bool deep = height < deepest_gridded;
      GeodeticToEcef(a, e2, geodetic.c[0], geodetic.c[1], deep ? height : grid_height, p.c[0],
                     p.c[1], p.c[2]);
      if (!AllFinite(p) || !std::isfinite(height)) continue;
      if (deep) check.anywhere.push_back(static_cast<std::uint32_t>(kept));
      check.stations[kept] = check.stations[k];
      check.points[kept++] = p;
    }
    check.stations.resize(kept);
    check.points.resize(kept);
  }
  const double reach =
      spatial ? tolerance_m
              : tolerance_m * (1.0 + tolerance_m / least_curvature_radius) * kPlanReachMargin;
  return ClosePairs(check, 3, reach, tolerance_m, [&](int first, int second) {
    const StationRecord& s1 = stations[static_cast<std::size_t>(first)];
    const StationRecord& s2 = stations[static_cast<std::size_t>(second)];
    double e1, e2_out, n1, n2, u1, u2;
    MutualLocalOffsets(a, e2, s1.latitude, s1.longitude, s1.height, s2.latitude, s2.longitude,
                       s2.height, e1, e2_out, n1, n2, u1, u2);
    // Measured in the horizon frame of the lower-numbered station.
    return spatial ? std::hypot(e1, n1, u1) : std::hypot(e1, n1);
  });
}

// The representative of a station's group, shortening the path on the way.
std::int32_t GroupOf(std::vector<std::int32_t>& parent, std::int32_t station) {
  while (parent[static_cast<std::size_t>(station)] != station) {
    std::int32_t& up = parent[static_cast<std::size_t>(station)];
    up = parent[static_cast<std::size_t>(up)];
    station = up;
  }
  return station;
}

// The sorted close pairs joined into groups, in the order of their first pair.
std::vector<MergeCluster> GroupPairs(const std::vector<ClosePair>& close, std::size_t stations) {
  std::vector<MergeCluster> clusters;
  if (close.empty()) return clusters;
  std::vector<std::int32_t> parent(stations);
  std::iota(parent.begin(), parent.end(), 0);
  for (const ClosePair& pair : close) {
    const std::int32_t x = GroupOf(parent, pair.first);
    const std::int32_t y = GroupOf(parent, pair.second);
    if (x != y) parent[static_cast<std::size_t>(std::max(x, y))] = std::min(x, y);
  }
  constexpr std::int32_t kNoCluster = -1;
  std::vector<std::int32_t> cluster_of_group(stations, kNoCluster);
  for (const ClosePair& pair : close) {
    std::int32_t& cluster = cluster_of_group[static_cast<std::size_t>(GroupOf(parent, pair.first))];
    if (cluster == kNoCluster) {
      cluster = static_cast<std::int32_t>(clusters.size());
      clusters.emplace_back();
    }
    MergeCluster& group = clusters[static_cast<std::size_t>(cluster)];
    group.pairs.push_back(pair);
    group.stations.push_back(pair.first);
    group.stations.push_back(pair.second);
  }
  for (MergeCluster& group : clusters) {
    std::sort(group.stations.begin(), group.stations.end());
    group.stations.erase(std::unique(group.stations.begin(), group.stations.end()),
                         group.stations.end());
  }
  return clusters;
}

}  // namespace

std::vector<MergeCluster> FindMergeClusters(const StationList& stations, double tolerance_m,
                                            int tolerance_mode, double a, double e2,
                                            MergeCheck check) {
  if (!(tolerance_m > 0.0)) return {};  // also NaN
  const bool spatial = tolerance_mode != kToleranceMode2D;
  const std::vector<ClosePair> close =
      check == MergeCheck::kLocal ? LocalClosePairs(stations, tolerance_m, spatial)
                                  : GeodeticClosePairs(stations, tolerance_m, spatial, a, e2);
  return GroupPairs(close, stations.size());
}

}  // namespace trovisk
