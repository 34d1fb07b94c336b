// Neighbour grid: no pair closer than the reach is ever left out.
#include "convert/neighbour_grid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace trovisk {
namespace {

constexpr std::uint32_t kNoPartner = 0xFFFFFFFFu;

class Lcg {
 public:
  explicit Lcg(std::uint64_t seed) : state_(seed) {}
  double Next() {  // in [0, 1)
    state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<double>(state_ >> 11) * 0x1.0p-53;
  }

 private:
  std::uint64_t state_;
};

// Every pair closer than `reach` (Euclidean over `dims` axes) must be among
// the candidates, and the candidates must be later positions, ascending; a
// point said to have no candidates must have no point that close.
void ExpectNoClosePairMissed(const std::vector<GridPoint>& points, int dims, double reach,
                             const std::vector<std::uint32_t>& anywhere = {}) {
  const NeighbourGrid grid(points, dims, reach, anywhere);
  std::vector<std::uint32_t> candidates;
  for (std::uint32_t i = 0; i < points.size(); ++i) {
    grid.LaterCandidates(i, candidates);
    ASSERT_TRUE(std::is_sorted(candidates.begin(), candidates.end()));
    ASSERT_TRUE(candidates.empty() || candidates.front() > i);
    ASSERT_TRUE(candidates.empty() || grid.MayHaveCandidates(i)) << "point " << i;
    for (std::uint32_t j = i + 1; j < points.size(); ++j) {
      double sum = 0.0;
      for (int d = 0; d < dims; ++d) sum += std::pow(points[j].c[d] - points[i].c[d], 2);
      if (std::sqrt(sum) < reach) {
        ASSERT_TRUE(std::binary_search(candidates.begin(), candidates.end(), j))
            << "pair " << i << ", " << j << " missed";
        ASSERT_TRUE(grid.MayHaveCandidates(j)) << "point " << j;
      }
    }
  }
}

TEST(NeighbourGrid, KeepsEveryPairCloserThanTheReach) {
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
  };
  for (const Case& c : cases) {
    for (int dims : {2, 3}) {
      SCOPED_TRACE(::testing::Message() << c.name << ", " << dims << " axes");
      Lcg random(99);
      std::vector<GridPoint> points;
      for (int i = 0; i < 500; ++i) {
        GridPoint p;
        for (double& v : p.c) v = c.origin + random.Next() * c.spread;
        points.push_back(p);
      }
      ExpectNoClosePairMissed(points, dims, c.reach);
    }
  }
}

TEST(NeighbourGrid, PointsOnCellEdgesAndKeptOutPoints) {
  // A lattice at exactly the reach apart, with copies shifted by a hair:
  // points sit on and either side of cell boundaries.
  std::vector<GridPoint> points;
  const double reach = 0.25;
  for (int i = -4; i <= 4; ++i) {
    for (double hair : {0.0, 1e-12, -1e-12, 0.1249999}) {
      GridPoint p;
      p.c[0] = i * reach + hair;
      p.c[1] = -i * reach * 0.5 - hair;
      p.c[2] = 3.0;
      points.push_back(p);
    }
  }
  GridPoint far;
  far.c[0] = 1e300;
  far.c[1] = -1e300;
  points.push_back(far);
  GridPoint kept_out;  // its coordinates say nothing: everything is a candidate
  kept_out.c[0] = std::numeric_limits<double>::quiet_NaN();
  points.insert(points.begin() + 5, kept_out);
  ExpectNoClosePairMissed(points, 2, reach, {5});
  ExpectNoClosePairMissed(points, 3, reach, {5});

  const NeighbourGrid grid(points, 3, reach, {5});
  std::vector<std::uint32_t> candidates;
  grid.LaterCandidates(5, candidates);
  EXPECT_EQ(candidates.size(), points.size() - 6);
  grid.LaterCandidates(0, candidates);
  EXPECT_TRUE(std::binary_search(candidates.begin(), candidates.end(), 5u));
  grid.LaterCandidates(static_cast<std::uint32_t>(points.size()), candidates);  // past the end
  EXPECT_TRUE(candidates.empty());
}

TEST(NeighbourGrid, LoneLatticePointsHaveNoCandidates) {
  // Points a metre apart on a lattice, in an order that is not the cells'
  // order, and every seventh one with a twin 3.7 cm away (appended after
  // them all). Only twins are closer than the 5 cm reach, and no other point
  // comes near enough to share a cell or a neighbouring cell with a lone one,
  // so exactly the twins may have candidates.
  constexpr double kReach = 0.05;
  constexpr double kOrigin = 12345.0;
  struct Case {
    int dims;
    int side;  // points along each axis of the lattice
    bool with_kept_out;
  };
  const Case cases[] = {{3, 30, false}, {2, 165, false}, {3, 12, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.dims << " axes, side " << c.side);
    std::vector<GridPoint> points;
    const int count = c.dims == 3 ? c.side * c.side * c.side : c.side * c.side;
    for (int i = 0; i < count; ++i) {
      GridPoint p;
      p.c[0] = kOrigin + i % c.side;
      p.c[1] = kOrigin - (i / c.side) % c.side;
      p.c[2] = c.dims == 3 ? kOrigin + i / (c.side * c.side) : 0.0;
      points.push_back(p);
    }
    std::vector<std::uint32_t> partner(points.size() + points.size() / 7 + 1, kNoPartner);
    for (std::uint32_t i = 0; i < static_cast<std::uint32_t>(count); i += 7) {
      GridPoint twin = points[i];
      twin.c[0] += 0.03;
      twin.c[1] -= 0.02;
      twin.c[2] += c.dims == 3 ? 0.01 : 0.0;
      partner[i] = static_cast<std::uint32_t>(points.size());
      partner[points.size()] = i;
      points.push_back(twin);
    }
    std::vector<std::uint32_t> anywhere;
    if (c.with_kept_out) {
      anywhere.push_back(static_cast<std::uint32_t>(points.size()));
      points.push_back(GridPoint{});
    }
    partner.resize(points.size(), kNoPartner);

    const NeighbourGrid grid(points, c.dims, kReach, anywhere);
    std::vector<std::uint32_t> candidates;
    std::uint32_t next = grid.NextThatMayPair(0);
    for (std::uint32_t i = 0; i < points.size(); ++i) {
      const bool may_pair = c.with_kept_out || partner[i] != kNoPartner;
      ASSERT_EQ(grid.MayHaveCandidates(i), may_pair) << "point " << i;
      if (may_pair) {
        ASSERT_EQ(next, i);
        next = grid.NextThatMayPair(i + 1);
      }
      grid.LaterCandidates(i, candidates);
      if (partner[i] != kNoPartner && partner[i] > i) {
        ASSERT_TRUE(std::binary_search(candidates.begin(), candidates.end(), partner[i]))
            << "twins " << i << ", " << partner[i] << " missed";
      }
      if (!c.with_kept_out) {
        ASSERT_LE(candidates.size(), 1u) << "point " << i;
      }
    }
    EXPECT_EQ(next, points.size());
  }
}

TEST(NeighbourGrid, ExtremeReachesStaySafe) {
  std::vector<GridPoint> points(3);
  points[1].c[0] = 1e308;
  points[2].c[0] = -1e308;
  const double reaches[] = {std::numeric_limits<double>::infinity(),
                            std::numeric_limits<double>::max(),
                            1e-320,
                            0.0,
                            -1.0,
                            std::numeric_limits<double>::quiet_NaN()};
  for (double reach : reaches) {
    SCOPED_TRACE(reach);
    const NeighbourGrid grid(points, 3, reach);
    std::vector<std::uint32_t> candidates;
    for (std::uint32_t i = 0; i < 3; ++i) grid.LaterCandidates(i, candidates);
  }
  // An unbounded reach finds every pair.
  const NeighbourGrid grid(points, 3, std::numeric_limits<double>::infinity());
  std::vector<std::uint32_t> candidates;
  grid.LaterCandidates(0, candidates);
  EXPECT_EQ(candidates, (std::vector<std::uint32_t>{1, 2}));
}

TEST(NeighbourGrid, ARebuiltGridAnswersAsANewOne) {
  // One grid built over sets of every shape in turn, large to small and
  // back, must keep nothing of the last set: its answers are those of a
  // grid built for the set alone.
  struct Build {
    const char* name;
    int count;
    int dims;
    double spread;  // metres, of a cluster at survey coordinates
    bool with_kept_out;
  };
  const Build builds[] = {
      {"large, 3 axes", 3000, 3, 2.0, false}, {"small, 2 axes", 40, 2, 0.3, false},
      {"kept-out point", 500, 3, 1.0, true},  {"empty", 0, 3, 1.0, false},
      {"one point", 1, 2, 1.0, false},        {"large again, 2 axes", 2500, 2, 3.0, false},
  };
  constexpr double kReach = 0.05;
  Lcg random(7);
  NeighbourGrid rebuilt;
  std::vector<std::uint32_t> got, expected;
  for (const Build& b : builds) {
    SCOPED_TRACE(b.name);
    std::vector<GridPoint> points(static_cast<std::size_t>(b.count));
    for (GridPoint& p : points) {
      for (double& v : p.c) v = 500000.0 + random.Next() * b.spread;
    }
    std::vector<std::uint32_t> anywhere;
    if (b.with_kept_out) anywhere.push_back(static_cast<std::uint32_t>(b.count / 2));
    rebuilt.Build(points, b.dims, kReach, anywhere);
    const NeighbourGrid fresh(points, b.dims, kReach, anywhere);
    for (std::uint32_t i = 0; i <= points.size(); ++i) {
      ASSERT_EQ(rebuilt.MayHaveCandidates(i), fresh.MayHaveCandidates(i)) << "point " << i;
      ASSERT_EQ(rebuilt.NextThatMayPair(i), fresh.NextThatMayPair(i)) << "point " << i;
      rebuilt.LaterCandidates(i, got);
      fresh.LaterCandidates(i, expected);
      ASSERT_EQ(got, expected) << "point " << i;
    }
  }
}

}  // namespace
}  // namespace trovisk
