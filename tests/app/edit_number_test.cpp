// Numbers typed into an edit field: the whole text must be a number.
#include "app/edit_number.h"

#include <gtest/gtest.h>

#include <optional>

namespace trovisk {
namespace {

TEST(EditNumber, TakesTheWholeTextOrNothing) {
  struct Case {
    const char* text;
    std::optional<double> expected;
  };
  const Case kCases[] = {
      {"12", 12.0},           {"  -89 ", -89.0},    {"\t1e3\r\n", 1000.0}, {"+5", 5.0},
      {".5", 0.5},            {"5.", 5.0},          {"45.3015", 45.3015},  {"-0", 0.0},
      {"", std::nullopt},     {"   ", std::nullopt}, {"12abc", std::nullopt},
      {"abc", std::nullopt},  {"1 2", std::nullopt}, {"1,5", std::nullopt},
      {"+-5", std::nullopt},  {"-", std::nullopt},   {"+", std::nullopt},
      {"0x10", std::nullopt}, {"nan", std::nullopt}, {"NaN", std::nullopt},
      {"inf", std::nullopt},  {"-infinity", std::nullopt}, {"1e400", std::nullopt},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string("text \"") + c.text + "\"");
    std::optional<double> value = ParseEditNumber(c.text);
    ASSERT_EQ(value.has_value(), c.expected.has_value());
    if (value) {
      EXPECT_EQ(*value, *c.expected);
    }
  }
}

TEST(EditNumber, ShowsFifteenSignificantDigitsAtMost) {
  struct Case {
    double value;
    const char* expected;
  };
  const Case kCases[] = {
      {298.257223563, "298.257223563"},
      {0.05, "0.05"},
      {-120.0, "-120"},
      {6378137.0, "6378137"},
      {-999999999.0, "-999999999"},
      {0.1 + 0.2, "0.3"},  // 0.30000000000000004 beyond 15 digits
      {123456789012345678.0, "1.23456789012346e+17"},
      {1e-7, "1e-07"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.expected);
    EXPECT_EQ(FormatEditNumber(c.value), c.expected);
  }
}

}  // namespace
}  // namespace trovisk
