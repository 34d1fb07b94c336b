// The message table: every number has its text, and placeholders fill safely.
#include "base/message_table.h"

#include <gtest/gtest.h>

#include <set>

namespace trovisk {
namespace {

TEST(MessageTable, EveryNumberHasOneText) {
  std::set<int> seen;
  for (const auto& entry : AllMessages()) {
    SCOPED_TRACE(entry.id);
    EXPECT_TRUE(seen.insert(entry.id).second) << "number used twice";
    EXPECT_FALSE(std::string_view(entry.text).empty());
  }
  for (int id : {1001, 1002, 1003, 2111, 2112, 2113, 2114, 2121, 2122, 2123, 2211, 2212, 2213}) {
    EXPECT_TRUE(seen.count(id)) << id;
  }
}

TEST(MessageTable, PlaceholdersTakeTheArgumentsInOrder) {
  EXPECT_EQ(FormatMessageText(kMsgReadError, {12, "job.rw5"}),
            "File read error on line 12 - job.rw5");
  EXPECT_EQ(FormatMessageText(kMsgCodeNotSupported, {7, "XY"}),
            "Code Not Supported At This Time ( line '7', code 'XY' )\n\nWant to continue and "
            "skip these records?");
  EXPECT_EQ(FormatMessageText(kMsgEnterNumberBetween, {"-89", "89"}),
            "Please enter a number between -89 and 89.");
  // A missing argument leaves its place empty instead of reading past the list.
  EXPECT_EQ(FormatMessageText(kMsgCannotOpen, {}), "Cannot open file ");
  // A percent sign inside an argument is not a placeholder.
  EXPECT_EQ(FormatMessageText(kMsgCannotOpen, {"100%s.rw5"}), "Cannot open file 100%s.rw5");
}

}  // namespace
}  // namespace trovisk
