// Station coordinates from "OC", "SP" and "BP", in both passes.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "rw5/parse_helper.h"

namespace trovisk {
namespace {

using testing::Dms;
using testing::kTenthMillimetre;
using testing::Parse;
using testing::Parsed;

TEST(CoordinateRecords, LocalCoordinatesInFileUnits) {
  struct Case {
    std::string records;
    bool has_nee;
    double north, east, elevation;  // metres
    std::size_t warnings;
  };
  const double us = 3.28083333333333;
  const Case cases[] = {
      {"MO,UN1\nOC,OP1,N 5000.125,E 2000.5,EL100.25,--PIN", true, 5000.125, 2000.5, 100.25, 0},
      {"MO,UN2\nSP,PN1,N  50000.0,E 20000.0,EL 500.0,--TPT.,5/8\"IRW", true, 50000.0 / us,
       20000.0 / us, 500.0 / us, 0},
      {"OC,OP1,N 10,E 20,--", true, 10, 20, 0, 1},  // no elevation: 0, reported
      {"OC,OP1,N 10,E 20,EL,--", true, 10, 20, 0, 1},
      {"OC,OP1,N 10,EL5", false, 0, 0, 0, 1},  // no east: not used, reported
      {"SP,PN1,N,E 20,EL5", false, 0, 0, 0, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.records);
    Parsed p;
    Parse(c.records + "\n", p);
    const StationRecord& s = p.Station("1");
    EXPECT_EQ(s.name, "1");
    EXPECT_EQ(s.has_nee, c.has_nee);
    EXPECT_NEAR(s.north, c.north, kTenthMillimetre);
    EXPECT_NEAR(s.east, c.east, kTenthMillimetre);
    EXPECT_NEAR(s.elevation, c.elevation, kTenthMillimetre);
    EXPECT_EQ(p.ui.warnings.size(), c.warnings);
  }
}

TEST(CoordinateRecords, TheLastStoreWinsAndAMoveIsReportedWithBothLines) {
  struct Case {
    const char* name;
    std::string records;
    double north, elevation;  // of 7, metres
    std::string description;
    std::vector<std::string> warnings;
  };
  const Case cases[] = {
      {"stored again where it was: no word",
       "SP,PN7,N 1,E 2,EL3,--FIRST\nOC,OP7,N 1.01,E 2,EL3,--\n",
       1.01,
       3.0,
       "FIRST",
       {}},
      {"the collector's later values win, each move reported",
       "SP,PN7,N 1,E 2,EL0,--FIRST\nOC,OP7,N 1,E 2,EL0\nOC,OP7,N 1,E 2,EL9,--SECOND\n"
       "OC,OP7,N 4,E 6,EL9\n",
       4.0,
       9.0,
       "SECOND",
       {"job.rw5:3: '7' stored here lies 0.000 m across and 9.000 m in height from its north, "
        "east and elevation of lines 1 and 2; the later ones are used",
        "job.rw5:4: '7' stored here lies 5.000 m across and 0.000 m in height from its north, "
        "east and elevation of line 3; the later ones are used"}},
      {"deleted, then stored again elsewhere",
       "SP,PN7,N 1,E 2,EL3,--OLD\n--Deleted Point ID(s): 7 from the coordinate file on "
       "DT07-21-2021\nSP,PN7,N 101,E 2,EL3\n",
       101.0,
       3.0,
       "",
       {"job.rw5:3: '7' stored here lies 100.000 m across and 0.000 m in height from its north, "
        "east and elevation of line 1, deleted on line 2; the later ones are used"}},
      {"deleted and never stored again",
       "SP,PN7,N 1,E 2,EL3\nSS,OP1,FP7,AZ10,SD5\n--Deleted Point ID(s): 8, 7\n",
       kNullValue,
       kNullValue,
       "",
       {"job.rw5:3: '7' was deleted here and not stored again; it has no coordinates from the "
        "file"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Parsed p;
    Parse(c.records, p);
    const StationRecord& s = p.Station("7");
    EXPECT_EQ(s.has_nee, IsPresent(c.north));
    if (s.has_nee) {
      EXPECT_DOUBLE_EQ(s.north, c.north);
      EXPECT_DOUBLE_EQ(s.elevation, c.elevation);
    }
    EXPECT_EQ(p.Description("7"), c.description);
    EXPECT_EQ(p.ui.warnings, c.warnings);
  }
}

TEST(CoordinateRecords, BasePointGivesTheMarkPosition) {
  struct Case {
    const char* record;
    double latitude, longitude, height;
  };
  const Case cases[] = {
      // The height is that of the antenna; AG + PA below it is the mark.
      {"BP,PN0,LA47.474185904626,LN-64.562336846073,EL0.6305,AG2.0000,PA0.1319,ATAPC,SRBASE,--",
       Dms(47, 47, 41.85904626), -Dms(64, 56, 23.36846073), -1.5014},
      {"BP,PNB1,LA45.3000,LN-66.1500,HT12.5,SG1", Dms(45, 30), -Dms(66, 15), 12.5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.record);
    Parsed p;
    Parse(std::string("MO,UN0\n") + c.record + "\n", p);  // metres even in a job in feet
    ASSERT_EQ(p.data.stations.size(), 2u);
    const StationRecord& s = p.data.stations[1];
    ASSERT_TRUE(s.has_geodetic);
    EXPECT_NEAR(s.latitude, c.latitude, 4.85e-10);
    EXPECT_NEAR(s.longitude, c.longitude, 4.85e-10);
    EXPECT_NEAR(s.height, c.height, kTenthMillimetre);
  }
}

TEST(CoordinateRecords, FirstPassKeepsOnlyStationsWithCoordinatesAndAsksOnce) {
  std::istringstream input(
      "--MO,UN2\nQQ,PN9\nBK,OP1,BP2,BS,BC0\nOC,OP1,N 10,E 20\nSS,OP1,FP3,AR1,SD5\n"
      "SP,PN4,N 1,EL2\nBP,PN5,LA45.0,LN-66.0,EL10.0\nMO,UN1\nSP,PN6,N 1,E 2,EL3\n");
  SurveyData data;
  testing::ScriptedUi ui;
  int line = 0;
  Status status = Status::kOk;
  ReadStationCoordinates(input, ReaderOptions{}, data, ui, line, status);
  EXPECT_EQ(status, Status::kOk);
  EXPECT_EQ(line, 9);
  ASSERT_EQ(data.stations.size(), 4u);
  EXPECT_NEAR(data.stations[1].north, 10 / 3.28083333333333, kTenthMillimetre);
  EXPECT_EQ(data.stations[1].distance_units, 2);
  EXPECT_TRUE(data.stations[2].has_geodetic);
  EXPECT_EQ(data.stations[3].name + std::to_string(data.stations[3].distance_units), "61");
  EXPECT_EQ(data.observations.size(), 1u);
  EXPECT_TRUE(ui.warnings.empty());  // the record parser reports them
  EXPECT_EQ(ui.MessageIds(), std::vector<int>{2121});

  // The record parser reads the same stream again from its first line.
  ParseRecords(input, ReaderOptions{}, data, ui, line, status);
  EXPECT_EQ(status, Status::kOk);
  EXPECT_EQ(line, 9);
  EXPECT_EQ(ui.MessageIds(), std::vector<int>{2121});
  EXPECT_EQ(data.stations[1].name, "1");  // indices from the first pass stay
  EXPECT_EQ(data.observations.size(), 3u);
  EXPECT_EQ(ui.warnings.size(), 3u);  // mode note, OC without elevation, SP without east
}

}  // namespace
}  // namespace trovisk
