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
using testing::Parse;
using testing::Parsed;

constexpr double kFeet = 3.28083989501312;
constexpr double kUsFeet = 3.28083333333333;

TEST(RecordSemantics, BacksightObservationNeedsTheBacksightPointBeforeTheAzimuth) {
  struct Case {
    const char* record;
    bool made;
    double azimuth;
  };
  const Case cases[] = {{"BK,OP1,BP2,BS315.0000,BC0.0044", true, Dms(315)},
                        {"BK,OP1,BS315.0000,BP2,BC0.0044", false, 0},
                        {"BK,OP1,BP2,BS,BC0.0000", true, kNullValue},  // empty, not zero
                        {"BK,OP1,BS315.0000,BC0", false, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.record);
    Parsed p;
    Parse(std::string("LS,HI1.5,HR2.0\n") + c.record + "\n", p);
    auto observations = p.Observations();
    ASSERT_EQ(observations.size(), c.made ? 1u : 0u);
    if (!c.made) continue;
    const auto& o = observations[0];
    EXPECT_STREQ(o.Code(), "BK");
    EXPECT_EQ(o.kind, ObservationKind::kAzimuth);
    EXPECT_TRUE(o.computed);
    EXPECT_EQ(p.Name(o.from) + ">" + p.Name(o.to), "1>2");
    EXPECT_EQ(IsMissing(o.azimuth), IsMissing(c.azimuth));
    if (IsPresent(c.azimuth)) {
      EXPECT_NEAR(o.azimuth, c.azimuth, kHundredthSecond);
    }
    EXPECT_DOUBLE_EQ(o.target_height, 2.0);
  }
}

TEST(RecordSemantics, HeightsAndUnitsInForce) {
  Parsed p;
  Parse(
      "MO,AD0,UN0,SF1.0,EC0,EO0.0,AU0\n"
      "LS,HI5.0,HR6.0\n"
      "BK,OP1,BP2,BS0.0000,BC0\n"
      "SS,OP1,FP3,AR10,SD10.0,HR4.0\n"
      "SS,OP1,FP4,AR20,SD10.0\n"
      "LS,HR\n"
      "MO,AD0,UN0 SF1.00000000,EC1,EO0.0,AUO\n"  // malformed as one collector wrote it
      "SS,OP1,FP5,AR30\n"
      "MO,UN2\n"
      "MO,UN,AU\n"  // unit fields without a value change nothing
      "SS,OP1,FP6,AR40,SD10.0\n",
      p);
  auto angles = p.OfKind(ObservationKind::kHorizontalAngle);
  ASSERT_EQ(angles.size(), 4u);
  EXPECT_DOUBLE_EQ(angles[0].instrument_height, 5.0 / kFeet);
  EXPECT_DOUBLE_EQ(angles[0].target_height, 4.0 / kFeet);  // the record's own HR
  EXPECT_DOUBLE_EQ(angles[1].target_height, 4.0 / kFeet);  // carried on
  EXPECT_TRUE(IsMissing(angles[2].target_height));         // "HR" with no value
  EXPECT_DOUBLE_EQ(angles[2].instrument_height, 5.0 / kFeet);
  EXPECT_DOUBLE_EQ(angles[3].slope_distance, 10.0 / kUsFeet);
  EXPECT_EQ(p.data.distance_units, 2);
  EXPECT_EQ(p.Station("5").distance_units, 0);
  EXPECT_EQ(p.Station("6").distance_units, 2);
}

TEST(RecordSemantics, AnglesOfSideshots) {
  struct Case {
    const char* setup;
    const char* shot;
    ObservationKind kind;
    double horizontal;  // angle or azimuth, radians
    double zenith;
  };
  const Case cases[] = {
      {"BK,OP1,BP2,BS0,BC0", "SS,OP1,FP3,AR10,ZE270", ObservationKind::kHorizontalAngle, Dms(10),
       Dms(90)},
      {"BK,OP1,BP2,BS0,BC0", "SS,OP1,FP3,AR10,ZE0,SD5", ObservationKind::kHorizontalAngle, Dms(10),
       kNullValue},
      {"BK,OP1,BP2,BS0,BC0", "SS,OP1,FP3,AL90,ZE90", ObservationKind::kHorizontalAngle, Dms(270),
       Dms(90)},
      {"BK,OP1,BS350,BC0", "SS,OP1,FP3,AR20,ZE90", ObservationKind::kAzimuth, Dms(10), Dms(90)},
      {"BK,OP1,BP2,BS0,BC30", "SS,OP1,FP3,AR20,ZE90", ObservationKind::kHorizontalAngle, Dms(350),
       Dms(90)},
      {"BK,OP1,BS100,BC100", "SS,OP1,FP3,AR130.1020", ObservationKind::kAzimuth, Dms(130, 10, 20),
       kNullValue},
      {"BK,OP1,BP2,BS0,BC0", "SS,OP1,FP3,AZ123.4530,ZE95.3000", ObservationKind::kAzimuth,
       Dms(123, 45, 30), Dms(95, 30)},
      {"BK,OP1,BP2,BS0,BC0", "SS,OP1,FP3,AR55.05521", ObservationKind::kHorizontalAngle,
       Dms(55, 5, 52.1), kNullValue},
      {"MO,AU1\nBK,OP1,BP2,BS0,BC0", "SS,OP1,FP3,AR100,ZE300", ObservationKind::kHorizontalAngle,
       Dms(90), Dms(90)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.shot);
    Parsed p;
    Parse(std::string(c.setup) + "\n" + c.shot + "\n", p);
    const auto o = p.Observations().back();
    EXPECT_EQ(o.kind, c.kind);
    EXPECT_NEAR(c.kind == ObservationKind::kAzimuth ? o.azimuth : o.horizontal_angle, c.horizontal,
                kHundredthSecond);
    EXPECT_EQ(IsMissing(o.zenith), IsMissing(c.zenith));
    if (IsPresent(c.zenith)) {
      EXPECT_NEAR(o.zenith, c.zenith, kHundredthSecond);
    }
  }
}

TEST(RecordSemantics, OneRecordIsDividedSoThatEveryValueIsKeptOnce) {
  Parsed p;
  Parse(
      "BK,OP1,BP2,BS,BC0\n"
      "SS,OP1,FP3,AR45,ZE80,SD100.0,--TREE\n"
      "SS,OP1,FP4,ZE95,HD50.0\n"
      "TR,OP1,FP5,CE-2.5,HD30.0\n"
      "OB,OP1,FP6,AR10,AZ200,SD7.0\n",
      p);
  auto observations = p.Observations();
  ASSERT_EQ(observations.size(), 8u);
  using K = ObservationKind;
  const K kinds[] = {K::kAzimuth,
                     K::kHorizontalAngle,
                     K::kZenithDistance,
                     K::kHorizontalDistance,
                     K::kHorizontalDistance,
                     K::kHeightDifference,
                     K::kHorizontalAngle,
                     K::kAzimuth};
  const int lines[] = {1, 2, 3, 3, 4, 4, 5, 5};
  const char* codes[] = {"BK", "SS", "SS", "SS", "TR", "TR", "OB", "OB"};
  for (std::size_t i = 0; i < observations.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(observations[i].sequence, static_cast<std::int64_t>(i + 1));
    EXPECT_EQ(observations[i].kind, kinds[i]);
    EXPECT_EQ(observations[i].line, lines[i]);
    EXPECT_STREQ(observations[i].Code(), codes[i]);
  }
  EXPECT_EQ(p.Name(observations[1].backsight), "2");
  EXPECT_DOUBLE_EQ(observations[1].slope_distance, 100.0);
  EXPECT_TRUE(IsMissing(observations[1].azimuth));
  EXPECT_EQ(p.Description("3"), "TREE");
  EXPECT_TRUE(IsMissing(observations[2].slope_distance));
  EXPECT_DOUBLE_EQ(observations[3].horizontal_distance, 50.0);
  EXPECT_DOUBLE_EQ(observations[5].height_difference, -2.5);
  EXPECT_DOUBLE_EQ(observations[6].slope_distance, 7.0);
  EXPECT_NEAR(observations[7].azimuth, Dms(200), kHundredthSecond);
}

TEST(RecordSemantics, MeasuredBacksightReadingReplacesTheCircleReading) {
  struct Case {
    const char* records;
    std::size_t warnings;
  };
  const Case cases[] = {
      // The collector wrote BC = BS: every reading is an oriented azimuth.
      {"BK,OP1,BP2,BS340.0906,BC340.0906\nBD,OP1,FP2,AR340.0906\nSS,OP1,FP3,AR10.0906", 0},
      // A stale BC: the reading on the backsight sets the circle right.
      {"BK,OP1,BP2,BS340.0906,BC261.3020\nSS,OP1,FP2,AR340.0906\nSS,OP1,FP3,AR10.0906", 0},
      // After a foresight a reading on the backsight only reports a disagreement.
      {"BK,OP1,BP2,BS0,BC0\nSS,OP1,FP3,AR30\nSS,OP1,FP2,AR0.0100,ZE90", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.records);
    Parsed p;
    Parse(c.records, p);
    auto angles = p.OfKind(ObservationKind::kHorizontalAngle);
    ASSERT_EQ(angles.size(), 1u);
    EXPECT_NEAR(angles[0].horizontal_angle, Dms(30), kHundredthSecond);
    EXPECT_EQ(p.ui.warnings.size(), c.warnings);
  }
}

TEST(RecordSemantics, ModeNoteStandsInForAMissingModeRecord) {
  Parsed p;
  Parse(
      "--MO,AD0,UN2,SF1.00000000,EC0,EO0.0,AU0\nBK,OP1,BP2,BS,BC0\nSS,OP1,FP3,AR1,SD10\n"
      "--MO,UN0\nMO,UN1\n--MO,UN0\n",  // a live mode record ends the notes' say
      p);
  EXPECT_EQ(p.data.distance_units, 1);
  EXPECT_DOUBLE_EQ(p.Observations().back().slope_distance, 10.0 / kUsFeet);
  // Two notes before the mode record, each reported at its own line.
  EXPECT_EQ(p.ui.warnings,
            (std::vector<std::string>{
                "job.rw5:1: units taken from the note on line 1: US survey feet",
                "job.rw5:4: units taken from the note on line 4: international feet"}));
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
  ASSERT_EQ(observations.size(), 4u);
  // Shot 3 keeps only its distance, shot 4 only its angle, shot 5 (with no
  // orientation) only its distance.
  EXPECT_EQ(observations[1].kind, ObservationKind::kZenithDistance);
  EXPECT_DOUBLE_EQ(observations[1].slope_distance, 12.0);
  EXPECT_EQ(observations[2].kind, ObservationKind::kHorizontalAngle);
  EXPECT_TRUE(IsMissing(observations[2].zenith) && IsMissing(observations[2].slope_distance));
  EXPECT_EQ(observations[3].kind, ObservationKind::kZenithDistance);
  ASSERT_EQ(p.ui.warnings.size(), 5u);
  EXPECT_EQ(p.ui.warnings[0].rfind("job.rw5:2: ", 0), 0u);
  EXPECT_NE(p.ui.warnings[1].find("ZE-61.5811"), std::string::npos);
  EXPECT_EQ(p.ui.warnings[4].rfind("job.rw5:5: ", 0), 0u);
}

TEST(RecordSemantics, DecliningAnUnsupportedCodeDropsTheObservations) {
  Parsed p;
  p.ui.answers = {Answer::kNo};
  Parse("BK,OP1,BP2,BS0,BC0\nSS,OP1,FP3,AR1\nQQ,PN2\nSS,OP1,FP4,AR1\n", p);
  EXPECT_EQ(p.status, Status::kCancelled);
  EXPECT_EQ(p.line_counter, 3);
  EXPECT_EQ(p.data.observations.size(), 1u);  // only the reserved record
}

TEST(RecordSemantics, RandomRecordsNeverBreakTheReader) {
  const char* codes[] = {"MO", "LS",  "BK", "SS", "TR", "OB", "BD", "BR",   "FD",
                         "FR", "OC",  "SP", "BP", "AH", "BL", "CV", "JB",   "--",
                         "",   "GPS", "G0", "G1", "G2", "G3", "G4", "--GS", "--MO"};
  const char* prefixes[] = {"OP", "FP", "BP", "PN", "AR", "AL", "AZ", "ZE", "SD", "HD",
                            "CE", "HR", "HI", "BS", "BC", "UN", "AU", "N ", "E ", "EL",
                            "LA", "LN", "HT", "AG", "DX", "DY", "DZ", "XX", "ZZ", "DC",
                            "--", "",   "PA", "VX", "VZ", "XY", "YZ"};
  const char* values[] = {"",    "0",        "-1",     "359.5959", "1e400",
                          "nan", "-61.5811", "CK.",    "ROVER",    "BASE",
                          "  ",  "2",        "1e-400", ",",        "999999999999999999999"};
  std::mt19937 random(7);
  auto pick = [&](const auto& table) {
    return std::string(table[random() % (sizeof(table) / sizeof(table[0]))]);
  };
  for (int round = 0; round < 40; ++round) {
    std::string file;
    for (int line = 0; line < 200; ++line) {
      file += pick(codes);
      for (unsigned field = random() % 9; field > 0; --field) {
        file += "," + pick(prefixes) + pick(values);
      }
      file += random() % 5 == 0 ? "\r\n" : "\n";
    }
    for (bool antenna_to_mark : {false, true}) {
      ReaderOptions options;
      options.gps_antenna_to_antenna = antenna_to_mark;
      Parsed p;
      Parse(file, p, options);
      EXPECT_EQ(p.status, Status::kOk);
      for (const auto& o : p.Observations()) {
        for (double v : {o.horizontal_angle, o.azimuth, o.zenith, o.slope_distance, o.dx, o.dz}) {
          ASSERT_TRUE(std::isfinite(v)) << file;
        }
      }
    }
  }
}

}  // namespace
}  // namespace trovisk
