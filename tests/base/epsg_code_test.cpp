// Grid codes as people type them.
#include "base/epsg_code.h"

#include <gtest/gtest.h>

namespace trovisk {
namespace {

TEST(EpsgCode, TheFormsPeopleWrite) {
  struct Case {
    const char* text;
    std::optional<int> code;
  };
  const Case cases[] = {
      {"EPSG:2953", 2953}, {"epsg:2953", 2953}, {" 2953 ", 2953},  {"", 0},
      {"  ", 0},           {"EPSG:", {}},       {"EPSG 2953", {}}, {"2953x", {}},
      {"-2953", {}},       {"0", {}},           {"123456", {}},    {"EPSG:EPSG:2953", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ParseEpsgCode(c.text), c.code);
  }
  EXPECT_EQ(EpsgCodeText(2953), "EPSG:2953");
  EXPECT_EQ(EpsgCodeText(0), "");
}

}  // namespace
}  // namespace trovisk
