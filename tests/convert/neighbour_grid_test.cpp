// Neighbour grid: no pair closer than the reach is ever left out.
#include "convert/neighbour_grid.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <set>
#include <utility>
#include <vector>

namespace trovisk {
namespace {

using Pairs = std::set<std::pair<std::uint32_t, std::uint32_t>>;

// The pairs visited; each must come once, lower position first.
Pairs Visited(const std::vector<GridPoint>& points, int dims, double reach,
              const std::vector<std::uint32_t>& anywhere = {}) {
  Pairs pairs;
  ForEachPairInNeighbouringCells(
      points, dims, reach, anywhere, [&](std::uint32_t first, std::uint32_t second) {
        EXPECT_LT(first, second);
        EXPECT_TRUE(pairs.insert({first, second}).second) << first << ", " << second << " twice";
      });
  return pairs;
}

TEST(NeighbourGrid, VisitsEveryPairCloserThanTheReach) {
  struct Case {
    const char* name;
    double origin;  // where the cluster sits on every axis
    double spread;  // its size
    double reach;
  };
  const Case cases[] = {
      {"around zero", -0.3, 0.6, 0.05},
      {"survey coordinates", 700000.0, 0.5, 0.05},
      {"earth-centred", -6378137.0, 0.5, 0.05},
      // Reach near the spacing of doubles there: rounding must not lose pairs.
      {"reach of a few units in the last place", 6378137.0, 1e-7, 3e-9},
      {"reach larger than the cluster", 12.0, 1.0, 5.0},
      {"cluster far wider than the cells can number", 0.0, 1e6, 0.05},
  };
  for (const Case& c : cases) {
    for (int dims : {2, 3}) {
      SCOPED_TRACE(::testing::Message() << c.name << ", " << dims << " axes");
      std::uint64_t state = 99;
      std::vector<GridPoint> points;
      for (int i = 0; i < 500; ++i) {
        GridPoint p;
        for (double& v : p.c) {
          state = state * 6364136223846793005ULL + 1442695040888963407ULL;
          v = c.origin + static_cast<double>(state >> 11) * 0x1.0p-53 * c.spread;
        }
        points.push_back(p);
      }
      // Twins just inside the reach, so that close pairs exist at every spread.
      for (int i = 0; i < 50; ++i) {
        GridPoint twin = points[static_cast<std::size_t>(i)];
        twin.c[0] += c.reach * 0.999;
        points.push_back(twin);
      }
      const Pairs visited = Visited(points, dims, c.reach);
      for (std::uint32_t i = 0; i < points.size(); ++i) {
        for (std::uint32_t j = i + 1; j < points.size(); ++j) {
          double sum = 0.0;
          for (int d = 0; d < dims; ++d) sum += std::pow(points[j].c[d] - points[i].c[d], 2);
          if (std::sqrt(sum) < c.reach) {
            ASSERT_TRUE(visited.count({i, j})) << "pair " << i << ", " << j << " missed";
          }
        }
      }
    }
  }
}

TEST(NeighbourGrid, PointsKeptOutAndExtremeValues) {
  const double inf = std::numeric_limits<double>::infinity();
  std::vector<GridPoint> points(4);
  points[1].c[0] = 1e308;
  points[2].c[0] = -1e308;
  points[3].c[0] = 0.01;
  const Pairs every = {{0, 1}, {0, 2}, {0, 3}, {1, 2}, {1, 3}, {2, 3}};
  struct Case {
    const char* name;
    double reach;
    std::vector<std::uint32_t> anywhere;
    Pairs needed;
  };
  const Case cases[] = {
      {"the near pair", 0.05, {}, {{0, 3}}},
      {"unbounded reach: every pair", inf, {}, every},
      {"largest reach: every pair", std::numeric_limits<double>::max(), {}, every},
      {"kept out: paired with every other point", 0.05, {1}, {{0, 1}, {0, 3}, {1, 2}, {1, 3}}},
      {"two kept out: their pair too", 0.05, {1, 2}, every},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Pairs visited = Visited(points, 3, c.reach, c.anywhere);
    for (const auto& pair : c.needed) {
      EXPECT_TRUE(visited.count(pair)) << pair.first << ", " << pair.second << " missed";
    }
  }
  EXPECT_TRUE(Visited({}, 2, 0.05).empty());
}

}  // namespace
}  // namespace trovisk
