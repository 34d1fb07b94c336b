// Data kept in notes: the mode of a file without a mode record, a point's
// grid coordinates, and the collector's own means that must not count.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "rw5/parse_helper.h"

namespace trovisk {
namespace {

using testing::kTenthMillimetre;
using testing::Parse;
using testing::Parsed;

constexpr double kFeet = 3.28083989501312;
constexpr double kUsFeet = 3.28083333333333;

TEST(DataNotes, ModeNoteGivesTheUnitsOnlyBeforeAnyModeRecord) {
  struct Case {
    const char* name;
    std::string records;
    int distance_units;
    double north;  // metres, of "SP,PN1,N 100,..."
    std::vector<std::string> warnings;
  };
  const Case cases[] = {
      {"international feet",
       "JB,NM1\n--MO,AD0,UN0,SF1.00000000,EC0,EO0.0,AU0\nSP,PN1,N 100,E 1\n",
       0,
       100 / kFeet,
       {"job.rw5:2: units taken from the note on line 2: international feet"}},
      {"US survey feet and grads",
       "--MO,AD0,UN2,SF1.0,EC0,EO0.0,AU1\nSP,PN1,N 100,E 1\n",
       2,
       100 / kUsFeet,
       {"job.rw5:1: units taken from the note on line 1: US survey feet, angles in grads"}},
      {"a live record first", "MO,UN1\n--MO,UN0\nSP,PN1,N 100,E 1\n", 1, 100.0, {}},
      {"no mode at all: metres", "SP,PN1,N 100,E 1\n", 1, 100.0, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Parsed p;
    Parse(c.records, p);
    EXPECT_EQ(p.data.distance_units, c.distance_units);
    EXPECT_NEAR(p.Station("1").north, c.north, kTenthMillimetre);
    // The stations' elevation is missing: one warning each, after the notes'.
    ASSERT_EQ(p.ui.warnings.size(), c.warnings.size() + 1);
    for (std::size_t i = 0; i < c.warnings.size(); ++i) EXPECT_EQ(p.ui.warnings[i], c.warnings[i]);
  }
}

TEST(DataNotes, GridNoteStoresThePointOfTheRecordBeforeIt) {
  // US survey feet. The note after a GPS point gives its grid coordinates;
  // a note about another point than the record before it is not used; a
  // later note wins over the record before it, like any later store.
  Parsed p;
  Parse(
      "MO,AD0,UN2,SF1.0,EC0,EO0.0,AU0\n"
      "LS,HR6.56166666666666\n"
      "GPS,PN1,LA45.3015,LN-66.0730,EL20.5,--CP\n"
      "--GS,PN1,N 24200000.0000,E 8376500.0000,EL 50.0000,--CP\n"
      "SP,PN2,N 100,E 200,EL 300,--\n"
      "--GS,PN3,N 9,E 9,EL9,--\n"
      "SP,PN3,N 400,E 500,EL 600,--\n"
      "--GS,PN3,N 400,E 500,EL 600.01,--\n",
      p);
  const StationRecord& gps = p.Station("1");
  ASSERT_TRUE(gps.has_nee);
  EXPECT_NEAR(gps.north, 24200000.0 / kUsFeet, kTenthMillimetre);
  EXPECT_NEAR(gps.east, 8376500.0 / kUsFeet, kTenthMillimetre);
  EXPECT_NEAR(gps.elevation, 50.0 / kUsFeet, kTenthMillimetre);
  EXPECT_TRUE(gps.has_geodetic);
  EXPECT_NEAR(gps.height, 18.5, kTenthMillimetre);
  EXPECT_EQ(p.Description("1"), "CP");
  EXPECT_NEAR(p.Station("2").north, 100 / kUsFeet, kTenthMillimetre);
  EXPECT_NEAR(p.Station("3").north, 400 / kUsFeet, kTenthMillimetre);
  EXPECT_NEAR(p.Station("3").elevation, 600.01 / kUsFeet, kTenthMillimetre);
  const std::vector<std::string> expected = {
      "job.rw5:4: north, east and elevation of 2 stations taken from their notes, the first "
      "'1' on line 4",
      "job.rw5:3: GPS point '1' has no base position before it; no vector is made for it"};
  EXPECT_EQ(p.ui.warnings, expected);
}

TEST(DataNotes, GridNoteIsReadInBothPassesAndReportedOnce) {
  std::istringstream input("GPS,PN1,LA1,LN1,EL1\n--GS,PN1,N 1,E 2,EL3\n");
  SurveyData data;
  testing::ScriptedUi ui;
  int line = 0;
  Status status = Status::kOk;
  // The merge check after the first pass sees the grid coordinates too.
  ReadStationCoordinates(input, ReaderOptions{}, data, ui, line, status);
  ASSERT_EQ(data.stations.size(), 2u);
  EXPECT_TRUE(data.stations[1].has_nee);
  EXPECT_TRUE(ui.warnings.empty());
  ParseRecords(input, ReaderOptions{}, data, ui, line, status);
  EXPECT_TRUE(data.stations[1].has_nee);
  // The note, the GPS point with no rover height, and with no base.
  EXPECT_EQ(ui.warnings.size(), 3u);
}

TEST(DataNotes, CollectorsMeansInNotesAreNeverObservations) {
  // A direction set's reduced means as the collector writes them after it.
  const std::string set =
      "MO,AD0,UN1,SF1.0,EC0,EO0.0,AU0\n"
      "LS,HI1.5,HR1.6\n"
      "BK,OP104,BP103,BS,BC0.0000\n"
      "BD,OP104,FP103,AR0.0000,ZE90.5410,SD1085.995\n"
      "FD,OP104,FP105,AR189.1420,ZE89.2229,SD619.475\n"
      "FR,OP104,FP105,AR9.1418,ZE270.3719,SD619.476\n"
      "BR,OP104,FP103,AR179.5958,ZE269.0541,SD1085.996\n";
  const std::string means =
      "--SS,OP104,FP103,AR0.0000,ZE90.5414,SD1085.995000\n"
      "--LS,HI5.330000,HR5.630000\n"
      "--SS,OP104,FP105,AR189.1419,ZE89.2235,SD619.475500\n";
  const std::string check = "SS,OP104,FP106,AR10.0000,ZE90,SD100\n";
  Parsed without_means, with_means;
  Parse(set + check, without_means);
  Parse(set + means + check, with_means);
  auto plain = without_means.Observations();
  auto noted = with_means.Observations();
  ASSERT_EQ(noted.size(), plain.size());
  for (std::size_t i = 0; i < plain.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(noted[i].kind, plain[i].kind);
    EXPECT_EQ(noted[i].to, plain[i].to);
    EXPECT_EQ(noted[i].horizontal_angle, plain[i].horizontal_angle);
  }
  // The "--LS" note does not change the heights of the shot after it.
  EXPECT_DOUBLE_EQ(noted.back().target_height, 1.6);
  EXPECT_DOUBLE_EQ(noted.back().instrument_height, 1.5);
  EXPECT_EQ(with_means.ui.warnings, without_means.ui.warnings);
}

}  // namespace
}  // namespace trovisk

namespace trovisk {
namespace {

TEST(DataNotes, GridNotesOfManyPointsAreReportedInOneWarning) {
  std::istringstream input(
      "LS,HR2.0\n"
      "GPS,PNA,LA45.0000,LN-66.0000,EL20\n--GS,PNA,N 1,E 2,EL 3\n"
      "GPS,PNB,LA45.0001,LN-66.0000,EL20\n--GS,PNB,N 4,E 5\n"
      "GPS,PNC,LA45.0002,LN-66.0000,EL20\n--GS,PNC,N 7,E 8,EL 9\n");
  SurveyData data;
  testing::ScriptedUi ui;
  int line = 0;
  Status status = Status::kOk;
  ParseRecords(input, ReaderOptions{}, data, ui, line, status);
  std::vector<std::string> expected = {
      ":5: 'B' has no elevation in its note on line 5; 0 used",
      ":3: north, east and elevation of 3 stations taken from their notes, the first 'A' on "
      "line 3",
      ":2: 3 GPS points, the first 'A', have no base position before them; no vector is made "
      "for them"};
  ASSERT_EQ(ui.warnings.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(ui.warnings[i], expected[i]);
}

}  // namespace
}  // namespace trovisk
