// Numbers typed into an edit field: the whole text must be a number.
#include "base/edit_number.h"

#include <gtest/gtest.h>

#include <optional>

namespace trovisk {
namespace {

TEST(EditNumber, TakesTheWholeTextOrNothing) {
  const std::optional<double> kNone;
  const std::pair<const char*, std::optional<double>> kCases[] = {
      {"  -89 ", -89.0}, {"\t1e3\r\n", 1000.0}, {"+5", 5.0},     {".5", 0.5},
      {"5.", 5.0},       {"", kNone},           {"   ", kNone},  {"12abc", kNone},
      {"1 2", kNone},    {"1,5", kNone},        {"+-5", kNone},  {"-", kNone},
      {"0x10", kNone},   {"nan", kNone},        {"-inf", kNone}, {"1e400", kNone},
  };
  for (const auto& [text, expected] : kCases) {
    SCOPED_TRACE(std::string("text \"") + text + "\"");
    EXPECT_EQ(ParseEditNumber(text), expected);
  }
}

TEST(EditNumber, ShowsFifteenSignificantDigitsAtMost) {
  const std::pair<double, const char*> kCases[] = {
      {298.257223563, "298.257223563"},
      {-120.0, "-120"},
      {6378137.0, "6378137"},
      {0.1 + 0.2, "0.3"},  // 0.30000000000000004 beyond 15 digits
      {123456789012345678.0, "1.23456789012346e+17"},
  };
  for (const auto& [value, expected] : kCases) EXPECT_EQ(FormatEditNumber(value), expected);
}

}  // namespace
}  // namespace trovisk
