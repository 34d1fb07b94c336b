// Direction sets: face pairs combined, one horizontal angle per target and set.
#include <gtest/gtest.h>

#include <string>

#include "rw5/parse_helper.h"

namespace trovisk {
namespace {

using testing::Dms;
using testing::kHundredthSecond;
using testing::kTenthMillimetre;
using testing::Parse;
using testing::Parsed;

TEST(DirectionSets, OneSetWorkedByHand) {
  Parsed p;
  Parse(
      "MO,AD0,UN1,SF1.0,EC0,EO0.0,AU0\n"
      "OC,OP1,N 1000,E 1000,EL100\n"
      "LS,HI1.500,HR1.800\n"
      "BK,OP1,BP2,BS,BC0.0000\n"
      "BD,OP1,FP2,AR0.0010,ZE90.0000,SD100.000\n"
      "FD,OP1,FP3,AR45.3020,ZE89.3000,SD200.004\n"
      "FR,OP1,FP3,AR225.3028,ZE270.3010,SD200.000\n"
      "FD,OP1,FP4,AR90.0000,ZE90.0000,SD50.000\n"
      "FR,OP1,FP4,AR270.0030,ZE270.0000,SD50.020\n"
      "BR,OP1,FP2,AR180.0018,ZE270.0000,SD100.002\n",
      p);
  auto observations = p.Observations();
  ASSERT_EQ(observations.size(), 4u);  // the backsight record, then the set
  // Reference: 0°00'10" and 180°00'18" give 0°00'14".
  const auto& reference = observations[1];
  EXPECT_EQ(reference.kind, ObservationKind::kZenithDistance);
  EXPECT_EQ(p.Name(reference.to), "2");
  EXPECT_NEAR(reference.zenith, Dms(90), kHundredthSecond);
  EXPECT_NEAR(reference.slope_distance, 100.001, kTenthMillimetre);
  EXPECT_STREQ(reference.Code(), "BD");
  EXPECT_EQ(reference.line, 5);

  // Target 3: 45°30'20" and 225°30'28" give 45°30'24", less 0°00'14".
  const auto& to3 = observations[2];
  EXPECT_EQ(to3.kind, ObservationKind::kHorizontalAngle);
  EXPECT_EQ(p.Name(to3.from), "1");
  EXPECT_EQ(p.Name(to3.backsight), "2");
  EXPECT_EQ(p.Name(to3.to), "3");
  EXPECT_NEAR(to3.horizontal_angle, Dms(45, 30, 10), kHundredthSecond);
  // 89°30'00" and 360° - 270°30'10" = 89°29'50".
  EXPECT_NEAR(to3.zenith, Dms(89, 29, 55), kHundredthSecond);
  EXPECT_NEAR(to3.slope_distance, 200.002, kTenthMillimetre);
  EXPECT_DOUBLE_EQ(to3.instrument_height, 1.5);
  EXPECT_DOUBLE_EQ(to3.target_height, 1.8);
  EXPECT_STREQ(to3.Code(), "FD");
  EXPECT_EQ(to3.line, 6);

  // Target 4: 90°00'00" and 270°00'30" give 90°00'15"; the faces differ by
  // 30" and 0.02 m, which is reported.
  const auto& to4 = observations[3];
  EXPECT_NEAR(to4.horizontal_angle, Dms(90, 0, 1), kHundredthSecond);
  EXPECT_NEAR(to4.slope_distance, 50.010, kTenthMillimetre);
  ASSERT_EQ(p.ui.warnings.size(), 2u);
  for (const auto& warning : p.ui.warnings) {
    SCOPED_TRACE(warning);
    EXPECT_EQ(warning.rfind("job.rw5:9: ", 0), 0u);
    EXPECT_NE(warning.find("'4' at '1'"), std::string::npos);
  }
  EXPECT_NE(p.ui.warnings[0].find("30\""), std::string::npos);
}

TEST(DirectionSets, SetBoundariesAndLonePointings) {
  Parsed p;
  Parse(
      "BK,OP1,BP2,BS,BC0\n"
      "BD,OP1,FP2,AR0.0000,ZE90,SD10\n"
      "FD,OP1,FP3,AR30.0000,ZE90,SD10\n"
      "FR,OP1,FP3,AR210.0000,ZE270,SD10\n"
      "BR,OP1,FP2,AR180.0000,ZE270,SD10\n"
      // A second round on another part of the circle is a set of its own.
      "BD,OP1,FP2,AR90.0000,ZE90,SD10\n"
      "FD,OP1,FP3,AR120.0010,ZE90,SD10\n"
      "FR,OP1,FP3,AR300.0010,ZE270,SD10\n"
      "BR,OP1,FP2,AR270.0000,ZE270,SD10\n"
      "SS,OP1,FP9,AR1.0000,SD4\n"
      "OC,OP5,N 1,E 1,EL1\n"
      "BK,OP5,BP1,BS,BC0\n"
      "BD,OP5,FP1,AR0.0000,ZE91.0000,SD10.5\n"  // a backsight check, not a set
      "BK,OP6,BP1,BS,BC0\n"
      "FR,OP6,FP7,AR210.0000,ZE271.0000,SD3\n",  // a foresight outside any set
      p);
  auto angles = p.OfKind(ObservationKind::kHorizontalAngle);
  ASSERT_EQ(angles.size(), 4u);
  EXPECT_NEAR(angles[0].horizontal_angle, Dms(30), kHundredthSecond);
  EXPECT_NEAR(angles[1].horizontal_angle, Dms(1), kHundredthSecond);  // the sideshot
  EXPECT_EQ(p.Name(angles[1].to), "9");
  EXPECT_NEAR(angles[2].horizontal_angle, Dms(30, 0, 10), kHundredthSecond);
  EXPECT_EQ(p.Name(angles[3].to), "7");
  EXPECT_NEAR(angles[3].horizontal_angle, Dms(30), kHundredthSecond);
  EXPECT_NEAR(angles[3].zenith, Dms(89), kHundredthSecond);

  auto vertical = p.OfKind(ObservationKind::kZenithDistance);
  ASSERT_EQ(vertical.size(), 3u);  // two set references and the check
  EXPECT_EQ(p.Name(vertical[2].from), "5");
  EXPECT_NEAR(vertical[2].zenith, Dms(91), kHundredthSecond);
  EXPECT_DOUBLE_EQ(vertical[2].slope_distance, 10.5);

  // Sequence numbers run in the order the observations were completed.
  auto observations = p.Observations();
  for (std::size_t i = 0; i < observations.size(); ++i) {
    EXPECT_EQ(observations[i].sequence, static_cast<std::int64_t>(i + 1));
  }
  EXPECT_TRUE(p.ui.warnings.empty());
}

TEST(DirectionSets, UnpairedAndCorruptPointingsAreKeptWithoutHarm) {
  Parsed p;
  Parse(
      "MO,UN2\n"
      "BK,OP110,BP111,BS,BC0\n"
      "BD,OP110,FP111,AR0.0000,ZE90.1731,SD516.081\n"
      "FD,OP110,FPCK.,AR34.0000,ZE-61.5811,SD90.212,--771.241000,--\n"
      "FR,OP110,FPCK.,AR34.0000,ZE-241.5812,SD269.383,--771.240000,--\n"
      "FD,OP110,FP12,AR10.0000,ZE90,SD5\n"  // face left only
      "FR,OP110,FP13,AR200.0000\n"          // face right only
      "BR,OP110,FP111,AR179.5953,ZE269.4217,SD516.081\n",
      p);
  auto angles = p.OfKind(ObservationKind::kHorizontalAngle);
  ASSERT_EQ(angles.size(), 3u);
  EXPECT_EQ(p.Name(angles[0].to), "CK.");
  EXPECT_TRUE(IsMissing(angles[0].zenith));
  // Reference 0°00'00" and 179°59'53" give 359°59'56.5".
  EXPECT_NEAR(angles[1].horizontal_angle, Dms(10, 0, 3.5), kHundredthSecond);
  EXPECT_NEAR(angles[2].horizontal_angle, Dms(20, 0, 3.5), kHundredthSecond);
  EXPECT_TRUE(IsMissing(angles[2].slope_distance));
  EXPECT_EQ(p.Station("CK.").description, "771.240000,--");
}

}  // namespace
}  // namespace trovisk
