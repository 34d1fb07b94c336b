// The field checks on small hand-made jobs: what each flags, and what it lets pass.
#include "checks/field_checks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "checks/orientation.h"
#include "geodesy/constants.h"
#include "rw5/parse_helper.h"

namespace trovisk {
namespace {

using testing::Parse;
using testing::Parsed;

// 1 at the origin oriented on 2 due north 100 m away, both at elevation 10;
// HI 1.5 and HR 1.5 throughout. 3 lies 100 m due east, also known.
const char kKnownSetup[] =
    "MO,AD0,UN1,SF1.00000000,EC0,EO0.0,AU0\n"
    "SP,PN1,N 1000.000,E 1000.000,EL10.000\n"
    "SP,PN2,N 1100.000,E 1000.000,EL10.000\n"
    "SP,PN3,N 1000.000,E 1100.000,EL10.000\n"
    "OC,OP1,N 1000.000,E 1000.000,EL10.000\n"
    "LS,HI1.500,HR1.500\n"
    "BK,OP1,BP2,BS0.0000,BC0.0000\n";

struct Expected {
  CheckKind kind;
  int line;
  std::string fragment;  // part of the finding's text
};

TEST(FieldChecks, EachCheckFlagsItsFaultAndPassesTheRest) {
  struct Case {
    const char* name;
    std::string records;  // after kKnownSetup (lines 8 on)
    std::vector<Expected> flagged;
    std::size_t passed;  // findings within the tolerances
  } cases[] = {
      {"backsight check and check shot within the tolerances",
       "BD,OP1,FP2,AR0.0000,ZE90.0000,SD100.010\nSS,OP1,FP3,AR90.0000,ZE90.0000,SD100.020\n",
       {},
       2},
      {"a check shot 60\" off in angle and 0.1 m off in height",
       "SS,OP1,FP3,AR90.0100,ZE89.5626,SD100.000\n",
       {{CheckKind::kCheckShot, 8,
         "angle 0\xC2\xB0"
         "01'00\""}},
       0},
      {"a backsight check 0.05 m + 50 ppm beyond the distance",
       "BD,OP1,FP2,AR0.0000,ZE90.0000,SD100.100\n",
       {{CheckKind::kBacksight, 8, "horizontal distance 0.100 m"}},
       0},
      {"a target height left over: same zenith and distance, other HR",
       "SS,OP1,FP9,AR45.0000,ZE91.0000,SD50.000\nLS,HR2.500\nSS,OP1,FP9,AR45.0000,ZE91.0000,"
       "SD50.000\n",
       {{CheckKind::kRepeatedPointing, 10, "a target height was probably left over"}},
       0},
      {"a repeated pointing 0.2 m apart in distance",
       "SS,OP1,FP9,AR45.0000,ZE90.0000,SD50.000\nSS,OP1,FP9,AR45.0000,ZE90.0000,SD50.200\n",
       {{CheckKind::kRepeatedPointing, 9, "horizontal distance by 0.200 m"}},
       0},
      {"a zenith of 1 degree with a distance",
       "SS,OP1,FP9,AR45.0000,ZE1.0000,SD5.000\n",
       {{CheckKind::kImplausible, 8, "no instrument measures that steeply"}},
       0},
      {"the instrument height changed within the setup",
       "SS,OP1,FP9,AR45.0000,ZE90.0000,SD50.000\nLS,HI1.700\nSS,OP1,FP8,AR50.0000,ZE90.0000,"
       "SD50.000\n",
       {{CheckKind::kImplausible, 10, "changes from 1.500 m to 1.700 m"}},
       0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Parsed p;
    Parse(kKnownSetup + c.records, p);
    const auto findings =
        RunFieldChecks(p.data, KnownStations(p.data.stations), nullptr, CheckTolerances{}, true);
    std::size_t flagged = 0, passed = 0;
    for (const CheckFinding& f : findings) (f.flagged ? flagged : passed)++;
    EXPECT_EQ(passed, c.passed);
    ASSERT_EQ(flagged, c.flagged.size());
    for (std::size_t i = 0; i < c.flagged.size(); ++i) {
      SCOPED_TRACE(findings[i].text);
      EXPECT_EQ(findings[i].kind, c.flagged[i].kind);
      EXPECT_EQ(findings[i].line, c.flagged[i].line);
      EXPECT_NE(findings[i].text.find(c.flagged[i].fragment), std::string::npos);
    }
  }
}

TEST(FieldChecks, OnAMapGridGroundDistancesAreScaledBeforeTheComparison) {
  // A backsight to a mark 100.000 m away on the grid.
  struct Case {
    double ground_to_grid;
    const char* distance;  // measured on the ground
    bool flagged;
  } cases[] = {
      {1.0, "100.100", true},     // taken as a plane: 0.100 m long
      {0.999, "100.100", false},  // 100.000 on the grid
      {0.999, "100.000", true},   // 0.100 m short on the grid
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.distance) + " at " + std::to_string(c.ground_to_grid));
    Parsed p;
    Parse(std::string(kKnownSetup) + "BD,OP1,FP2,AR0.0000,ZE90.0000,SD" + c.distance + "\n", p);
    KnownCoordinates known = KnownStations(p.data.stations);
    known.SetGroundToGrid(c.ground_to_grid);
    const auto findings = RunFieldChecks(p.data, known, nullptr, CheckTolerances{}, true);
    ASSERT_EQ(findings.size(), 1u);
    EXPECT_EQ(findings[0].flagged, c.flagged) << findings[0].text;
  }
}

TEST(FieldChecks, AStaleBacksightCircleIsTurnedBackOnlyWhenTheFileSettlesIt) {
  // 1 oriented on 2 with BS 30°, measured on line 4. The later setup on 1
  // carries BC 100°; its shot to 9 repeats the pointing on 2 and reads 30°
  // on the circle: rotated by -70°. With BS 30° the file settles it; with
  // BS 50° it does not.
  struct Case {
    const char* backsight_azimuth;
    bool settled;
    double angle_to_8;  // degrees from the backsight after the check
  } cases[] = {{"30.0000", true, 15.0}, {"50.0000", false, 305.0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.backsight_azimuth);
    Parsed p;
    Parse(std::string("MO,AD0,UN1,SF1.00000000,EC0,EO0.0,AU0\nLS,HI1.500,HR1.500\n"
                      "BK,OP1,BP2,BS30.0000,BC30.0000\n"
                      "BD,OP1,FP2,AR30.0000,ZE88.0000,SD80.000\n"
                      "BK,OP1,BP2,BS") +
              c.backsight_azimuth +
              ",BC100.0000\n"
              "SS,OP1,FP8,AR45.0000,ZE90.0000,SD20.000\n"
              "SS,OP1,FP9,AR30.0000,ZE88.0002,SD80.002\n",
          p);
    const auto findings = SettleOrientations(p.data, CheckTolerances{});
    ASSERT_EQ(findings.size(), 1u);
    EXPECT_EQ(findings[0].kind, CheckKind::kOrientation);
    EXPECT_EQ(findings[0].line, 5);
    EXPECT_NE(findings[0].text.find("rotated by -70\xC2\xB0"
                                    "00'00\""),
              std::string::npos);
    EXPECT_EQ(findings[0].text.find("turned back") != std::string::npos, c.settled);
    for (const auto& o : p.Observations()) {
      if (p.Name(o.to) == "8") {
        EXPECT_NEAR(o.horizontal_angle * 180.0 / kPi, c.angle_to_8, 1e-6);
      }
    }
  }
}

}  // namespace
}  // namespace trovisk
