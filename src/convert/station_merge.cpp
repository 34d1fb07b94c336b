// Station merge: candidate pairs come from a grid of cells, so each station
// is compared only with those that may lie within the tolerance.
#include "convert/station_merge.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "convert/neighbour_grid.h"
#include "geodesy/angles.h"
#include "geodesy/ellipsoid.h"

namespace trovisk {
namespace {

// Separations are shown to the millimetre.
constexpr int kShownDecimals = 3;
// Room above the worked bound on how far apart two stations that are
// together in plan can lie once taken down to a common height.
constexpr double kPlanReachMargin = 1.01;

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

// A pair of stations of a check closer than the tolerance, first the lower index.
struct ClosePair {
  int first = 0;
  int second = 0;
  double separation = 0.0;  // metres
};

bool IsMerged(const StationList& stations, int index) {
  return stations[static_cast<std::size_t>(index)].merge_link != kNotMerged;
}

MergeCandidate CandidateOf(const StationList& stations, int index) {
  const StationRecord& station = stations[static_cast<std::size_t>(index)];
  MergeCandidate candidate;
  candidate.name = station.name;
  candidate.description = stations.Description(static_cast<std::size_t>(index));
  candidate.north = station.north;
  candidate.east = station.east;
  candidate.elevation = station.elevation;
  return candidate;
}

std::uint64_t PairKey(int first, int second) {
  return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(first)) << 32) |
         static_cast<std::uint32_t>(second);
}

// Offers the pair and applies the answer; true when the user cancelled.
bool OfferPair(StationList& stations, int first, int second, double separation, bool geodetic,
               UserInterface& ui, DeclinedMerges* declined) {
  if (declined && declined->count(PairKey(first, second))) return false;
  MergeOffer offer;
  offer.first = CandidateOf(stations, first);
  offer.second = CandidateOf(stations, second);
  offer.geodetic = geodetic;
  offer.separation = RoundToDecimals(separation, kShownDecimals);
  const MergeAnswer answer = ui.AskMerge(offer);
  switch (answer.decision) {
    case MergeDecision::kCancel:
      return true;
    case MergeDecision::kSame:
      // The station not kept takes no further part.
      if (answer.keep_first) {
        stations[static_cast<std::size_t>(second)].merge_link = first;
      } else {
        stations[static_cast<std::size_t>(first)].merge_link = second;
      }
      break;
    case MergeDecision::kDifferent:
      if (declined) declined->insert(PairKey(first, second));
      break;
  }
  return false;
}

// Runs one check over the given points, whose grid coordinates put any two
// stations closer than the tolerance within `reach` of each other;
// `separation(first, second)` is the distance in metres that is compared
// with the tolerance. The close pairs are offered by lower station index and
// then higher; a pair with a station merged meanwhile is passed over.
template <typename Separation>
bool RunCheck(StationList& stations, const CheckPoints& check, int dims, double reach,
              double tolerance_m, bool geodetic, UserInterface& ui, DeclinedMerges* declined,
              Separation separation) {
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
  for (const ClosePair& pair : close) {
    if (IsMerged(stations, pair.first) || IsMerged(stations, pair.second)) continue;
    if (OfferPair(stations, pair.first, pair.second, pair.separation, geodetic, ui, declined)) {
      return true;
    }
  }
  return false;
}

bool AllFinite(const GridPoint& p) {
  return std::isfinite(p.c[0]) && std::isfinite(p.c[1]) && std::isfinite(p.c[2]);
}

bool CheckLocalCoordinates(StationList& stations, double tolerance_m, bool spatial,
                           UserInterface& ui, DeclinedMerges* declined) {
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
  return RunCheck(stations, check, spatial ? 3 : 2, tolerance_m, tolerance_m, false, ui, declined,
                  [&](int first, int second) {
                    const StationRecord& s1 = stations[static_cast<std::size_t>(first)];
                    const StationRecord& s2 = stations[static_cast<std::size_t>(second)];
                    const double dn = s2.north - s1.north;
                    const double de = s2.east - s1.east;
                    return spatial ? std::hypot(dn, de, s2.elevation - s1.elevation)
                                   : std::hypot(dn, de);
                  });
}

bool CheckGeodeticCoordinates(StationList& stations, double tolerance_m, bool spatial, double a,
                              double e2, UserInterface& ui, DeclinedMerges* declined) {
  // Geodetic positions mean nothing without an ellipsoid.
  const double least_curvature_radius = a * (1.0 - e2);  // meridian radius at the equator
  if (!(least_curvature_radius > 0.0) || !(e2 >= 0.0) || !std::isfinite(a)) return false;

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
  return RunCheck(stations, check, 3, reach, tolerance_m, true, ui, declined,
                  [&](int first, int second) {
                    const StationRecord& s1 = stations[static_cast<std::size_t>(first)];
                    const StationRecord& s2 = stations[static_cast<std::size_t>(second)];
                    double e1, e2_out, n1, n2, u1, u2;
                    MutualLocalOffsets(a, e2, s1.latitude, s1.longitude, s1.height, s2.latitude,
                                       s2.longitude, s2.height, e1, e2_out, n1, n2, u1, u2);
                    // Measured in the horizon frame of the lower-numbered station.
                    return spatial ? std::hypot(e1, n1, u1) : std::hypot(e1, n1);
                  });
}

}  // namespace

bool MergeNearbyStations(StationList& stations, double tolerance_m, int tolerance_mode, double a,
                         double e2, UserInterface& ui, DeclinedMerges* declined) {
  if (!(tolerance_m > 0.0)) return false;  // also NaN
  const bool spatial = tolerance_mode != kToleranceMode2D;
  if (CheckLocalCoordinates(stations, tolerance_m, spatial, ui, declined)) return true;
  return CheckGeodeticCoordinates(stations, tolerance_m, spatial, a, e2, ui, declined);
}

}  // namespace trovisk
