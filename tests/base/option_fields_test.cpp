// The dialog's fields: defaults, the checks in their order with the prompts
// the user sees, and which controls are enabled.
#include "base/option_fields.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "base/control_ids.h"

namespace trovisk {
namespace {

const char kLatitudePrompt[] = "Please enter a number between -89 and 89.";
const char kNumberPrompt[] = "Please enter a number.";
const char kNamePrompt[] = "Please enter no more than 15 characters.";

TEST(OptionFields, FirstStartShowsTheDefaultsWithTheFieldsDisabled) {
  ConverterOptions options;
  OptionTexts t = ShowOptionTexts(options);
  EXPECT_EQ(t.north + "|" + t.east + "|" + t.elevation + "|" + t.latitude + "|" + t.longitude +
                "|" + t.height + "|" + t.tolerance + "|" + t.datum_name + "|" + t.major_axis + "|" +
                t.inverse_flattening + "|" + t.seed_name,
            "100000|100000|200|45|-120|200|0.05|WGS 84|6378137|298.257223563|");
  EXPECT_EQ(options.tolerance_mode, 1);  // 3D
  EXPECT_TRUE(options.gps_antenna_to_antenna);
  EXPECT_FALSE(options.compute_approx_geodetic || options.compute_approx_nee ||
               options.local_nee_system);
  EnabledControls on = EnableRules(false, false);
  EXPECT_FALSE(on.station_name || on.geodetic_fields || on.nee_fields);
  EXPECT_FALSE(ValidateOptions(options).has_value());
}

TEST(OptionFields, EachFieldIsCheckedAgainstItsBounds) {
  struct Case {
    std::string OptionTexts::*field;
    const char* text;
    int control_id;        // 0: accepted
    const char* expected;  // the prompt, or the text shown again when accepted
  };
  using T = OptionTexts;
  const Case kCases[] = {
      {&T::latitude, "89.3", kIdcLatitude, kLatitudePrompt},
      {&T::latitude, "-89.0000001", kIdcLatitude, kLatitudePrompt},
      {&T::latitude, " 89 ", 0, "89"},
      {&T::longitude, "180.0001", kIdcLongitude, "Please enter a number between -180 and 180."},
      {&T::height, "100000", kIdcHeight, "Please enter a number between -99999 and 99999."},
      {&T::tolerance, "-0.001", kIdcTolerance, "Please enter a number between 0 and 99999."},
      {&T::major_axis, "5999999.99", kIdcMajorAxis,
       "Please enter a number between 6000000 and 7000000."},
      {&T::inverse_flattening, "350.1", kIdcInverseFlattening,
       "Please enter a number between 250 and 350."},
      {&T::elevation, "1e9", kIdcElevation,
       "Please enter a number between -999999999 and 999999999."},
      {&T::east, "-999999999", 0, "-999999999"},
      {&T::east, "12abc", kIdcEast, kNumberPrompt},
      {&T::north, "", kIdcNorth, kNumberPrompt},
      {&T::seed_name, "ABCDEFGHIJKLMNO", 0, "ABCDEFGHIJKLMNO"},
      {&T::seed_name, "ABCDEFGHIJKLMNOP", kIdcSeedName, kNamePrompt},
      {&T::datum_name, "ABCDEFGHIJKLMNOP", kIdcDatumName, kNamePrompt},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string("\"") + c.text + "\" for control " + std::to_string(c.control_id));
    ConverterOptions options;
    OptionTexts texts = ShowOptionTexts(options);
    texts.*c.field = c.text;
    auto error = TakeOptionTexts(texts, options);
    if (c.control_id == 0) {
      ASSERT_FALSE(error.has_value()) << error->text;
      EXPECT_EQ(ShowOptionTexts(options).*c.field, c.expected);
    } else {
      ASSERT_TRUE(error.has_value());
      EXPECT_EQ(error->control_id, c.control_id);
      EXPECT_EQ(error->text, c.expected);
    }
  }
}

TEST(OptionFields, TheFirstBadFieldStopsTheTransfer) {
  ConverterOptions options;
  OptionTexts texts = ShowOptionTexts(options);
  texts.seed_name = "CP1";
  texts.latitude = "44.3";
  texts.height = "abc";                     // the first failure
  texts.tolerance = "0.2";                  // after it: not taken
  texts.datum_name = std::string(20, 'X');  // a second failure, not reached
  auto error = TakeOptionTexts(texts, options);
  ASSERT_TRUE(error.has_value());
  EXPECT_EQ(error->control_id, kIdcHeight);
  EXPECT_EQ(error->text, kNumberPrompt);
  EXPECT_EQ(options.seed_name, "CP1");
  EXPECT_EQ(options.seed_latitude, 44.3);
  EXPECT_EQ(options.seed_height, 200.0);
  EXPECT_EQ(options.tolerance, 0.05);

  // Datum name comes before 1/f, elevation before East and North.
  texts = ShowOptionTexts(ConverterOptions{});
  texts.north = texts.east = texts.elevation = texts.inverse_flattening = "x";
  texts.datum_name = std::string(16, 'D');
  const int kOrder[] = {kIdcDatumName, kIdcInverseFlattening, kIdcElevation, kIdcEast, kIdcNorth};
  std::string* fixes[] = {&texts.datum_name, &texts.inverse_flattening, &texts.elevation,
                          &texts.east, &texts.north};
  for (int i = 0; i < 5; ++i) {
    SCOPED_TRACE(kOrder[i]);
    EXPECT_EQ(TakeOptionTexts(texts, options)->control_id, kOrder[i]);
    *fixes[i] = "300";
  }
  EXPECT_FALSE(TakeOptionTexts(texts, options).has_value());
}

TEST(OptionFields, NumbersAlreadyTakenGetTheSameChecks) {
  ConverterOptions options;
  options.seed_latitude = 89.3;
  options.datum_name.assign(16, 'D');
  EXPECT_EQ(ValidateOptions(options)->text, kLatitudePrompt);  // the first of two
  options.seed_latitude = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(ValidateOptions(options)->text, kNumberPrompt);
  options.seed_latitude = 0.0;
  EXPECT_EQ(ValidateOptions(options)->control_id, kIdcDatumName);
  options.datum_name = "D";
  options.tolerance = std::numeric_limits<double>::infinity();
  EXPECT_EQ(ValidateOptions(options)->control_id, kIdcTolerance);
}

TEST(OptionFields, EnableRulesFollowTheTwoChecks) {
  EnabledControls geodetic = EnableRules(true, false);
  EnabledControls nee = EnableRules(false, true);
  EXPECT_TRUE(geodetic.station_name && geodetic.geodetic_fields && !geodetic.nee_fields);
  EXPECT_TRUE(nee.station_name && !nee.geodetic_fields && nee.nee_fields);
}

}  // namespace
}  // namespace trovisk
