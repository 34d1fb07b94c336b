// The station list: its name index under growth, names told apart by the
// part a station keeps, and descriptions kept once.
#include "rw5/station_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace trovisk {
namespace {

TEST(StationList, EveryNameFoundAgainAfterTheIndexGrows) {
  StationList list;
  // Names alike but for their last characters, as surveys number them.
  for (int i = 1; i <= 5000; ++i) EXPECT_EQ(list.FindOrAdd("P" + std::to_string(i), 1), i);
  for (int i = 1; i <= 5000; ++i) {
    const std::string name = "P" + std::to_string(i);
    ASSERT_EQ(list.Find(name), i) << name;
    ASSERT_EQ(list.FindOrAdd(name, 2), i) << name;
    ASSERT_EQ(list[static_cast<std::size_t>(i)].name, name);
  }
  EXPECT_EQ(list.Find("P0"), 0);
  EXPECT_EQ(list.Find(""), 0);
  EXPECT_EQ(list.FindOrAdd("", 1), 0);
  EXPECT_EQ(list.size(), 5001u);
}

// Point numbers written differently ("07" and "7", "FP" and "FP1") are
// different stations.
TEST(StationList, NumberedNamesOfEveryShapeAreKeptApart) {
  std::vector<std::string> names;
  for (int i = 0; i < 3000; ++i) names.push_back("FP" + std::to_string(1000 + i));  // a run
  for (int i = 0; i < 3000; ++i) names.push_back(std::to_string(10 * i));           // one per group
  for (const char* zeros : {"0", "00", "000"}) {
    for (int i = 0; i < 200; ++i) names.push_back(zeros + std::to_string(i));  // "07" is not "7"
  }
  for (int i = 0; i < 200; ++i) names.push_back("999999999999" + std::to_string(100 + i));
  for (int i = 0; i < 200; ++i) names.push_back("CP" + std::to_string(i) + "A");  // no number last
  names.push_back("FP");
  names.push_back(std::string("FP\0", 3));
  StationList list;
  for (std::size_t i = 0; i < names.size(); ++i) {
    ASSERT_EQ(list.FindOrAdd(names[i], 1), static_cast<int>(i + 1)) << names[i];
  }
  for (std::size_t i = 0; i < names.size(); ++i) {
    ASSERT_EQ(list.Find(names[i]), static_cast<int>(i + 1)) << names[i];
  }
  for (const char* absent : {"FP999", "FP4000", "1", "00000", "CP1", "P1000", "FP1000 "}) {
    EXPECT_EQ(list.Find(absent), 0) << absent;
  }
}

TEST(StationList, NamesAreToldApartByTheirFirstFifteenBytes) {
  StationList list;
  const int kept = list.FindOrAdd("ABCDEFGHIJKLMNOPQ", 1);
  EXPECT_EQ(list[static_cast<std::size_t>(kept)].name, "ABCDEFGHIJKLMNO");
  EXPECT_EQ(list.Find("ABCDEFGHIJKLMNO"), kept);
  EXPECT_EQ(list.Find("ABCDEFGHIJKLMNOXYZ"), kept);
  EXPECT_EQ(list.FindOrAdd("ABCDEFGHIJKLMNOZ", 1), kept);
  EXPECT_EQ(list.Find("ABCDEFGHIJKLMN"), 0);
  EXPECT_EQ(list.size(), 2u);
}

TEST(StationList, DescriptionsSharedAndReplaced) {
  StationList list;
  const int a = list.FindOrAdd("A", 1);
  const int b = list.FindOrAdd("B", 1);
  list.SetDescription(static_cast<std::size_t>(a), "IRON PIN");
  list.SetDescription(static_cast<std::size_t>(b), "IRON PIN");
  EXPECT_EQ(list[1].description, list[2].description);
  list.SetDescription(static_cast<std::size_t>(b), "PK NAIL");
  EXPECT_EQ(list.Description(1), "IRON PIN");
  EXPECT_EQ(list.Description(2), "PK NAIL");
  EXPECT_EQ(list.Description(0), "");
  EXPECT_EQ(list.Description(99), "");
  EXPECT_EQ(list.GetDescription("B"), "PK NAIL");
  EXPECT_FALSE(list.SetDescription("C", "nothing to describe"));
}

}  // namespace
}  // namespace trovisk
