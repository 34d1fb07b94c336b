// Station records, the units blocks between them, and merged-station names.
#include "output/station_writer.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "output/failing_stream.h"

namespace trovisk {
namespace {

double Radians(double degrees, double minutes, double seconds) {
  return (degrees + minutes / 60.0 + seconds / 3600.0) * (3.14159265358979323846 / 180.0);
}

StationRecord Station(const char* name, int units, double north = 0.0, double east = 0.0,
                      double elevation = 0.0) {
  StationRecord station;
  station.name = name;
  station.distance_units = units;
  station.north = north;
  station.east = east;
  station.elevation = elevation;
  return station;
}

std::string Stations(const StationList& list, bool geodetic, bool local, bool local_system) {
  std::ostringstream out;
  Status status = Status::kCancelled;
  WriteStations(out, list, geodetic, local, local_system, status);
  EXPECT_EQ(status, Status::kOk);
  return out.str();
}

TEST(StationRecords, IronPinP1InMetresWithBothSets) {
  StationList list;
  StationRecord p1 = Station("P1", 1, 5000.0, 10000.0, 1520.123);
  p1.latitude = Radians(45, 30, 15.5);
  p1.longitude = -Radians(120, 15, 30.25);
  p1.height = 1503.673;
  list.Add(p1);
  list.SetDescription("P1", "IRON PIN");
  EXPECT_EQ(Stations(list, true, true, false),
            "\n\n\n$UNITS\nM\nD\n1\n\n"
            "$GEO_COMPACT; P1; 45.301550000; 0.0; -120.153025000; 0.0; 1520.12300; 0.0; "
            "-16.45000; 0.0; 1503.67300; 0.0; 0.0; 0.0; 0.0\n"
            "$STATE_ELEV_COMPACT; P1; 5000.00000; 10000.00000; 1520.12300\n"
            "$STA_DESC; P1; IRON PIN\n\n");
  // A local system writes the elevation twice; a pass without coordinates
  // writes only the description.
  EXPECT_EQ(Stations(list, false, true, true),
            "\n\n\n$UNITS\nM\nD\n1\n\n"
            "$LOCAL_NEUE_COMPACT; P1; 5000.00000; 10000.00000; 1520.12300; 1520.12300\n"
            "$STA_DESC; P1; IRON PIN\n\n");
  EXPECT_EQ(Stations(list, false, false, true), "\n\n\n$STA_DESC; P1; IRON PIN\n\n");
  EXPECT_EQ(Stations(StationList{}, true, true, false), "\n\n\n");
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
            "\n\n\n$UNITS\nI\nD\n1\n\n"
            "$STATE_ELEV_COMPACT; A; 328.08399; 656.16798; 32.80840\n\n"
            "$STATE_ELEV_COMPACT; B; 3.28084; 6.56168; 9.84252\n\n"
            "$UNITS\nM\nD\n1\n\n"
            "$STATE_ELEV_COMPACT; C; 100.00000; 200.00000; 10.00000\n\n"
            "$UNITS\nU\nD\n1\n\n"
            "$STATE_ELEV_COMPACT; E; 328.08333; 656.16667; 32.80833\n\n"
            "$UNITS\nM\nD\n1\n\n"
            "$STATE_ELEV_COMPACT; F; 100.00000; 200.00000; 10.00000\n\n");
}

TEST(StationRecords, LineBreaksInNamesAndNotesBecomeBlanks) {
  StationList list;
  list.Add(Station("P\r9", 1, 1.0, 2.0, 3.0));
  list.SetDescription("P\r9", "two\nlines");
  EXPECT_EQ(Stations(list, false, true, false),
            "\n\n\n$UNITS\nM\nD\n1\n\n$STATE_ELEV_COMPACT; P 9; 1.00000; 2.00000; 3.00000\n"
            "$STA_DESC; P 9; two lines\n\n");
}

TEST(StationRecords, FailingStreamStopsThePassWith1001) {
  StationList list;
  for (int i = 0; i < 20000; ++i) list.Add(Station(("S" + std::to_string(i)).c_str(), 1));
  testing::FailingStream out(1000);
  Status status = Status::kOk;
  WriteStations(out, list, true, true, false, status);
  EXPECT_EQ(status, Status::kWriteError);
  EXPECT_EQ(out.written().substr(0, 14), "\n\n\n$UNITS\nM\nD\n");
}

TEST(StationNames, ResolvedThroughMerges) {
  StationList list;
  for (const char* name : {"A", "B", "C", "D"}) list.Add(Station(name, 1));
  list[1].merge_link = 2;    // A merged into B,
  list[2].merge_link = 3;    // and B later into C
  list[4].merge_link = 999;  // a link to nowhere is no merge
  // 0 and indices outside the list are nameless.
  const struct {
    int index;
    const char* name;
  } cases[] = {{1, "C"}, {2, "C"}, {3, "C"}, {4, "D"}, {0, ""}, {77, ""}, {-3, ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.index);
    EXPECT_EQ(ResolvedStationName(list, c.index), c.name);
  }
  // Only C and D are written as stations.
  EXPECT_EQ(Stations(list, false, false, false), "\n\n\n\n\n");
}

}  // namespace
}  // namespace trovisk
