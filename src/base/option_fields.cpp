// The dialog's field checks, in the order the dialog takes its fields.
#include "base/option_fields.h"

#include <cmath>

#include "base/control_ids.h"
#include "base/edit_number.h"
#include "base/message_table.h"

namespace trovisk {

namespace {

// One edit field: a name (text member set) or a number in [low, high].
struct FieldRule {
  int control_id;
  std::string OptionTexts::*text;
  std::string ConverterOptions::*name;
  double ConverterOptions::*number;
  double low;
  double high;
};

constexpr double kCoordinateLimit = 999999999.0;

// The transfer order of the dialog; a failure stops at the first bad field.
constexpr FieldRule kFieldRules[] = {
    {kIdcSeedName, &OptionTexts::seed_name, &ConverterOptions::seed_name, nullptr, 0.0, 0.0},
    {kIdcLatitude, &OptionTexts::latitude, nullptr, &ConverterOptions::seed_latitude, -89.0, 89.0},
    {kIdcLongitude, &OptionTexts::longitude, nullptr, &ConverterOptions::seed_longitude, -180.0,
     180.0},
    {kIdcHeight, &OptionTexts::height, nullptr, &ConverterOptions::seed_height, -99999.0, 99999.0},
    {kIdcTolerance, &OptionTexts::tolerance, nullptr, &ConverterOptions::tolerance, 0.0, 99999.0},
    {kIdcMajorAxis, &OptionTexts::major_axis, nullptr, &ConverterOptions::datum_major_axis,
     6000000.0, 7000000.0},
    {kIdcDatumName, &OptionTexts::datum_name, &ConverterOptions::datum_name, nullptr, 0.0, 0.0},
    {kIdcInverseFlattening, &OptionTexts::inverse_flattening, nullptr,
     &ConverterOptions::datum_inverse_flattening, 250.0, 350.0},
    {kIdcElevation, &OptionTexts::elevation, nullptr, &ConverterOptions::seed_elevation,
     -kCoordinateLimit, kCoordinateLimit},
    {kIdcEast, &OptionTexts::east, nullptr, &ConverterOptions::seed_east, -kCoordinateLimit,
     kCoordinateLimit},
    {kIdcNorth, &OptionTexts::north, nullptr, &ConverterOptions::seed_north, -kCoordinateLimit,
     kCoordinateLimit},
};

ValidationError NameTooLong(const FieldRule& rule) {
  return {rule.control_id, kMsgEnterFewerCharacters,
          FormatMessageText(kMsgEnterFewerCharacters, {static_cast<int>(kMaxNameLength)})};
}

ValidationError NotANumber(const FieldRule& rule) {
  return {rule.control_id, kMsgEnterNumber, FormatMessageText(kMsgEnterNumber, {})};
}

ValidationError OutOfRange(const FieldRule& rule) {
  return {rule.control_id, kMsgEnterNumberBetween,
          FormatMessageText(kMsgEnterNumberBetween,
                            {FormatEditNumber(rule.low), FormatEditNumber(rule.high)})};
}

// The check of one value already in the options.
std::optional<ValidationError> CheckField(const FieldRule& rule, const ConverterOptions& options) {
  if (rule.name != nullptr) {
    if ((options.*rule.name).size() > kMaxNameLength) return NameTooLong(rule);
    return std::nullopt;
  }
  double value = options.*rule.number;
  if (!std::isfinite(value)) return NotANumber(rule);
  if (value < rule.low || value > rule.high) return OutOfRange(rule);
  return std::nullopt;
}

}  // namespace

std::optional<ValidationError> TakeOptionTexts(const OptionTexts& texts,
                                               ConverterOptions& options) {
  for (const FieldRule& rule : kFieldRules) {
    const std::string& text = texts.*rule.text;
    if (rule.name != nullptr) {
      if (text.size() > kMaxNameLength) return NameTooLong(rule);
      options.*rule.name = text;
      continue;
    }
    std::optional<double> value = ParseEditNumber(text);
    if (!value) return NotANumber(rule);
    if (*value < rule.low || *value > rule.high) return OutOfRange(rule);
    options.*rule.number = *value;
  }
  return std::nullopt;
}

std::optional<ValidationError> ValidateOptions(const ConverterOptions& options) {
  for (const FieldRule& rule : kFieldRules) {
    if (auto error = CheckField(rule, options)) return error;
  }
  return std::nullopt;
}

OptionTexts ShowOptionTexts(const ConverterOptions& options) {
  OptionTexts texts;
  for (const FieldRule& rule : kFieldRules) {
    texts.*rule.text =
        rule.name != nullptr ? options.*rule.name : FormatEditNumber(options.*rule.number);
  }
  return texts;
}

EnabledControls EnableRules(bool approx_geodetic, bool approx_nee) {
  return {approx_geodetic || approx_nee, approx_geodetic, approx_nee};
}

}  // namespace trovisk
