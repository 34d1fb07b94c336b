// Groups of stations close enough to be one point, found without asking.
#include "convert/merge_clusters.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace trovisk {
namespace {

constexpr double kA = 6378137.0;
constexpr double kF = 1.0 / 298.257223563;
constexpr double kE2 = kF * (2.0 - kF);
constexpr double kTolerance = 0.05;
// About one centimetre of latitude, in radians.
constexpr double kCentimetreOfLatitude = 0.01 / 6367000.0;

struct Place {
  const char* name;
  double north, east;  // metres
};

StationList LocalList(const std::vector<Place>& places) {
  StationList list;
  for (const Place& place : places) {
    StationRecord s;
    s.name = place.name;
    s.has_nee = true;
    s.north = place.north;
    s.east = place.east;
    s.elevation = 100.0;
    list.Add(s);
  }
  return list;
}

// A group as "A B C: A-B B-C", stations and then pairs in their order.
std::string Describe(const StationList& list, const MergeCluster& cluster) {
  std::string text;
  for (std::int32_t station : cluster.stations) {
    if (!text.empty()) text += ' ';
    text += std::string(list[static_cast<std::size_t>(station)].name);
  }
  text += ':';
  for (const MergeCluster::Pair& pair : cluster.pairs) {
    text += ' ';
    text += std::string(list[static_cast<std::size_t>(pair.first)].name);
    text += '-';
    text += std::string(list[static_cast<std::size_t>(pair.second)].name);
  }
  return text;
}

std::vector<std::string> DescribeAll(const StationList& list,
                                     const std::vector<MergeCluster>& clusters) {
  std::vector<std::string> described;
  for (const MergeCluster& cluster : clusters) described.push_back(Describe(list, cluster));
  return described;
}

TEST(MergeClusters, StationsLinkedByClosePairsFormOneGroup) {
  struct Case {
    const char* what;
    std::vector<Place> places;
    std::vector<std::string> groups;
  };
  const Case cases[] = {
      {"nothing close", {{"A", 0, 0}, {"B", 1, 0}, {"C", 2, 0}}, {}},
      {"one pair", {{"A", 0, 0}, {"B", 0.01, 0}, {"C", 5, 0}}, {"A B: A-B"}},
      // 4 cm steps: neighbours are close, the ends are not, yet all are one group.
      {"a chain",
       {{"A", 0, 0}, {"B", 0.04, 0}, {"C", 0.08, 0}, {"D", 0.12, 0}},
       {"A B C D: A-B B-C C-D"}},
      {"a mark and three check shots",
       {{"M", 10, 10}, {"CK1", 10.01, 10}, {"CK2", 10, 10.02}, {"CK3", 9.99, 9.99}},
       {"M CK1 CK2 CK3: M-CK1 M-CK2 M-CK3 CK1-CK2 CK1-CK3 CK2-CK3"}},
      // Stations of two marks named in turn: each group keeps to its own.
      {"two groups, interleaved",
       {{"A", 0, 0}, {"P", 50, 0}, {"A2", 0.01, 0}, {"P2", 50.01, 0}, {"A3", 0, 0.04}},
       {"A A2 A3: A-A2 A-A3 A2-A3", "P P2: P-P2"}},
      // Joined late: C links the groups that A-B and D-E started.
      {"two groups joined by a later station",
       {{"A", 0, 0}, {"D", 0.08, 0}, {"B", 0.01, 0}, {"E", 0.09, 0}, {"C", 0.045, 0}},
       {"A D B E C: A-B A-C D-E D-C B-C E-C"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const StationList list = LocalList(c.places);
    EXPECT_EQ(DescribeAll(list, FindMergeClusters(list, kTolerance, kToleranceMode2D, kA, kE2,
                                                  MergeCheck::kLocal)),
              c.groups);
  }
}

TEST(MergeClusters, EveryClosePairBelongsToOneGroupOnly) {
  // A grid of stations 3 cm apart in rows 1 m apart: each row is a chain.
  std::vector<Place> places;
  std::vector<std::string> names;
  for (int i = 0; i < 60; ++i) names.push_back("S" + std::to_string(i));
  for (int i = 0; i < 60; ++i) {
    // Rows are numbered in turn so that no group's stations follow each other.
    places.push_back({names[static_cast<std::size_t>(i)].c_str(), (i % 3) * 1.0, (i / 3) * 0.03});
  }
  const StationList list = LocalList(places);
  const std::vector<MergeCluster> clusters =
      FindMergeClusters(list, kTolerance, kToleranceMode2D, kA, kE2, MergeCheck::kLocal);
  ASSERT_EQ(clusters.size(), 3u);
  std::vector<int> times_seen(list.size() * list.size(), 0);
  for (const MergeCluster& cluster : clusters) {
    EXPECT_EQ(cluster.stations.size(), 20u);
    EXPECT_EQ(cluster.pairs.size(), 19u);  // neighbours in the row only
    for (const MergeCluster::Pair& pair : cluster.pairs) {
      EXPECT_LT(pair.first, pair.second);
      EXPECT_NEAR(pair.separation, 0.03, 1e-9);
      ++times_seen[static_cast<std::size_t>(pair.first) * list.size() +
                   static_cast<std::size_t>(pair.second)];
    }
  }
  for (int seen : times_seen) EXPECT_LE(seen, 1);
}

TEST(MergeClusters, MergedStationsAndUnusableTolerancesGiveNoGroup) {
  struct Case {
    const char* what;
    double tolerance;
    int merged;  // station linked away before the check, 0 for none
    std::vector<std::string> groups;
  };
  const Case cases[] = {
      {"all present", kTolerance, 0, {"A B C: A-B A-C B-C"}},
      {"B merged already", kTolerance, 2, {"A C: A-C"}},
      {"no tolerance", 0.0, 0, {}},
      {"negative tolerance", -1.0, 0, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    StationList list = LocalList({{"A", 0, 0}, {"B", 0.01, 0}, {"C", 0, 0.01}});
    if (c.merged) list[static_cast<std::size_t>(c.merged)].merge_link = 1;
    EXPECT_EQ(DescribeAll(list, FindMergeClusters(list, c.tolerance, kToleranceMode3D, kA, kE2,
                                                  MergeCheck::kLocal)),
              c.groups);
  }
}

TEST(MergeClusters, EachCheckComparesItsOwnCoordinates) {
  // A and B together on the ellipsoid, far apart locally; C and D the other
  // way round.
  StationList list;
  const struct {
    const char* name;
    double north, latitude_cm;
  } stations[] = {{"A", 0.0, 0.0}, {"B", 100.0, 1.0}, {"C", 200.0, 500.0}, {"D", 200.01, 900.0}};
  for (const auto& station : stations) {
    StationRecord s;
    s.name = station.name;
    s.has_nee = s.has_geodetic = true;
    s.north = station.north;
    s.latitude = 0.7 + station.latitude_cm * kCentimetreOfLatitude;
    s.longitude = -1.3;
    s.height = 50.0;
    list.Add(s);
  }
  struct Case {
    MergeCheck check;
    int mode;
    std::vector<std::string> groups;
  };
  const Case cases[] = {
      {MergeCheck::kLocal, kToleranceMode3D, {"C D: C-D"}},
      {MergeCheck::kGeodetic, kToleranceMode3D, {"A B: A-B"}},
      {MergeCheck::kGeodetic, kToleranceMode2D, {"A B: A-B"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.check == MergeCheck::kLocal ? "local" : "geodetic");
    const std::vector<MergeCluster> clusters =
        FindMergeClusters(list, kTolerance, c.mode, kA, kE2, c.check);
    EXPECT_EQ(DescribeAll(list, clusters), c.groups);
    ASSERT_EQ(clusters.size(), 1u);
    ASSERT_EQ(clusters[0].pairs.size(), 1u);
    EXPECT_NEAR(clusters[0].pairs[0].separation, 0.01, 1e-4);  // metres, not rounded away
  }
  // No ellipsoid, no geodetic groups.
  EXPECT_TRUE(FindMergeClusters(list, kTolerance, kToleranceMode3D, 0.0, kE2, MergeCheck::kGeodetic)
                  .empty());
}

}  // namespace
}  // namespace trovisk
