// Field splitting and the atof/atoi-compatible reading of prefixed values.
#include "rw5/field_splitter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rw5/null_value.h"

namespace trovisk {
namespace {

std::vector<std::string> Split(std::string_view line, std::size_t count) {
  std::size_t first_comma = 0;
  RecordCode(line, first_comma);
  std::vector<std::string_view> fields;
  SplitFields(line, first_comma, count, fields);
  return std::vector<std::string>(fields.begin(), fields.end());
}

TEST(FieldSplitter, SplitsIntoTheAskedNumberOfFields) {
  struct Case {
    const char* name;
    std::string line;
    std::size_t count;
    std::vector<std::string> fields;
  };
  const std::vector<Case> cases = {
      {"sideshot with a note holding commas",
       "SS,OP104,FP1000,AR359.5959,ZE90.5404,SD1085.996,--CK.,BS",
       6,
       {"OP104", "FP1000", "AR359.5959", "ZE90.5404", "SD1085.996", "--CK.,BS"}},
      {"fewer commas than fields", "LS,HR1.5", 2, {"HR1.5", ""}},
      {"no comma at all", "LS", 2, {"", ""}},
      {"empty fields kept", "BK,OP1,,BS,BC0", 4, {"OP1", "", "BS", "BC0"}},
      {"trailing comma", "MO,AD0,", 3, {"AD0", "", ""}},
      {"nothing trimmed", "OC,OP1, N 5.0 ,E 6", 3, {"OP1", " N 5.0 ", "E 6"}},
      {"one field takes the rest", "SS,OP1,FP2,AR3", 1, {"OP1,FP2,AR3"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Split(c.line, c.count), c.fields);
  }
}

TEST(FieldSplitter, RecordCodeIsTheTextBeforeTheFirstComma) {
  std::size_t comma = 0;
  EXPECT_EQ(RecordCode("SS,OP1", comma), "SS");
  EXPECT_EQ(comma, 2u);
  EXPECT_EQ(RecordCode("ES", comma), "ES");
  EXPECT_EQ(comma, 2u);
  EXPECT_EQ(RecordCode(",OP1", comma), "");
  EXPECT_EQ(comma, 0u);
}

TEST(FieldSplitter, ReadsRealsAsAtofDoes) {
  struct Case {
    const char* text;
    double value;
  };
  const std::vector<Case> cases = {
      {"5000.0", 5000.0},
      {" 5000.25", 5000.25},
      {"\t-12.5", -12.5},
      {"+3.75", 3.75},
      {"90.5404abc", 90.5404},
      {"1e3", 1000.0},
      {".5", 0.5},
      {"7.", 7.0},
      {"", 0.0},
      {"abc", 0.0},
      {"-", 0.0},
      {"+-3", 0.0},
      {"0 SF1.0000", 0.0},
      {"12 34", 12.0},
      {"1e-400", 0.0},
      {"-999999.15", kNullValue},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    bool non_finite = true;
    EXPECT_EQ(ReadReal(c.text, non_finite), c.value);
    EXPECT_FALSE(non_finite);
  }
}

TEST(FieldSplitter, InfiniteOrNotANumberIsMissing) {
  for (const char* text :
       {"1e400", "-1e400", "inf", "-inf", "INFINITY", "nan", "-nan", " NaN(1)"}) {
    SCOPED_TRACE(text);
    bool non_finite = false;
    EXPECT_EQ(ReadReal(text, non_finite), kNullValue);
    EXPECT_TRUE(non_finite);
  }
}

TEST(FieldSplitter, ReadsIntegersAsAtoiDoes) {
  struct Case {
    const char* text;
    int value;
  };
  const std::vector<Case> cases = {
      {"2", 2},    {" 1", 1}, {"0 SF1.0", 0}, {"O", 0},           {"", 0},
      {"-3x", -3}, {"+4", 4}, {"2.9", 2},     {"99999999999", 0}, {"--1", 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ReadInteger(c.text), c.value);
  }
}

TEST(FieldSplitter, PrefixHelpers) {
  EXPECT_TRUE(HasPrefix("OP104", "OP"));
  EXPECT_FALSE(HasPrefix("O", "OP"));
  EXPECT_TRUE(HasPrefix("N 5000", "N"));
  EXPECT_EQ(AfterPrefix("SD1.5"), "1.5");
  EXPECT_EQ(AfterPrefix("SD"), "");
  EXPECT_EQ(AfterPrefix("N 5", 1), " 5");
  EXPECT_TRUE(IsBlank("  \t"));
  EXPECT_FALSE(IsBlank(" 1"));
}

}  // namespace
}  // namespace trovisk
