// Propagation of coordinates through exact observations of known networks:
// every determinable station lands on its true position, the others stay
// unknown with the reason, and a blunder does not move a station.
#include "approx/propagation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "approx/network_builder.h"
#include "geodesy/angles.h"
#include "geodesy/local_frame.h"

namespace trovisk {
namespace {

using testing::NetworkBuilder;

constexpr double kHorizontalTolerance = 0.005;  // metres, networks under 1 km
constexpr double kVerticalTolerance = 0.010;
constexpr double kTenthMillimetre = 1e-4;

LocalFrame TestFrame() {
  return MakeLocalFrame(6378137.0, 0.0066943799901413165, DmsToRadians(45.3015),
                        DmsToRadians(-120.2233), 180.0, 5000.0, 5000.0, 100.0);
}

void ExpectAtTruth(NetworkBuilder& net, const std::string& name) {
  SCOPED_TRACE(name);
  const StationRecord& s = net.Record(name);
  const NetworkBuilder::Truth& t = net.TrueCoordinates(name);
  ASSERT_TRUE(s.has_nee);
  ASSERT_TRUE(s.has_geodetic);
  EXPECT_NEAR(s.north, t.north, kHorizontalTolerance);
  EXPECT_NEAR(s.east, t.east, kHorizontalTolerance);
  EXPECT_NEAR(s.elevation, t.elevation, kVerticalTolerance);
  // The geodetic values describe the same point.
  double n = 0, e = 0, el = 0;
  GeodeticToLocal(net.frame(), s.latitude, s.longitude, s.height, n, e, el);
  EXPECT_NEAR(n, t.north, kHorizontalTolerance);
  EXPECT_NEAR(e, t.east, kHorizontalTolerance);
  EXPECT_NEAR(el, t.elevation, kVerticalTolerance);
}

// A traverse A(known) -> T1 .. T4 from backsight B(known), a sideshot at every
// station, closing on C(known) with a check shot.
void OpenTraverse(NetworkBuilder& net) {
  net.Station("A", 5000, 5000, 100);
  net.Station("B", 5150, 4900, 104);
  net.Station("T1", 4890, 5120, 98.5);
  net.Station("T2", 4950, 5290, 97.2);
  net.Station("T3", 4820, 5440, 101.9);
  net.Station("T4", 4700, 5510, 103.3);
  net.Station("C", 4610, 5700, 99.0);
  net.KnownLocal("A");
  net.KnownLocal("B");
  net.KnownLocal("C");
  const char* chain[] = {"B", "A", "T1", "T2", "T3", "T4", "C"};
  for (int i = 1; i + 1 < 7; ++i) {
    std::string side = std::string("S") + chain[i];
    net.Station(side, net.TrueCoordinates(chain[i]).north + 20 + i,
                net.TrueCoordinates(chain[i]).east - 15, 95 + i);
    net.Angle(chain[i], chain[i - 1], chain[i + 1]);
    net.Angle(chain[i], chain[i - 1], side);
  }
}

struct NetworkCase {
  const char* name;
  std::function<void(NetworkBuilder&)> build;
  std::vector<std::string> fixed;
  std::vector<std::string> unknown;
};

std::vector<NetworkCase> Networks() {
  return {
      {"open traverse with sideshots",
       OpenTraverse,
       {"T1", "T2", "T3", "T4", "SA", "ST1", "ST2", "ST3", "ST4"},
       {}},
      {"closed traverse from one station and its backsight",
       [](NetworkBuilder& net) {
         net.Station("A", 5000, 5000, 100);
         net.Station("B", 5300, 5000, 100);
         net.Station("L1", 5100, 5250, 102);
         net.Station("L2", 4850, 5400, 99);
         net.Station("L3", 4700, 5100, 97);
         net.KnownLocal("A");
         net.KnownLocal("B");
         net.Angle("A", "B", "L1");
         net.Angle("L1", "A", "L2");
         net.Angle("L2", "L1", "L3");
         net.Angle("L3", "L2", "A");
       },
       {"L1", "L2", "L3"},
       {}},
      {"direction set read without distances, distances measured apart",
       [](NetworkBuilder& net) {
         net.Station("A", 5000, 5000, 100);
         net.Station("B", 5000, 5400, 103);
         net.Station("P1", 5200, 5100, 101);
         net.Station("P2", 4800, 5200, 96);
         net.Station("P3", 4900, 4700, 105);
         net.KnownLocal("A");
         net.KnownLocal("B");
         for (const char* p : {"P1", "P2", "P3"}) {
           net.Angle("A", "B", p, false);
           net.ZenithAndDistance("A", p);
         }
         net.Angle("A", "B", "B", false);  // the closing pointing on the backsight
       },
       {"P1", "P2", "P3"},
       {}},
      {"azimuths read from and towards a fixed station",
       [](NetworkBuilder& net) {
         net.Station("A", 5000, 5000, 100);
         net.Station("P", 5230, 5310, 110);
         net.Station("Q", 4700, 4850, 90);
         net.KnownLocal("A");
         net.AzimuthTo("A", "P");
         net.AzimuthTo("Q", "A", false);
         net.HorizontalDistance("A", "Q");
         net.HeightDifference("A", "Q");
       },
       {"P", "Q"},
       {}},
      {"circle oriented on a fixed foresight, backsight unknown",
       [](NetworkBuilder& net) {
         net.Station("A", 5000, 5000, 100);
         net.Station("K", 5200, 5200, 100);
         net.Station("X", 4800, 4950, 100);  // backsight, never fixed before
         net.Station("P", 5100, 4800, 100);
         net.KnownLocal("A");
         net.KnownLocal("K");
         net.Angle("A", "X", "K");
         net.Angle("A", "X", "P");
         net.ZenithAndDistance("A", "X");
       },
       {"P", "X"},
       {}},
      {"intersection from two fixed stations",
       [](NetworkBuilder& net) {
         net.Station("A", 5000, 5000, 100);
         net.Station("B", 5000, 5500, 100);
         net.Station("P", 5400, 5200, 130);
         net.KnownLocal("A");
         net.KnownLocal("B");
         net.Angle("A", "B", "P", false);
         net.Angle("B", "A", "P", false);
         net.HeightDifference("A", "P");
       },
       {"P"},
       {}},
      {"resection from three fixed targets, then a sideshot",
       [](NetworkBuilder& net) {
         net.Station("K1", 5300, 5200, 100);
         net.Station("K2", 5150, 5900, 100);
         net.Station("K3", 4400, 5500, 100);
         net.Station("P", 4950, 5520, 104);
         net.Station("Q", 4900, 5600, 102);
         for (const char* k : {"K1", "K2", "K3"}) net.KnownLocal(k);
         net.Angle("P", "K1", "K2", false);
         net.Angle("P", "K1", "K3", false);
         net.HeightDifference("K1", "P");
         net.Angle("P", "K1", "Q");
       },
       {"P", "Q"},
       {}},
      {"GPS vectors from a geodetic base meet total-station work",
       [](NetworkBuilder& net) {
         net.Station("G", 5400, 4300, 140);  // known by latitude and longitude only
         net.Station("R1", 5000, 5000, 100);
         net.Station("R2", 5100, 5300, 103);
         net.Station("T", 4850, 5150, 97);
         net.Station("U", 4600, 4700, 92);
         net.KnownGeodetic("G");
         net.Gps("G", "R1");
         net.Gps("G", "R2");
         net.Gps("U", "G");  // measured with the unknown end as base
         net.Angle("R1", "R2", "T");
       },
       {"R1", "R2", "T", "U", "G"},
       {}},
      {"stations the observations cannot reach",
       [](NetworkBuilder& net) {
         OpenTraverse(net);
         net.Station("I1", 6000, 6000, 100);  // an island measured only among itself
         net.Station("I2", 6100, 6000, 100);
         net.Station("D", 4000, 4000, 100);  // a distance but no direction
         net.Station("N", 3000, 3000, 100);  // an angle read on an unoriented circle
         net.Station("Z", 3100, 3000, 100);
         net.Station("W", 3200, 3300, 100);  // seen only from an unknown station
         net.Angle("I1", "I2", "I2");
         net.HorizontalDistance("A", "D");
         net.Angle("A", "Z", "N");
         net.Angle("N", "Z", "W", false);
       },
       {"T1", "T4", "ST4"},
       {"I1", "I2", "D", "N", "Z", "W"}},
  };
}

TEST(PropagationTest, FixesEveryDeterminableStationAtItsTruePosition) {
  for (const NetworkCase& c : Networks()) {
    SCOPED_TRACE(c.name);
    NetworkBuilder net(TestFrame());
    c.build(net);
    StationReport report;
    PropagationSummary summary = PropagateCoordinates(net.data(), net.frame(), &report);
    EXPECT_LE(summary.passes, kMaxPropagationPasses);
    for (const std::string& name : c.fixed) ExpectAtTruth(net, name);
    for (const std::string& name : c.unknown) {
      SCOPED_TRACE(name);
      const StationRecord& s = net.Record(name);
      EXPECT_FALSE(s.has_nee);
      EXPECT_FALSE(s.has_geodetic);
      EXPECT_EQ(s.north, 0.0);
      EXPECT_EQ(s.latitude, 0.0);
      EXPECT_NE(report.entries[static_cast<std::size_t>(net.Index(name))].reason,
                UnknownReason::kNone);
    }
  }
}

TEST(PropagationTest, ExplainsWhyStationsStayUnknown) {
  NetworkBuilder net(TestFrame());
  Networks().back().build(net);
  StationReport report;
  PropagateCoordinates(net.data(), net.frame(), &report);
  struct Case {
    const char* name;
    UnknownReason reason;
  } cases[] = {{"I1", UnknownReason::kNoLinkToSeed}, {"I2", UnknownReason::kNoLinkToSeed},
               {"D", UnknownReason::kDistanceOnly},  {"N", UnknownReason::kNoOrientation},
               {"Z", UnknownReason::kNoOrientation}, {"W", UnknownReason::kOnlyThroughUnknown}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(report.entries[static_cast<std::size_t>(net.Index(c.name))].reason, c.reason);
  }
}

TEST(PropagationTest, ABlunderAmongThreeDeterminationsDoesNotMoveTheStation) {
  for (bool blunder_first : {true, false}) {
    SCOPED_TRACE(blunder_first ? "blunder seen first" : "blunder seen last");
    NetworkBuilder net(TestFrame());
    net.Station("A", 5000, 5000, 100);
    net.Station("B", 5000, 5600, 100);
    net.Station("C", 5500, 5300, 100);
    net.Station("P", 5200, 5250, 101);
    for (const char* k : {"A", "B", "C"}) net.KnownLocal(k);
    ObservationRecord& first = net.Angle("A", "B", "P");
    if (blunder_first) first.slope_distance += 2.0;
    net.Angle("B", "C", "P");
    ObservationRecord& last = net.Angle("C", "A", "P");
    if (!blunder_first) last.slope_distance += 2.0;
    std::int64_t blunder = blunder_first ? 1 : 3;

    StationReport report;
    PropagateCoordinates(net.data(), net.frame(), &report);
    ExpectAtTruth(net, "P");
    const StationReportEntry& entry = report.entries[static_cast<std::size_t>(net.Index("P"))];
    EXPECT_EQ(entry.position_agreeing, 2);
    ASSERT_EQ(entry.set_aside.size(), 1u);
    EXPECT_EQ(entry.set_aside[0].determination.observation.sequence, blunder);
    EXPECT_FALSE(entry.set_aside[0].vertical);
    EXPECT_GT(entry.set_aside[0].offset, 1.0);
  }
}

TEST(PropagationTest, ResultDoesNotDependOnTheOrderOfObservations) {
  NetworkBuilder ordered(TestFrame());
  OpenTraverse(ordered);
  ordered.Station("G", 5400, 4300, 140);
  ordered.Gps("A", "G");
  SurveyData shuffled = ordered.data();
  std::mt19937 random(12345);
  std::shuffle(shuffled.observations.begin() + 1, shuffled.observations.end(), random);

  PropagateCoordinates(ordered.data(), ordered.frame());
  PropagateCoordinates(shuffled, ordered.frame());
  for (std::size_t s = 1; s < shuffled.stations.size(); ++s) {
    SCOPED_TRACE(shuffled.stations[s].name);
    EXPECT_EQ(shuffled.stations[s].has_nee, ordered.data().stations[s].has_nee);
    EXPECT_NEAR(shuffled.stations[s].north, ordered.data().stations[s].north, kTenthMillimetre);
    EXPECT_NEAR(shuffled.stations[s].east, ordered.data().stations[s].east, kTenthMillimetre);
    EXPECT_NEAR(shuffled.stations[s].elevation, ordered.data().stations[s].elevation,
                kTenthMillimetre);
  }
}

TEST(PropagationTest, ObservationsOfAMergedStationFixTheSurvivor) {
  NetworkBuilder net(TestFrame());
  net.Station("A", 5000, 5000, 100);
  net.Station("B", 5000, 5400, 100);
  net.Station("P", 5200, 5100, 101);
  net.Station("P-dup", 5200, 5100, 101);
  net.KnownLocal("A");
  net.KnownLocal("B");
  net.Angle("A", "B", "P-dup");
  net.Record("P-dup").merge_link = net.Index("P");
  PropagateCoordinates(net.data(), net.frame());
  ExpectAtTruth(net, "P");
  EXPECT_FALSE(net.Record("P-dup").has_nee);
}

TEST(PropagationTest, AStationWithoutHeightsTakesItsNeighboursElevation) {
  NetworkBuilder net(TestFrame());
  net.Station("A", 5000, 5000, 100);
  net.Station("B", 5000, 5400, 100);
  net.Station("P", 5200, 5100, 101);
  net.Station("G", 5300, 5200, 120);
  net.KnownLocal("A");
  net.KnownLocal("B");
  net.Angle("A", "B", "P", false);
  net.HorizontalDistance("A", "P");
  net.Gps("P", "G");  // continues from P once P has an elevation
  StationReport report;
  PropagationSummary summary = PropagateCoordinates(net.data(), net.frame(), &report);
  const StationRecord& p = net.Record("P");
  ASSERT_TRUE(p.has_nee);
  EXPECT_NEAR(p.north, 5200, kHorizontalTolerance);
  EXPECT_NEAR(p.elevation, 100.0, kTenthMillimetre);  // A's elevation
  EXPECT_EQ(report.entries[static_cast<std::size_t>(net.Index("P"))].elevation.source,
            CoordinateSource::kAssumedElevation);
  // G follows P's assumed height: off by P's 1 m, but placed horizontally.
  const StationRecord& g = net.Record("G");
  ASSERT_TRUE(g.has_nee);
  EXPECT_NEAR(g.north, 5300, kHorizontalTolerance);
  EXPECT_NEAR(g.elevation, 119.0, kVerticalTolerance);
  EXPECT_EQ(summary.passes, 2);
}

TEST(PropagationTest, PointingsWithoutTheirOwnDistanceUseTheOneMeasuredBetweenTheStations) {
  struct Case {
    const char* name;
    std::function<void(NetworkBuilder&)> observe;
  };
  const Case cases[] = {
      {"an angle and a distance measured on its own",
       [](NetworkBuilder& net) {
         net.Angle("A", "B", "P", false);
         net.HorizontalDistance("A", "P");
         net.HeightDifference("A", "P");
       }},
      {"three distances, one of them a blunder",
       [](NetworkBuilder& net) {
         net.Angle("A", "B", "P", false);
         net.HorizontalDistance("P", "A");
         net.HorizontalDistance("A", "P").horizontal_distance += 5.0;
         net.HorizontalDistance("A", "P");
         net.HeightDifference("A", "P");
       }},
      {"a zenith without slope distance levels over the measured distance",
       [](NetworkBuilder& net) {
         ObservationRecord& angle = net.Angle("A", "B", "P", false);
         const NetworkBuilder::Truth& a = net.TrueCoordinates("A");
         const NetworkBuilder::Truth& p = net.TrueCoordinates("P");
         angle.instrument_height = net.instrument_height;
         angle.target_height = net.target_height;
         angle.zenith =
             std::atan2(net.PlaneDistance("A", "P"),
                        (p.elevation + net.target_height) - (a.elevation + net.instrument_height));
         net.HorizontalDistance("A", "P");
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    NetworkBuilder net(TestFrame());
    net.Station("A", 5000, 5000, 100);
    net.Station("B", 5000, 5400, 100);
    net.Station("P", 5230, 5110, 103.5);
    net.KnownLocal("A");
    net.KnownLocal("B");
    c.observe(net);
    PropagateCoordinates(net.data(), net.frame());
    ExpectAtTruth(net, "P");
  }
}

TEST(PropagationTest, AGpsVectorStartsFromTheFileGeodeticValuesOfItsBase) {
  // The file may give a base local values of another grid beside its
  // geodetic ones; the vector is earth-centred, so it starts from the latter.
  struct Case {
    const char* name;
    bool local;
    bool geodetic;
    double grid_shift;  // metres added to the base's local north
  };
  const Case cases[] = {
      {"geodetic values beside a disagreeing grid", true, true, 1000.0},
      {"geodetic values only", false, true, 0.0},
      {"local values only", true, false, 0.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    NetworkBuilder net(TestFrame());
    net.Station("A", 5000, 5000, 100);
    net.Station("R", 5600, 4300, 140);
    if (c.local) net.KnownLocal("A");
    if (c.geodetic) net.KnownGeodetic("A");
    net.Record("A").north += c.grid_shift;
    net.Gps("A", "R");
    PropagateCoordinates(net.data(), net.frame());
    const StationRecord& r = net.Record("R");
    ASSERT_TRUE(r.has_geodetic);
    double north = 0, east = 0, elevation = 0;
    GeodeticToLocal(net.frame(), r.latitude, r.longitude, r.height, north, east, elevation);
    EXPECT_NEAR(north, 5600, kTenthMillimetre);
    EXPECT_NEAR(east, 4300, kTenthMillimetre);
    EXPECT_NEAR(elevation, 140, kTenthMillimetre);
    ExpectAtTruth(net, "R");
  }
}

}  // namespace
}  // namespace trovisk
