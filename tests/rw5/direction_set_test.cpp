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
  // Reference 0°00'10" and 180°00'18" give 0°00'14"; the pointing keeps its
  // zenith and mean distance.
  const auto& reference = observations[1];
  EXPECT_EQ(reference.kind, ObservationKind::kZenithDistance);
  EXPECT_EQ(p.Name(reference.to), "2");
  EXPECT_NEAR(reference.zenith, Dms(90), kHundredthSecond);
  EXPECT_NEAR(reference.slope_distance, 100.001, kTenthMillimetre);
  EXPECT_EQ(std::string(reference.Code()) + std::to_string(reference.line), "BD3");

  // Target 3: 45°30'20" and 225°30'28" give 45°30'24", less 0°00'14";
  // zenith 89°30'00" and 360° - 270°30'10" = 89°29'50".
  const auto& to3 = observations[2];
  EXPECT_EQ(to3.kind, ObservationKind::kHorizontalAngle);
  EXPECT_EQ(p.Name(to3.from) + p.Name(to3.backsight) + p.Name(to3.to), "123");
  EXPECT_NEAR(to3.horizontal_angle, Dms(45, 30, 10), kHundredthSecond);
  EXPECT_NEAR(to3.zenith, Dms(89, 29, 55), kHundredthSecond);
  EXPECT_NEAR(to3.slope_distance, 200.002, kTenthMillimetre);
  EXPECT_DOUBLE_EQ(to3.target_height, 1.8);
  EXPECT_EQ(std::string(to3.Code()) + std::to_string(to3.line), "FD4");

  // Target 4: 90°00'00" and 270°00'30" give 90°00'15"; the faces differ by
  // 30" and 0.02 m, which is reported with the station, target and line.
  EXPECT_NEAR(observations[3].horizontal_angle, Dms(90, 0, 1), kHundredthSecond);
  EXPECT_NEAR(observations[3].slope_distance, 50.010, kTenthMillimetre);
  ASSERT_EQ(p.ui.warnings.size(), 2u);
  EXPECT_EQ(p.ui.warnings[0], "job.rw5:7: the two faces to '4' at '1' differ by 30\" in direction");
  EXPECT_EQ(p.ui.warnings[1].rfind("job.rw5:7: the two faces to '4' at '1' differ by 0.02", 0), 0u);
}

TEST(DirectionSets, BoundariesLonePointingsAndCorruptFaces) {
  Parsed p;
  Parse(
      "BK,OP1,BP2,BS,BC0\n"
      "BD,OP1,FP2,AR0,ZE90,SD10\n"
      "FD,OP1,FP3,AR30,ZE90,SD10\n"
      "FR,OP1,FP3,AR210,ZE270,SD10\n"
      "BR,OP1,FP2,AR180,ZE270,SD10\n"
      "BD,OP1,FP2,AR90,ZE90,SD10\n"  // a second round is a set of its own
      "FD,OP1,FP3,AR120.0010,ZE90,SD10\n"
      "FR,OP1,FP12,AR301\n"  // face right only
      "FD,OP1,FPCK.,AR34.0000,ZE-61.5811,SD90.212,--771.241000,--\n"
      "FR,OP1,FPCK.,AR34.0000,ZE-241.5812,SD269.383,--771.240000,--\n"
      "BR,OP1,FP2,AR270,ZE270,SD10\n"
      "SS,OP1,FP9,AR1,SD4\n"  // a sideshot does not close the set
      "BK,OP5,BP1,BS,BC0\n"
      "BD,OP5,FP1,AR0,ZE91,SD10.5\n"  // a backsight check, not a set
      "BK,OP6,BP1,BS,BC0\n"
      "FR,OP6,FP7,AR210,ZE271,SD3\n",  // a foresight outside any set
      p);
  // The corrupt pointings to CK. are filed where they come, each on its own
  // and not usable; they take no part in the set.
  auto angles = p.OfKind(ObservationKind::kHorizontalAngle);
  ASSERT_EQ(angles.size(), 7u);
  const char* targets[] = {"3", "CK.", "CK.", "9", "3", "12", "7"};
  const double expected[] = {Dms(30),        kNullValue, kNullValue, Dms(1),
                             Dms(30, 0, 10), Dms(31),    Dms(30)};
  for (std::size_t i = 0; i < angles.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(p.Name(angles[i].to), targets[i]);
    EXPECT_EQ(angles[i].rejected_because.empty(), IsPresent(expected[i]));
    if (IsPresent(expected[i])) {
      EXPECT_NEAR(angles[i].horizontal_angle, expected[i], kHundredthSecond);
    }
  }
  EXPECT_TRUE(IsMissing(angles[1].zenith));
  EXPECT_NE(angles[1].rejected_because.find("'ZE-61.5811'"), std::string::npos);
  EXPECT_NEAR(angles[6].zenith, Dms(89), kHundredthSecond);
  auto vertical = p.OfKind(ObservationKind::kZenithDistance);
  ASSERT_EQ(vertical.size(), 3u);  // two set references and the check
  EXPECT_NEAR(vertical[2].zenith, Dms(91), kHundredthSecond);
  auto observations = p.Observations();
  for (std::size_t i = 0; i < observations.size(); ++i) {
    EXPECT_EQ(observations[i].sequence, static_cast<std::int64_t>(i + 1));
  }
}

}  // namespace
}  // namespace trovisk
