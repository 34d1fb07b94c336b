// Record semantics: mode, heights, setups, sideshots and the division of one
// record's values among observations.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "rw5/parse_helper.h"

namespace trovisk {
namespace {

using testing::Dms;
using testing::kHundredthSecond;
using testing::kTenthMillimetre;
using testing::Parse;
using testing::Parsed;

constexpr double kFeet = 3.28083989501312;

TEST(RecordSemantics, BacksightObservationNeedsTheBacksightPointBeforeTheAzimuth) {
  struct Case {
    const char* name;
    const char* record;
    bool made;
    double azimuth;
    const char* occupied;
    const char* backsight;
  };
  const Case cases[] = {
      {"point then azimuth", "BK,OP1,BP2,BS315.0000,BC0.0044", true, Dms(315), "1", "2"},
      {"azimuth before point", "BK,OP1,BS315.0000,BP2,BC0.0044", false, 0, "", ""},
      {"empty azimuth", "BK,OP104,BP105,BS,BC0.0000", true, kNullValue, "104", "105"},
      {"no backsight point", "BK,OP1,BS315.0000,BC0", false, 0, "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Parsed p;
    Parse(std::string("LS,HI1.5,HR2.0\n") + c.record + "\n", p);
    auto observations = p.Observations();
    ASSERT_EQ(observations.size(), c.made ? 1u : 0u);
    if (!c.made) continue;
    const auto& o = observations[0];
    EXPECT_STREQ(o.Code(), "BK");
    EXPECT_EQ(o.kind, ObservationKind::kAzimuth);
    EXPECT_TRUE(o.computed);
    EXPECT_EQ(p.Name(o.from), c.occupied);
    EXPECT_EQ(p.Name(o.to), c.backsight);
    if (IsMissing(c.azimuth)) {
      EXPECT_TRUE(IsMissing(o.azimuth));
    } else {
      EXPECT_NEAR(o.azimuth, c.azimuth, kHundredthSecond);
    }
    EXPECT_DOUBLE_EQ(o.instrument_height, 1.5);
    EXPECT_DOUBLE_EQ(o.target_height, 2.0);
  }
}

TEST(RecordSemantics, HeightsFollowTheLastRecordThatSetThem) {
  Parsed p;
  Parse(
      "MO,AD0,UN0,SF1.0,EC0,EO0.0,AU0\n"
      "LS,HI5.0,HR6.0\n"
      "BK,OP1,BP2,BS0.0000,BC0\n"
      "SS,OP1,FP3,AR10.0000,ZE90.0000,SD10.0,HR4.0\n"
      "SS,OP1,FP4,AR20.0000,ZE90.0000,SD10.0\n"
      "LS,HR\n"
      "SS,OP1,FP5,AR30.0000,ZE90.0000,SD10.0\n",
      p);
  auto angles = p.OfKind(ObservationKind::kHorizontalAngle);
  ASSERT_EQ(angles.size(), 3u);
  for (const auto& o : angles) EXPECT_DOUBLE_EQ(o.instrument_height, 5.0 / kFeet);
  EXPECT_DOUBLE_EQ(angles[0].target_height, 4.0 / kFeet);  // the record's own HR
  EXPECT_DOUBLE_EQ(angles[1].target_height, 4.0 / kFeet);  // carried on
  EXPECT_TRUE(IsMissing(angles[2].target_height));         // "HR" with no value
  EXPECT_NEAR(angles[0].slope_distance, 10.0 / kFeet, 1e-12);
}

TEST(RecordSemantics, AnglesOfSideshots) {
  struct Case {
    const char* name;
    const char* setup;
    const char* shot;
    ObservationKind kind;
    double horizontal;  // angle or azimuth, radians
    double zenith;
  };
  const Case cases[] = {
      {"zenith 270 folds to 90", "BK,OP1,BP2,BS0,BC0", "SS,OP1,FP3,AR10.0000,ZE270.0000,SD5",
       ObservationKind::kHorizontalAngle, Dms(10), Dms(90)},
      {"zenith 0 is none", "BK,OP1,BP2,BS0,BC0", "SS,OP1,FP3,AR10.0000,ZE0,SD5",
       ObservationKind::kHorizontalAngle, Dms(10), kNullValue},
      {"angle left 90 is angle right 270", "BK,OP1,BP2,BS0,BC0", "SS,OP1,FP3,AL90.0000,ZE90",
       ObservationKind::kHorizontalAngle, Dms(270), Dms(90)},
      {"backsight azimuth 350 plus 20", "BK,OP1,BS350.0000,BC0", "SS,OP1,FP3,AR20.0000,ZE90",
       ObservationKind::kAzimuth, Dms(10), Dms(90)},
      {"circle reading removed", "BK,OP1,BP2,BS0,BC30.0000", "SS,OP1,FP3,AR20.0000,ZE90",
       ObservationKind::kHorizontalAngle, Dms(350), Dms(90)},
      {"circle reading removed from azimuth", "BK,OP1,BS100.0000,BC100.0000",
       "SS,OP1,FP3,AR130.1020,ZE90", ObservationKind::kAzimuth, Dms(130, 10, 20), Dms(90)},
      {"measured azimuth kept", "BK,OP1,BP2,BS0,BC0", "SS,OP1,FP3,AZ123.4530,ZE85.3000",
       ObservationKind::kAzimuth, Dms(123, 45, 30), Dms(85, 30)},
      {"packed fractional seconds", "BK,OP1,BP2,BS0,BC0", "SS,OP1,FP3,AR55.05521,ZE90",
       ObservationKind::kHorizontalAngle, Dms(55, 5, 52.1), Dms(90)},
      {"grads", "MO,AU1\nBK,OP1,BP2,BS0,BC0", "SS,OP1,FP3,AR100.0000,ZE300.0000",
       ObservationKind::kHorizontalAngle, Dms(90), Dms(90)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Parsed p;
    Parse(std::string(c.setup) + "\n" + c.shot + "\n", p);
    auto observations = p.Observations();
    ASSERT_FALSE(observations.empty());
    const auto& o = observations.back();
    EXPECT_EQ(o.kind, c.kind);
    double horizontal = c.kind == ObservationKind::kAzimuth ? o.azimuth : o.horizontal_angle;
    EXPECT_NEAR(horizontal, c.horizontal, kHundredthSecond);
    if (IsMissing(c.zenith)) {
      EXPECT_TRUE(IsMissing(o.zenith));
    } else {
      EXPECT_NEAR(o.zenith, c.zenith, kHundredthSecond);
    }
    EXPECT_EQ(p.Name(o.to), "3");
  }
}

TEST(RecordSemantics, OneRecordIsDividedSoThatEveryValueIsKeptOnce) {
  Parsed p;
  Parse(
      "MO,AD0,UN1,SF1.0,EC0,EO0.0,AU0\n"
      "LS,HI1.5,HR1.8\n"
      "BK,OP1,BP2,BS,BC0\n"
      "SS,OP1,FP3,AR45.0000,ZE80.0000,SD100.0,--TREE\n"
      "SS,OP1,FP4,ZE95.0000,HD50.0\n"
      "TR,OP1,FP5,CE-2.5,HD30.0\n"
      "OB,OP1,FP6,AR10.0000,AZ200.0000,SD7.0\n",
      p);
  auto observations = p.Observations();
  ASSERT_EQ(observations.size(), 8u);
  // Sequence numbers follow arrival; every observation keeps its line and code.
  for (std::size_t i = 0; i < observations.size(); ++i) {
    EXPECT_EQ(observations[i].sequence, static_cast<std::int64_t>(i + 1));
  }
  const ObservationKind expected_kinds[] = {ObservationKind::kAzimuth,
                                            ObservationKind::kHorizontalAngle,
                                            ObservationKind::kZenithDistance,
                                            ObservationKind::kHorizontalDistance,
                                            ObservationKind::kHorizontalDistance,
                                            ObservationKind::kHeightDifference,
                                            ObservationKind::kHorizontalAngle,
                                            ObservationKind::kAzimuth};
  const int expected_lines[] = {3, 4, 5, 5, 6, 6, 7, 7};
  const char* expected_codes[] = {"BK", "SS", "SS", "SS", "TR", "TR", "OB", "OB"};
  for (std::size_t i = 0; i < observations.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(observations[i].kind, expected_kinds[i]);
    EXPECT_EQ(observations[i].line, expected_lines[i]);
    EXPECT_STREQ(observations[i].Code(), expected_codes[i]);
  }
  const auto& shot = observations[1];
  EXPECT_EQ(p.Name(shot.backsight), "2");
  EXPECT_NEAR(shot.horizontal_angle, Dms(45), kHundredthSecond);
  EXPECT_NEAR(shot.zenith, Dms(80), kHundredthSecond);
  EXPECT_DOUBLE_EQ(shot.slope_distance, 100.0);
  EXPECT_TRUE(IsMissing(shot.azimuth));
  EXPECT_EQ(p.Station("3").description, "TREE");
  EXPECT_NEAR(observations[2].zenith, Dms(95), kHundredthSecond);
  EXPECT_TRUE(IsMissing(observations[2].slope_distance));
  EXPECT_DOUBLE_EQ(observations[3].horizontal_distance, 50.0);
  EXPECT_DOUBLE_EQ(observations[5].height_difference, -2.5);
  EXPECT_NEAR(observations[6].horizontal_angle, Dms(10), kHundredthSecond);
  EXPECT_DOUBLE_EQ(observations[6].slope_distance, 7.0);
  EXPECT_NEAR(observations[7].azimuth, Dms(200), kHundredthSecond);
  EXPECT_TRUE(IsMissing(observations[7].slope_distance));
}

TEST(RecordSemantics, UnitsOfTheModeInForce) {
  struct Case {
    const char* mode;
    double metres_per_unit;
    int units;
  };
  const Case cases[] = {{"MO,AD0,UN0,SF1.0,EC0,EO0.0,AU0", 1 / 3.28083989501312, 0},
                        {"MO,AD0,UN1,SF1.0,EC0,EO0.0,AU0", 1.0, 1},
                        {"MO,AD0,UN2,SF1.0,EC0,EO0.0,AU0", 1 / 3.28083333333333, 2},
                        {"MO,AD0,UN7", 1.0, 7},
                        // A malformed mode record as one collector wrote it.
                        {"MO,AD0,UN0 SF1.00000000,EC1,EO0.0,AUO", 1 / 3.28083989501312, 0},
                        // A unit field without a value changes nothing.
                        {"MO,AD0,UN2\nMO,UN,AU", 1 / 3.28083333333333, 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mode);
    Parsed p;
    Parse(std::string(c.mode) + "\nLS,HI5.0,HR1.0\nBK,OP1,BP2,BS0,BC0\nSS,OP1,FP3,AR1,SD10\n", p);
    auto shot = p.OfKind(ObservationKind::kHorizontalAngle);
    ASSERT_EQ(shot.size(), 1u);
    EXPECT_DOUBLE_EQ(shot[0].instrument_height, 5.0 * c.metres_per_unit);
    EXPECT_DOUBLE_EQ(shot[0].slope_distance, 10.0 * c.metres_per_unit);
    EXPECT_EQ(p.data.distance_units, c.units);
    EXPECT_EQ(p.Station("3").distance_units, c.units);
  }
}

TEST(RecordSemantics, ModeNoteStandsInForAMissingModeRecord) {
  Parsed p;
  Parse("--MO,AD0,UN2,SF1.00000000,EC0,EO0.0,AU0\nBK,OP1,BP2,BS,BC0\nSS,OP1,FP3,AR1,SD10\n", p);
  EXPECT_EQ(p.data.distance_units, 2);
  auto shot = p.OfKind(ObservationKind::kHorizontalAngle);
  ASSERT_EQ(shot.size(), 1u);
  EXPECT_DOUBLE_EQ(shot[0].slope_distance, 10.0 / 3.28083333333333);
  ASSERT_EQ(p.ui.warnings.size(), 1u);
  EXPECT_EQ(p.ui.warnings[0].rfind("job.rw5:2: ", 0), 0u) << p.ui.warnings[0];

  // A live mode record wins over notes before and after it.
  Parsed live;
  Parse("MO,UN1\n--MO,UN2\nBK,OP1,BP2,BS,BC0\nSS,OP1,FP3,AR1,SD10\n", live);
  EXPECT_EQ(live.data.distance_units, 1);
  EXPECT_TRUE(live.ui.warnings.empty());
}

TEST(RecordSemantics, MeasuredBacksightReadingReplacesTheCircleReading) {
  struct Case {
    const char* name;
    const char* records;
    double angle;  // horizontal angle of the shot to 3
    std::size_t warnings;
  };
  const Case cases[] = {
      // The collector wrote BC = BS, so every reading is an oriented azimuth.
      {"circle equal to azimuth",
       "BK,OP1,BP2,BS340.0906,BC340.0906\n"
       "BD,OP1,FP2,AR340.0906,ZE90\n"
       "SS,OP1,FP3,AR10.0906,ZE90\n",
       Dms(30), 0},
      // A stale BC: the reading on the backsight sets the circle right.
      {"stale circle, sideshot to backsight",
       "BK,OP1,BP2,BS340.0906,BC261.3020\n"
       "SS,OP1,FP2,AR340.0906,ZE90\n"
       "SS,OP1,FP3,AR10.0906,ZE90\n",
       Dms(30), 0},
      // After a foresight the reading no longer changes the setup, but a
      // disagreement is reported.
      {"backsight after a foresight",
       "BK,OP1,BP2,BS0,BC0\n"
       "SS,OP1,FP3,AR30.0000,ZE90\n"
       "SS,OP1,FP2,AR0.0100,ZE90\n",
       Dms(30), 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Parsed p;
    Parse(c.records, p);
    auto angles = p.OfKind(ObservationKind::kHorizontalAngle);
    ASSERT_EQ(angles.size(), 1u);
    EXPECT_EQ(p.Name(angles[0].to), "3");
    EXPECT_NEAR(angles[0].horizontal_angle, c.angle, kHundredthSecond);
    EXPECT_EQ(p.ui.warnings.size(), c.warnings);
    // The pointing to the backsight keeps its zenith, without an angle.
    auto vertical = p.OfKind(ObservationKind::kZenithDistance);
    ASSERT_EQ(vertical.size(), 1u);
    EXPECT_EQ(p.Name(vertical[0].to), "2");
  }
}

TEST(RecordSemantics, QuestionableValuesAreReportedNotKept) {
  Parsed p;
  Parse(
      "BK,OP1,BP2,BS0,BC0\n"
      "SS,OP1,FP3,AR1e400,ZE-61.5811,SD12.0\n"
      "SS,OP1,FP4,AR10,ZEnan,SDinf\n"
      "BK,OP1,BS,BC0\n"
      "SS,OP1,FP5,AR10,SD3\n",
      p);
  auto observations = p.Observations();
  for (const auto& o : observations) {
    for (double v : {o.horizontal_angle, o.azimuth, o.zenith, o.slope_distance}) {
      EXPECT_TRUE(std::isfinite(v));
    }
  }
  // Shot 3 keeps only its distance, shot 4 only its angle, shot 5 only its distance.
  ASSERT_EQ(observations.size(), 4u);
  EXPECT_EQ(observations[1].kind, ObservationKind::kZenithDistance);
  EXPECT_DOUBLE_EQ(observations[1].slope_distance, 12.0);
  EXPECT_EQ(observations[2].kind, ObservationKind::kHorizontalAngle);
  EXPECT_TRUE(IsMissing(observations[2].zenith));
  EXPECT_TRUE(IsMissing(observations[2].slope_distance));
  EXPECT_EQ(observations[3].kind, ObservationKind::kZenithDistance);
  ASSERT_EQ(p.ui.warnings.size(), 5u);
  EXPECT_EQ(p.ui.warnings[0].rfind("job.rw5:2: ", 0), 0u);
  EXPECT_NE(p.ui.warnings[1].find("ZE-61.5811"), std::string::npos);
  EXPECT_EQ(p.ui.warnings[4].rfind("job.rw5:5: ", 0), 0u);
}

TEST(RecordSemantics, UnsupportedCodesAreAskedOnceAndDecliningStops) {
  const std::string file = "BK,OP1,BP2,BS0,BC0\nGPS,PN1\nSS,OP1,FP3,AR1,SD1\nGPS,PN2\nES,X\nRX,Y\n";
  Parsed yes;
  Parse(file, yes);
  EXPECT_EQ(yes.ui.MessageIds(), std::vector<int>{2121});
  EXPECT_EQ(yes.status, 0);
  EXPECT_EQ(yes.data.skipped_codes, std::vector<std::string>{"GPS"});
  EXPECT_EQ(yes.Observations().size(), 2u);

  Parsed no;
  no.ui.answers = {Answer::kNo};
  Parse(file, no);
  EXPECT_EQ(no.status, 2121);
  EXPECT_EQ(no.line_counter, 2);
  EXPECT_EQ(no.data.observations.size(), 1u);  // only the reserved record
}

TEST(RecordSemantics, ReadErrorStopsWith1003) {
  std::istringstream input("SS,OP1\n");
  input.setstate(std::ios::badbit);
  SurveyData data;
  testing::ScriptedUi ui;
  int line = 0, status = 0;
  ParseRecords(input, ReaderOptions{}, data, ui, line, status);
  EXPECT_EQ(status, 1003);
}

}  // namespace
}  // namespace trovisk

namespace trovisk {
namespace {

TEST(RecordSemantics, RandomRecordsNeverBreakTheReader) {
  const char* codes[] = {"MO", "LS", "BK", "SS", "TR", "OB", "BD", "BR", "FD", "FR",
                         "OC", "SP", "BP", "AH", "BL", "CV", "JB", "XX", "--", ""};
  const char* prefixes[] = {"OP", "FP", "BP", "PN", "AR", "AL", "AZ", "ZE", "SD", "HD", "CE",
                            "HR", "HI", "BS", "BC", "UN", "AU", "N ", "E ", "EL", "LA", "LN",
                            "HT", "AG", "DX", "DY", "DZ", "XX", "ZZ", "DC", "--", ""};
  const char* values[] = {
      "",    "0",     "1",    "-1", "359.5959", "1e400",  "nan", "-61.5811",
      "CK.", "ROVER", "BASE", "  ", "2",        "1e-400", ",",   "999999999999999999999"};
  std::mt19937 random(7);
  auto pick = [&](const auto& table) {
    return std::string(table[random() % (sizeof(table) / sizeof(table[0]))]);
  };
  for (int round = 0; round < 40; ++round) {
    SCOPED_TRACE(round);
    std::string file;
    for (int line = 0; line < 200; ++line) {
      file += pick(codes);
      for (unsigned field = random() % 9; field > 0; --field)
        file += "," + pick(prefixes) + pick(values);
      file += random() % 5 == 0 ? "\r\n" : "\n";
    }
    for (bool antenna_to_mark : {false, true}) {
      ReaderOptions options;
      options.gps_antenna_to_antenna = antenna_to_mark;
      testing::Parsed p;
      Parse(file, p, options);
      EXPECT_EQ(p.status, 0);
      for (const auto& o : p.Observations()) {
        for (double v : {o.horizontal_angle, o.azimuth, o.zenith, o.slope_distance, o.dx, o.dz}) {
          ASSERT_TRUE(std::isfinite(v));
        }
      }
    }
  }
}

}  // namespace
}  // namespace trovisk
