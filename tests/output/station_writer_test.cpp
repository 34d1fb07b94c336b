// Station records, the units blocks between them, and merged-station names.
#include "output/station_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>

#include "output/failing_stream.h"

namespace trovisk {
namespace {

constexpr double kRadiansPerDegree = 3.14159265358979323846 / 180.0;

double Radians(double degrees, double minutes, double seconds) {
  double sign = degrees < 0 ? -1.0 : 1.0;
  return sign * (std::fabs(degrees) + minutes / 60.0 + seconds / 3600.0) * kRadiansPerDegree;
}

StationRecord Station(const char* name, int units, double north = 0.0, double east = 0.0,
                      double elevation = 0.0) {
  StationRecord station;
  station.name = name;
  station.distance_units = units;
  station.north = north;
  station.east = east;
  station.elevation = elevation;
  station.has_nee = true;
  return station;
}

std::string Stations(const StationList& list, bool geodetic, bool local, bool local_system,
                     int expected_status = 0) {
  std::ostringstream out;
  int status = -1;
  WriteStations(out, list, geodetic, local, local_system, status);
  EXPECT_EQ(status, expected_status);
  return out.str();
}

TEST(StationRecords, IronPinP1InMetresWithBothSets) {
  StationList list;
  StationRecord p1 = Station("P1", 1, 5000.0, 10000.0, 1520.123);
  p1.description = "IRON PIN";
  p1.latitude = Radians(45, 30, 15.5);
  p1.longitude = Radians(-120, 15, 30.25);
  p1.height = 1503.673;
  p1.has_geodetic = true;
  list.Add(p1);

  EXPECT_EQ(Stations(list, true, true, false),
            "\n\n\n$UNITS\nM\nD\n1\n\n"
            "$GEO_COMPACT; P1; 45.301550000; 0.0; -120.153025000; 0.0; 1520.12300; 0.0; "
            "-16.45000; 0.0; 1503.67300; 0.0; 0.0; 0.0; 0.0\n"
            "$STATE_ELEV_COMPACT; P1; 5000.00000; 10000.00000; 1520.12300\n"
            "$STA_DESC; P1; IRON PIN\n\n");
  // In a local system the elevation is written twice and the line ends the same way.
  EXPECT_EQ(Stations(list, false, true, true),
            "\n\n\n$UNITS\nM\nD\n1\n\n"
            "$LOCAL_NEUE_COMPACT; P1; 5000.00000; 10000.00000; 1520.12300; 1520.12300\n"
            "$STA_DESC; P1; IRON PIN\n\n");
}

TEST(StationRecords, EmptyListWritesOnlyThreeLineEnds) {
  StationList list;
  for (bool geodetic : {false, true}) {
    for (bool local : {false, true}) {
      EXPECT_EQ(Stations(list, geodetic, local, false), "\n\n\n");
    }
  }
}

TEST(StationRecords, UnitsBlockOnEachChangeOfUnitAndLengthsInThatUnit) {
  StationList list;
  list.Add(Station("A", 0, 100.0, 200.0, 10.0));
  list.Add(Station("B", 0, 1.0, 2.0, 3.0));
  list.Add(Station("C", 1, 100.0, 200.0, 10.0));
  list.Add(Station("D", 2, 7.0, 7.0, 7.0));  // merged into A below: no record, no units
  list.Add(Station("E", 2, 100.0, 200.0, 10.0));
  list.Add(Station("F", 9, 100.0, 200.0, 10.0));  // an unknown code is metres
  list[4].merge_link = 1;

  // 100 m = 328.083989501312 international feet = 328.083333333333 US survey feet.
  EXPECT_EQ(Stations(list, false, true, false),
            "\n\n\n"
            "$UNITS\nI\nD\n1\n\n"
            "$STATE_ELEV_COMPACT; A; 328.08399; 656.16798; 32.80840\n\n"
            "$STATE_ELEV_COMPACT; B; 3.28084; 6.56168; 9.84252\n\n"
            "$UNITS\nM\nD\n1\n\n"
            "$STATE_ELEV_COMPACT; C; 100.00000; 200.00000; 10.00000\n\n"
            "$UNITS\nU\nD\n1\n\n"
            "$STATE_ELEV_COMPACT; E; 328.08333; 656.16667; 32.80833\n\n"
            "$UNITS\nM\nD\n1\n\n"
            "$STATE_ELEV_COMPACT; F; 100.00000; 200.00000; 10.00000\n\n");
}

TEST(StationRecords, PassWithoutCoordinatesWritesDescriptionsOnly) {
  StationList list;
  list.Add(Station("A", 0, 100.0, 200.0, 10.0));
  StationRecord b = Station("B", 2);
  b.description = "NAIL";
  list.Add(b);
  EXPECT_EQ(Stations(list, false, false, false), "\n\n\n\n$STA_DESC; B; NAIL\n\n");
}

TEST(StationRecords, GeodeticOnlyStationWritesItsZeroElevation) {
  StationList list;
  StationRecord g;
  g.name = "G7";
  g.distance_units = 1;
  g.latitude = Radians(0, 0, 0.5);
  g.longitude = -Radians(0, 59, 59.999);  // west of the meridian by under a degree
  g.height = -31.25;
  g.has_geodetic = true;
  list.Add(g);
  EXPECT_EQ(Stations(list, true, false, false),
            "\n\n\n$UNITS\nM\nD\n1\n\n"
            "$GEO_COMPACT; G7; 0.000050000; 0.0; -0.595999900; 0.0; 0.00000; 0.0; -31.25000; "
            "0.0; -31.25000; 0.0; 0.0; 0.0; 0.0\n\n");
}

TEST(StationRecords, LineBreaksInNamesAndNotesBecomeBlanks) {
  std::ostringstream out;
  int status = -1;
  WriteOneStation(out, false, true, false, ';', "P\r9", 1.0, 2.0, 3.0, 0.0, 0.0, 0.0,
                  "two\nlines", status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(out.str(),
            "$STATE_ELEV_COMPACT; P 9; 1.00000; 2.00000; 3.00000\n$STA_DESC; P 9; two lines\n\n");
}

TEST(StationRecords, CoordinateThatIsNoNumberIsWrittenAsZero) {
  std::ostringstream out;
  int status = -1;
  double nan = std::numeric_limits<double>::quiet_NaN();
  WriteOneStation(out, false, true, false, ';', "Q", nan, 2.0,
                  std::numeric_limits<double>::infinity(), 0.0, 0.0, 0.0, "", status);
  EXPECT_EQ(out.str(), "$STATE_ELEV_COMPACT; Q; 0.00000; 2.00000; 0.00000\n\n");
}

TEST(StationRecords, FailingStreamStopsThePassWith1001) {
  StationList list;
  for (int i = 0; i < 20000; ++i) {
    list.Add(Station(("S" + std::to_string(i)).c_str(), 1, 1.0, 2.0, 3.0));
  }
  testing::FailingStream out(1000);
  int status = 0;
  WriteStations(out, list, true, true, false, status);
  EXPECT_EQ(status, 1001);
  EXPECT_EQ(out.written().size(), 1000u);
  EXPECT_EQ(out.written().substr(0, 14), "\n\n\n$UNITS\nM\nD\n");
}

TEST(StationNames, ResolvedThroughMerges) {
  StationList list;
  list.Add(Station("A", 1));
  list.Add(Station("B", 1));
  list.Add(Station("C", 1));
  list.Add(Station("D", 1));
  list[1].merge_link = 2;    // A merged into B,
  list[2].merge_link = 3;    // and B later into C
  list[4].merge_link = 999;  // a link to nowhere is no merge
  struct Case {
    const char* name;
    int result;
    const char* out;
  } cases[] = {
      {"A", kNameOfMergeSurvivor, "C"}, {"B", kNameOfMergeSurvivor, "C"},
      {"C", kNameOwn, "C"},             {"D", kNameOwn, "D"},
      {"X", kNameNotFound, "X"},        {"a", kNameNotFound, "a"},
      {"", kNameNotFound, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string out = "stale";
    EXPECT_EQ(ResolveStationName(list, c.name, out), c.result);
    EXPECT_EQ(out, c.out);
  }
  EXPECT_EQ(kNameOfMergeSurvivor, -110001);
  EXPECT_EQ(kNameOwn, -110002);
  EXPECT_EQ(kNameNotFound, -110003);

  // By index, as observations refer to stations; 0 and indices outside are nameless.
  EXPECT_EQ(ResolvedStationName(list, 1), "C");
  EXPECT_EQ(ResolvedStationName(list, 4), "D");
  EXPECT_EQ(ResolvedStationName(list, 0), "");
  EXPECT_EQ(ResolvedStationName(list, 77), "");
  EXPECT_EQ(ResolvedStationName(list, -3), "");

  // Only C and D are written as stations.
  EXPECT_EQ(Stations(list, false, false, false), "\n\n\n\n\n");
}

}  // namespace
}  // namespace trovisk
