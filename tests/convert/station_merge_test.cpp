// Station merge: which pairs are offered, in what order, and what the answers do.
#include "convert/station_merge.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <string>
#include <utility>
#include <vector>

#include "geodesy/ellipsoid.h"
#include "support/scripted_ui.h"

namespace trovisk {
namespace {

using testing::ScriptedUi;

constexpr double kA = 6378137.0;
constexpr double kF = 1.0 / 298.257223563;
constexpr double kE2 = kF * (2.0 - kF);
constexpr double kTolerance = 0.05;
constexpr double kPi = std::numbers::pi;

StationRecord Local(const std::string& name, double north, double east, double elevation) {
  StationRecord s;
  s.name = name;
  s.has_nee = true;
  s.north = north;
  s.east = east;
  s.elevation = elevation;
  return s;
}

StationRecord Geodetic(const std::string& name, double lat, double lon, double h) {
  StationRecord s;
  s.name = name;
  s.has_geodetic = true;
  s.latitude = lat;
  s.longitude = lon;
  s.height = h;
  return s;
}

StationList ListOf(const std::vector<StationRecord>& records) {
  StationList list;
  for (const StationRecord& r : records) list.Add(r);
  return list;
}

// The offered pairs as "first-second" names.
std::vector<std::string> OfferedPairs(const ScriptedUi& ui) {
  std::vector<std::string> pairs;
  for (const MergeOffer& offer : ui.merge_offers) {
    pairs.push_back(offer.first.name + "-" + offer.second.name);
  }
  return pairs;
}

MergeAnswer Same(bool keep_first) { return {MergeDecision::kSame, keep_first}; }

TEST(StationMerge, HorizontalOrSpatialDistanceByMode) {
  // 3 cm apart horizontally, 4 cm in elevation: 5 cm in space.
  struct Case {
    int mode;
    double tolerance;
    bool offered;
    double separation;
  };
  const Case cases[] = {
      {kToleranceMode2D, 0.04, true, 0.03},
      {kToleranceMode3D, 0.04, false, 0.0},
      {kToleranceMode3D, 0.051, true, 0.05},
      {kToleranceMode2D, 0.02, false, 0.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "mode " << c.mode << " tolerance " << c.tolerance);
    StationList stations =
        ListOf({Local("A", 1000.0, 2000.0, 50.0), Local("B", 1000.0, 2000.03, 50.04)});
    ScriptedUi ui;
    EXPECT_FALSE(MergeNearbyStations(stations, c.tolerance, c.mode, kA, kE2, ui));
    ASSERT_EQ(ui.merge_offers.size(), c.offered ? 1u : 0u);
    if (c.offered) {
      EXPECT_EQ(ui.merge_offers[0].separation, c.separation);
      EXPECT_FALSE(ui.merge_offers[0].geodetic);
    }
  }
}

TEST(StationMerge, OnlyStrictlyCloserThanTheTolerance) {
  // A 3-4-5 triangle: the distance is exactly 5 in binary.
  struct Case {
    double tolerance;
    bool offered;
  };
  const Case cases[] = {{5.0, false}, {std::nextafter(5.0, 6.0), true}, {4.999, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tolerance);
    StationList stations = ListOf({Local("A", 100.0, 200.0, 0.0), Local("B", 104.0, 203.0, 0.0)});
    ScriptedUi ui;
    MergeNearbyStations(stations, c.tolerance, kToleranceMode2D, kA, kE2, ui);
    EXPECT_EQ(ui.merge_offers.size(), c.offered ? 1u : 0u);
  }
}

TEST(StationMerge, OfferShowsBothStations) {
  StationList stations =
      ListOf({Local("CP12", 5000.125, 3000.25, 101.5), Local("12", 5000.1371, 3000.25, 101.5)});
  stations.SetDescription(1, "IRON PIN");
  stations.SetDescription(2, "PK NAIL");
  ScriptedUi ui;
  MergeNearbyStations(stations, kTolerance, kToleranceMode3D, kA, kE2, ui);
  ASSERT_EQ(ui.merge_offers.size(), 1u);
  const MergeOffer& offer = ui.merge_offers[0];
  EXPECT_EQ(offer.first.name, "CP12");
  EXPECT_EQ(offer.first.description, "IRON PIN");
  EXPECT_EQ(offer.first.north, 5000.125);
  EXPECT_EQ(offer.first.east, 3000.25);
  EXPECT_EQ(offer.first.elevation, 101.5);
  EXPECT_EQ(offer.second.name, "12");
  EXPECT_EQ(offer.second.description, "PK NAIL");
  EXPECT_EQ(offer.second.north, 5000.1371);
  EXPECT_EQ(offer.separation, 0.012);  // 12.1 mm shown to the millimetre
}

TEST(StationMerge, AnswersDecideWhichStationSurvives) {
  // Three stations within a centimetre of each other.
  struct Case {
    const char* name;
    std::vector<MergeAnswer> answers;
    std::vector<std::string> offered;
    std::vector<int> resolved;  // Resolve of stations 1, 2, 3
  };
  const Case cases[] = {
      {"keep the first each time", {Same(true), Same(true)}, {"A-B", "A-C"}, {1, 1, 1}},
      // A goes into B and takes no further part; B then meets C.
      {"keep the second", {Same(false), Same(true)}, {"A-B", "B-C"}, {2, 2, 2}},
      {"all different", {}, {"A-B", "A-C", "B-C"}, {1, 2, 3}},
      {"different then same",
       {{MergeDecision::kDifferent, true}, Same(false)},
       {"A-B", "A-C", "B-C"},
       {3, 2, 3}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StationList stations = ListOf({Local("A", 10.0, 10.0, 1.0), Local("B", 10.004, 10.0, 1.0),
                                   Local("C", 10.0, 10.006, 1.0)});
    ScriptedUi ui;
    ui.merge_answers.assign(c.answers.begin(), c.answers.end());
    EXPECT_FALSE(MergeNearbyStations(stations, kTolerance, kToleranceMode3D, kA, kE2, ui));
    EXPECT_EQ(OfferedPairs(ui), c.offered);
    for (int i = 1; i <= 3; ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(stations.Resolve(i), c.resolved[static_cast<std::size_t>(i - 1)]);
    }
  }
}

TEST(StationMerge, CancelStopsBothChecksAtOnce) {
  // Every station is close to the others both locally and on the ellipsoid.
  const double lat = 0.8, lon = -2.1;
  std::vector<StationRecord> records;
  for (const char* name : {"A", "B", "C"}) {
    StationRecord s = Local(name, 500.0, 500.0, 20.0);
    s.has_geodetic = true;
    s.latitude = lat;
    s.longitude = lon;
    s.height = 20.0;
    records.push_back(s);
  }
  for (int cancel_at = 0; cancel_at < 4; ++cancel_at) {
    SCOPED_TRACE(cancel_at);
    StationList stations = ListOf(records);
    ScriptedUi ui;
    for (int i = 0; i < cancel_at; ++i) ui.merge_answers.push_back({});
    ui.merge_answers.push_back({MergeDecision::kCancel, true});
    EXPECT_TRUE(MergeNearbyStations(stations, kTolerance, kToleranceMode3D, kA, kE2, ui));
    EXPECT_EQ(ui.merge_offers.size(), static_cast<std::size_t>(cancel_at + 1));
    // The fourth offer is the first of the geodetic check.
    EXPECT_EQ(ui.merge_offers.back().geodetic, cancel_at == 3);
    for (int i = 1; i <= 3; ++i) EXPECT_EQ(stations.Resolve(i), i);
  }
}

TEST(StationMerge, MergedStationsAreNotOfferedAgain) {
  StationRecord a = Local("A", 0.0, 0.0, 0.0);
  StationRecord b = Local("B", 0.01, 0.0, 0.0);
  StationRecord c = Local("C", 0.0, 0.01, 0.0);
  for (StationRecord* s : {&a, &b, &c}) {
    s->has_geodetic = true;
    s->latitude = 0.5;
    s->longitude = 0.5;
  }
  b.latitude += 1e-9;  // about 6 mm north of A and C
  StationList stations = ListOf({a, b, c});
  ScriptedUi ui;
  // Local check: B goes into A, A and C are different. The geodetic check
  // then offers only A-C: B took no part.
  ui.merge_answers = {Same(true), {}, {}};
  EXPECT_FALSE(MergeNearbyStations(stations, kTolerance, kToleranceMode3D, kA, kE2, ui));
  EXPECT_EQ(OfferedPairs(ui), (std::vector<std::string>{"A-B", "A-C", "A-C"}));
  EXPECT_TRUE(ui.merge_offers[2].geodetic);

  // A second run, as after approximate coordinates: B stays out, and a
  // survivor of the first run can now be merged in turn.
  ScriptedUi again;
  again.merge_answers = {Same(false)};
  EXPECT_FALSE(MergeNearbyStations(stations, kTolerance, kToleranceMode3D, kA, kE2, again));
  EXPECT_EQ(OfferedPairs(again), (std::vector<std::string>{"A-C"}));
  EXPECT_EQ(stations.Resolve(2), 3);  // B -> A -> C
  EXPECT_EQ(stations.Resolve(1), 3);
}

TEST(StationMerge, GeodeticCheckMeasuresInMetres) {
  // One centimetre due north at 45 degrees, through the meridian radius of
  // curvature M = a (1 - e2) / (1 - e2 sin^2)^1.5.
  const double lat = kPi / 4.0;
  const double m = kA * (1.0 - kE2) / std::pow(1.0 - kE2 * 0.5, 1.5);
  const double dlat = 0.01 / m;
  struct Case {
    int mode;
    double dh;
    bool offered;
  };
  const Case cases[] = {
      {kToleranceMode2D, 0.0, true},
      {kToleranceMode3D, 0.0, true},
      // Higher up: still one point in plan, however far above.
      {kToleranceMode2D, 1.0, true},
      {kToleranceMode3D, 1.0, false},
      {kToleranceMode2D, 2500.0, true},
      {kToleranceMode2D, -600.0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "mode " << c.mode << " dh " << c.dh);
    StationList stations =
        ListOf({Geodetic("N1", lat, -1.2, 150.0), Geodetic("N2", lat + dlat, -1.2, 150.0 + c.dh)});
    ScriptedUi ui;
    EXPECT_FALSE(MergeNearbyStations(stations, kTolerance, c.mode, kA, kE2, ui));
    ASSERT_EQ(ui.merge_offers.size(), c.offered ? 1u : 0u);
    if (c.offered) {
      EXPECT_TRUE(ui.merge_offers[0].geodetic);
      EXPECT_EQ(ui.merge_offers[0].separation, 0.01);
    }
  }
}

TEST(StationMerge, UnusableTolerancesAndCoordinatesStaySafe) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  // A and B coincide; C is far; D has no coordinates that are numbers.
  auto make = [&] {
    StationList stations = ListOf({Local("A", 1.0, 1.0, 1.0), Local("B", 1.0, 1.0, 1.0),
                                   Local("C", 1e300, -1e300, 5.0), Local("D", nan, 0.0, inf)});
    StationRecord e;  // coordinates of zero, but not known
    e.name = "E";
    stations.Add(e);
    return stations;
  };
  struct Case {
    double tolerance;
    std::vector<std::string> offered;
  };
  const Case cases[] = {
      {0.0, {}},
      {-1.0, {}},
      {nan, {}},
      {1e-300, {"A-B"}},
      {kTolerance, {"A-B"}},
      {1e299, {"A-B"}},
      // Everything with coordinates is close to everything else.
      {1e308, {"A-B", "A-C", "B-C"}},
      {std::numeric_limits<double>::max(), {"A-B", "A-C", "B-C"}},
      {inf, {"A-B", "A-C", "B-C"}},
  };
  for (const Case& c : cases) {
    for (int mode : {kToleranceMode2D, kToleranceMode3D}) {
      SCOPED_TRACE(::testing::Message() << "tolerance " << c.tolerance << " mode " << mode);
      StationList stations = make();
      ScriptedUi ui;
      EXPECT_FALSE(MergeNearbyStations(stations, c.tolerance, mode, kA, kE2, ui));
      EXPECT_EQ(OfferedPairs(ui), c.offered);
    }
  }
}

// A small generator with the same sequence on every platform.
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

// Every close pair by comparing each station with each other one, in the
// order the merge must offer them: group by group, each group where its
// first pair comes, and within a group by lower and then higher station.
template <typename Separation>
std::vector<std::string> CloseBySlowComparison(const std::vector<StationRecord>& records,
                                               double tolerance, Separation separation) {
  std::vector<std::pair<std::size_t, std::size_t>> close;
  std::vector<std::size_t> group(records.size());
  for (std::size_t i = 0; i < records.size(); ++i) group[i] = i;
  for (std::size_t i = 0; i < records.size(); ++i) {
    for (std::size_t j = i + 1; j < records.size(); ++j) {
      if (separation(records[i], records[j]) < tolerance) {
        close.emplace_back(i, j);
        // Relabel the whole of j's group as i's.
        const std::size_t from = group[j], to = group[i];
        for (std::size_t& g : group) g = g == from ? to : g;
      }
    }
  }
  std::vector<std::string> pairs;
  std::vector<bool> done(close.size(), false);
  for (std::size_t k = 0; k < close.size(); ++k) {
    if (done[k]) continue;
    for (std::size_t m = k; m < close.size(); ++m) {
      if (done[m] || group[close[m].first] != group[close[k].first]) continue;
      done[m] = true;
      pairs.push_back(records[close[m].first].name + "-" + records[close[m].second].name);
    }
  }
  return pairs;
}

TEST(StationMerge, LocalCheckFindsWhatAFullComparisonFinds) {
  // Clustered random stations, every answer "different": the offers must be
  // every close pair, in order.
  for (int mode : {kToleranceMode2D, kToleranceMode3D}) {
    SCOPED_TRACE(mode);
    Lcg random(42 + static_cast<std::uint64_t>(mode));
    std::vector<StationRecord> records;
    for (int i = 0; i < 400; ++i) {
      records.push_back(Local("S" + std::to_string(i), 700000.0 + random.Next() * 0.6,
                              -50.0 - random.Next() * 0.6, 10.0 + random.Next() * 0.1));
    }
    const auto expected = CloseBySlowComparison(
        records, kTolerance, [&](const StationRecord& p, const StationRecord& q) {
          const double dn = q.north - p.north;
          const double de = q.east - p.east;
          const double dz = mode == kToleranceMode3D ? q.elevation - p.elevation : 0.0;
          return std::sqrt(dn * dn + de * de + dz * dz);
        });
    ASSERT_GT(expected.size(), 100u);
    StationList stations = ListOf(records);
    ScriptedUi ui;
    MergeNearbyStations(stations, kTolerance, mode, kA, kE2, ui);
    EXPECT_EQ(OfferedPairs(ui), expected);
  }
}

TEST(StationMerge, GeodeticCheckFindsWhatAFullComparisonFinds) {
  // Random stations near the pole and at mid latitude, some stacked high
  // above others and one far below the ellipsoid, every answer "different".
  struct Case {
    double lat, lon;
    int mode;
  };
  const Case cases[] = {{1.0, 2.5, kToleranceMode2D},
                        {1.0, 2.5, kToleranceMode3D},
                        {kPi / 2.0 - 1e-7, -0.3, kToleranceMode2D},
                        {-0.2, kPi - 1e-8, kToleranceMode2D}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "lat " << c.lat << " mode " << c.mode);
    Lcg random(7);
    const double spread = 0.6 / kA;  // about 60 cm, in radians
    std::vector<StationRecord> records;
    for (int i = 0; i < 300; ++i) {
      const double height =
          i % 5 == 0 ? 400.0 + random.Next() * 2000.0 : 80.0 + random.Next() * 0.1;
      records.push_back(Geodetic("G" + std::to_string(i), c.lat + random.Next() * spread,
                                 c.lon + random.Next() * spread, height));
    }
    records.push_back(Geodetic("DEEP", c.lat, c.lon, -5.0e6));
    const auto expected = CloseBySlowComparison(
        records, kTolerance, [&](const StationRecord& p, const StationRecord& q) {
          double e1, e2, n1, n2, u1, u2;
          MutualLocalOffsets(kA, kE2, p.latitude, p.longitude, p.height, q.latitude, q.longitude,
                             q.height, e1, e2, n1, n2, u1, u2);
          return std::sqrt(e1 * e1 + n1 * n1 + (c.mode == kToleranceMode3D ? u1 * u1 : 0.0));
        });
    ASSERT_GT(expected.size(), 50u);
    StationList stations = ListOf(records);
    ScriptedUi ui;
    MergeNearbyStations(stations, kTolerance, c.mode, kA, kE2, ui);
    EXPECT_EQ(OfferedPairs(ui), expected);
  }
}

TEST(StationMerge, LargeSpreadOutSurveyOffersNothing) {
  // 100,000 stations a metre apart, locally and on the ellipsoid.
  constexpr int kSide = 317;
  const double metre_of_latitude = 1.0 / 6367000.0;
  StationList stations;
  for (int i = 0; i < 100000; ++i) {
    StationRecord s = Local("P" + std::to_string(i), (i / kSide) * 1.0, (i % kSide) * 1.0, 10.0);
    s.has_geodetic = true;
    s.latitude = 0.7 + (i / kSide) * metre_of_latitude;
    s.longitude = -1.9 + (i % kSide) * metre_of_latitude * 1.4;
    s.height = 10.0;
    stations.Add(s);
  }
  ASSERT_EQ(stations.size(), 100001u);
  ScriptedUi ui;
  EXPECT_FALSE(MergeNearbyStations(stations, kTolerance, kToleranceMode2D, kA, kE2, ui));
  EXPECT_TRUE(ui.merge_offers.empty());
}

}  // namespace
}  // namespace trovisk
