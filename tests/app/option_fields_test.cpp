// The dialog's fields: defaults, the checks in their order with the prompts
// the user sees, and which controls are enabled.
#include "app/option_fields.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "app/control_ids.h"
#include "app/message_table.h"

namespace trovisk {
namespace {

const char kBetweenLatitude[] = "Please enter a number between -89 and 89.";
const char kEnterNumber[] = "Please enter a number.";
const char kFifteenCharacters[] = "Please enter no more than 15 characters.";

TEST(OptionFields, FirstStartShowsTheConstructionDefaults) {
  ConverterOptions options;
  OptionTexts texts = ShowOptionTexts(options);
  EXPECT_EQ(texts.north, "100000");
  EXPECT_EQ(texts.east, "100000");
  EXPECT_EQ(texts.elevation, "200");
  EXPECT_EQ(texts.latitude, "45");
  EXPECT_EQ(texts.longitude, "-120");
  EXPECT_EQ(texts.height, "200");
  EXPECT_EQ(texts.tolerance, "0.05");
  EXPECT_EQ(texts.datum_name, "WGS 84");
  EXPECT_EQ(texts.major_axis, "6378137");
  EXPECT_EQ(texts.inverse_flattening, "298.257223563");
  EXPECT_EQ(texts.seed_name, "");
  EXPECT_EQ(options.tolerance_mode, 1);  // 3D
  EXPECT_TRUE(options.gps_antenna_to_antenna);
  EXPECT_FALSE(options.compute_approx_geodetic || options.compute_approx_nee ||
               options.local_nee_system);
  EnabledControls enabled = EnableRules(options.compute_approx_geodetic,
                                        options.compute_approx_nee);
  EXPECT_FALSE(enabled.station_name || enabled.geodetic_fields || enabled.nee_fields);
  EXPECT_FALSE(ValidateOptions(options).has_value());
}

// One field typed, everything else as shown at first start.
struct FieldCase {
  std::string OptionTexts::*field;
  const char* text;
  int control_id;  // 0: accepted
  int message_id;
  const char* expected;  // the prompt, or the text shown again when accepted
};

TEST(OptionFields, EachFieldIsCheckedAgainstItsBounds) {
  const FieldCase kCases[] = {
      {&OptionTexts::latitude, "89.3", kIdcLatitude, kMsgEnterNumberBetween, kBetweenLatitude},
      {&OptionTexts::latitude, "-89.0000001", kIdcLatitude, kMsgEnterNumberBetween,
       kBetweenLatitude},
      {&OptionTexts::latitude, " 89 ", 0, 0, "89"},
      {&OptionTexts::latitude, "12abc", kIdcLatitude, kMsgEnterNumber, kEnterNumber},
      {&OptionTexts::longitude, "180.0001", kIdcLongitude, kMsgEnterNumberBetween,
       "Please enter a number between -180 and 180."},
      {&OptionTexts::longitude, "-180", 0, 0, "-180"},
      {&OptionTexts::height, "100000", kIdcHeight, kMsgEnterNumberBetween,
       "Please enter a number between -99999 and 99999."},
      {&OptionTexts::tolerance, "-0.001", kIdcTolerance, kMsgEnterNumberBetween,
       "Please enter a number between 0 and 99999."},
      {&OptionTexts::tolerance, "0", 0, 0, "0"},
      {&OptionTexts::major_axis, "5999999.99", kIdcMajorAxis, kMsgEnterNumberBetween,
       "Please enter a number between 6000000 and 7000000."},
      {&OptionTexts::major_axis, "7000000", 0, 0, "7000000"},
      {&OptionTexts::inverse_flattening, "249.9", kIdcInverseFlattening, kMsgEnterNumberBetween,
       "Please enter a number between 250 and 350."},
      {&OptionTexts::elevation, "1e9", kIdcElevation, kMsgEnterNumberBetween,
       "Please enter a number between -999999999 and 999999999."},
      {&OptionTexts::east, "-999999999", 0, 0, "-999999999"},
      {&OptionTexts::east, "nan", kIdcEast, kMsgEnterNumber, kEnterNumber},
      {&OptionTexts::north, "", kIdcNorth, kMsgEnterNumber, kEnterNumber},
      {&OptionTexts::north, "inf", kIdcNorth, kMsgEnterNumber, kEnterNumber},
      {&OptionTexts::seed_name, "ABCDEFGHIJKLMNO", 0, 0, "ABCDEFGHIJKLMNO"},
      {&OptionTexts::seed_name, "ABCDEFGHIJKLMNOP", kIdcSeedName, kMsgEnterFewerCharacters,
       kFifteenCharacters},
      {&OptionTexts::datum_name, "ABCDEFGHIJKLMNOP", kIdcDatumName, kMsgEnterFewerCharacters,
       kFifteenCharacters},
  };
  for (const FieldCase& c : kCases) {
    SCOPED_TRACE(std::string("text \"") + c.text + "\" for control " +
                 std::to_string(c.control_id));
    ConverterOptions options;
    OptionTexts texts = ShowOptionTexts(options);
    texts.*c.field = c.text;
    auto error = TakeOptionTexts(texts, options);
    if (c.control_id == 0) {
      EXPECT_FALSE(error.has_value()) << error->text;
      EXPECT_EQ(ShowOptionTexts(options).*c.field, c.expected);
      continue;
    }
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->control_id, c.control_id);
    EXPECT_EQ(error->message_id, c.message_id);
    EXPECT_EQ(error->text, c.expected);
  }
}

TEST(OptionFields, TheFirstBadFieldStopsTheTransfer) {
  ConverterOptions options;
  OptionTexts texts = ShowOptionTexts(options);
  texts.seed_name = "CP1";
  texts.latitude = "44.3";
  texts.height = "abc";         // first failure
  texts.tolerance = "0.2";      // after it: not taken
  texts.datum_name = std::string(20, 'X');  // a second failure, never reached
  auto error = TakeOptionTexts(texts, options);
  ASSERT_TRUE(error.has_value());
  EXPECT_EQ(error->control_id, kIdcHeight);
  EXPECT_EQ(error->text, kEnterNumber);
  EXPECT_EQ(options.seed_name, "CP1");
  EXPECT_DOUBLE_EQ(options.seed_latitude, 44.3);
  EXPECT_DOUBLE_EQ(options.seed_height, 200.0);
  EXPECT_DOUBLE_EQ(options.tolerance, 0.05);
  EXPECT_EQ(options.datum_name, "WGS 84");

  // The order runs datum name before 1/f, and elevation, East, North last.
  texts = ShowOptionTexts(ConverterOptions{});
  texts.north = "x";
  texts.elevation = "x";
  texts.inverse_flattening = "1";
  texts.datum_name = std::string(16, 'D');
  EXPECT_EQ(TakeOptionTexts(texts, options)->control_id, kIdcDatumName);
  texts.datum_name = "D";
  EXPECT_EQ(TakeOptionTexts(texts, options)->control_id, kIdcInverseFlattening);
  texts.inverse_flattening = "300";
  EXPECT_EQ(TakeOptionTexts(texts, options)->control_id, kIdcElevation);
  texts.elevation = "1";
  EXPECT_EQ(TakeOptionTexts(texts, options)->control_id, kIdcNorth);
}

TEST(OptionFields, NumbersAlreadyTakenGetTheSameChecks) {
  const double kNan = std::numeric_limits<double>::quiet_NaN();
  const double kInf = std::numeric_limits<double>::infinity();
  struct Case {
    const char* what;
    void (*change)(ConverterOptions&, double, double);
    int control_id;
    const char* prompt;
  };
  const Case kCases[] = {
      {"latitude 89.3", [](ConverterOptions& o, double, double) { o.seed_latitude = 89.3; },
       kIdcLatitude, kBetweenLatitude},
      {"latitude NaN", [](ConverterOptions& o, double nan, double) { o.seed_latitude = nan; },
       kIdcLatitude, kEnterNumber},
      {"tolerance infinite", [](ConverterOptions& o, double, double inf) { o.tolerance = inf; },
       kIdcTolerance, kEnterNumber},
      {"datum of 16", [](ConverterOptions& o, double, double) { o.datum_name.assign(16, 'D'); },
       kIdcDatumName, kFifteenCharacters},
      {"major axis and north both bad",
       [](ConverterOptions& o, double, double) {
         o.seed_north = 1e10;
         o.datum_major_axis = 0.0;
       },
       kIdcMajorAxis, "Please enter a number between 6000000 and 7000000."},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    ConverterOptions options;
    c.change(options, kNan, kInf);
    auto error = ValidateOptions(options);
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->control_id, c.control_id);
    EXPECT_EQ(error->text, c.prompt);
  }
}

TEST(OptionFields, EnableRulesFollowTheTwoChecks) {
  struct Case {
    bool geodetic, nee;
    EnabledControls expected;
  };
  const Case kCases[] = {
      {false, false, {false, false, false}},
      {true, false, {true, true, false}},
      {false, true, {true, false, true}},
      {true, true, {true, true, true}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::to_string(c.geodetic) + "/" + std::to_string(c.nee));
    EnabledControls enabled = EnableRules(c.geodetic, c.nee);
    EXPECT_EQ(enabled.station_name, c.expected.station_name);
    EXPECT_EQ(enabled.geodetic_fields, c.expected.geodetic_fields);
    EXPECT_EQ(enabled.nee_fields, c.expected.nee_fields);
  }
}

}  // namespace
}  // namespace trovisk
