// Neighbour grid: no pair closer than the reach is ever left out.
#include "convert/neighbour_grid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <set>
#include <utility>
#include <vector>

namespace trovisk {
namespace {

TEST(NeighbourGrid, VisitsEveryPairCloserThanTheReachOnce) {
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    const char* name;
    double origin;  // where the cluster sits on every axis
    double spread;  // its size
    double reach;
    std::vector<std::uint32_t> anywhere;  // paired with every other point
  };
  const Case cases[] = {
      {"around zero", -0.3, 0.6, 0.05, {}},
      {"survey coordinates, a point kept out", 700000.0, 0.5, 0.05, {7}},
      {"earth-centred", -6378137.0, 0.5, 0.05, {}},
      // Reach near the spacing of doubles there: rounding must not lose pairs.
      {"reach of a few units in the last place", 6378137.0, 1e-7, 3e-9, {}},
      {"spread far wider than the cells can number", 0.0, 1e6, 0.05, {3, 9}},
      {"values near the largest, unbounded reach", -1e307, 1e308, inf, {}},
  };
  for (const Case& c : cases) {
    for (int dims : {2, 3}) {
      SCOPED_TRACE(::testing::Message() << c.name << ", " << dims << " axes");
      std::uint64_t state = 99;
      std::vector<GridPoint> points(400);
      for (GridPoint& p : points) {
        for (double& v : p.c) {
          state = state * 6364136223846793005ULL + 1442695040888963407ULL;
          v = c.origin + static_cast<double>(state >> 11) * 0x1.0p-53 * c.spread;
        }
      }
      for (std::size_t i = 0; i < 40; ++i) {  // twins just inside the reach
        points.push_back(points[i]);
        points.back().c[0] += std::isinf(c.reach) ? 1.0 : c.reach * 0.999;
      }
      std::set<std::pair<std::uint32_t, std::uint32_t>> visited;
      ForEachPairInNeighbouringCells(points, dims, c.reach, c.anywhere,
                                     [&](std::uint32_t first, std::uint32_t second) {
                                       ASSERT_LT(first, second);
                                       ASSERT_TRUE(visited.insert({first, second}).second);
                                     });
      for (std::uint32_t i = 0; i < points.size(); ++i) {
        for (std::uint32_t j = i + 1; j < points.size(); ++j) {
          const double dx = points[j].c[0] - points[i].c[0];
          const double dy = points[j].c[1] - points[i].c[1];
          const double dz = points[j].c[2] - points[i].c[2];
          const double distance = dims == 3 ? std::hypot(dx, dy, dz) : std::hypot(dx, dy);
          const bool kept_out = std::count(c.anywhere.begin(), c.anywhere.end(), i) +
                                    std::count(c.anywhere.begin(), c.anywhere.end(), j) >
                                0;
          if (kept_out || distance < c.reach) {
            ASSERT_TRUE(visited.count({i, j})) << "pair " << i << ", " << j << " missed";
          }
        }
      }
    }
  }
}

}  // namespace
}  // namespace trovisk
