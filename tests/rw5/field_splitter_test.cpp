// Field splitting and the atof/atoi-compatible reading of prefixed values.
#include "rw5/field_splitter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rw5/null_value.h"

namespace trovisk {
namespace {

TEST(FieldSplitter, CodeAndTheAskedNumberOfFields) {
  struct Case {
    std::string line;
    std::size_t count;
    std::vector<std::string> fields;  // the code first
  };
  const std::vector<Case> cases = {
      {"SS,OP104,FP1000,AR359.5959,ZE90.5404,SD1085.996,--CK.,BS",
       6,
       {"SS", "OP104", "FP1000", "AR359.5959", "ZE90.5404", "SD1085.996", "--CK.,BS"}},
      {"LS,HR1.5", 2, {"LS", "HR1.5", ""}},
      {"ES", 2, {"ES", "", ""}},
      {"BK,OP1,,BS,BC0", 4, {"BK", "OP1", "", "BS", "BC0"}},
      {"MO,AD0,", 3, {"MO", "AD0", "", ""}},
      {"OC,OP1, N 5.0 ,E 6", 3, {"OC", "OP1", " N 5.0 ", "E 6"}},
      {",OP1,FP2,AR3", 1, {"", "OP1,FP2,AR3"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    std::size_t first_comma = 0;
    std::vector<std::string> fields{std::string(RecordCode(c.line, first_comma))};
    std::vector<std::string_view> split;
    SplitFields(c.line, first_comma, c.count, split);
    fields.insert(fields.end(), split.begin(), split.end());
    EXPECT_EQ(fields, c.fields);
  }
}

TEST(FieldSplitter, NumbersReadAsAtofAndAtoiDo) {
  struct Case {
    const char* text;
    double real;
    int integer;
  };
  const Case cases[] = {
      {"5000.25", 5000.25, 5000},
      {" 5000.25", 5000.25, 5000},
      {"\t-12.5", -12.5, -12},
      {"+3.75", 3.75, 3},
      {"90.5404abc", 90.5404, 90},
      {"1e3", 1000.0, 1},
      {".5", 0.5, 0},
      {"", 0.0, 0},
      {"O", 0.0, 0},
      {"+-3", 0.0, 0},
      {"--1", 0.0, 0},
      {"0 SF1.0", 0.0, 0},
      {"1e-400", 0.0, 1},
      {"99999999999", 99999999999.0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    bool non_finite = true;
    EXPECT_EQ(ReadReal(c.text, non_finite), c.real);
    EXPECT_FALSE(non_finite);
    EXPECT_EQ(ReadInteger(c.text), c.integer);
  }
  for (const char* text : {"1e400", "-1e400", "inf", "-INFINITY", "nan", "-nan", " NaN(1)"}) {
    SCOPED_TRACE(text);
    bool non_finite = false;
    EXPECT_EQ(ReadReal(text, non_finite), kNullValue);
    EXPECT_TRUE(non_finite);
  }
}

// A value field that holds nothing but blanks was not measured; any other
// text reads as its leading number, 0 when it has none.
TEST(FieldSplitter, ABlankValueIsMissingAndOtherTextIsANumber) {
  struct Case {
    const char* text;
    double value;
  };
  const Case cases[] = {
      {"", kNullValue}, {"   ", kNullValue}, {" \t", kNullValue}, {"x", 0.0},
      {" 1.5", 1.5},    {"+2", 2.0},         {"-0.5m", -0.5},     {"0", 0.0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    bool non_finite = true;
    EXPECT_EQ(ReadValue(c.text, non_finite), c.value);
    EXPECT_FALSE(non_finite);
  }
}

}  // namespace
}  // namespace trovisk
