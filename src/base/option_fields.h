// The dialog's edit fields as text: taking them into the options with the
// dialog's checks and prompts, showing the options in them, and which
// controls are enabled.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "base/options.h"

namespace trovisk {

// Longest seed station or datum name, in bytes: the settings record keeps 15
// and a NUL.
inline constexpr std::size_t kMaxNameLength = 15;

struct OptionTexts {  // the dialog's edit fields as typed
  std::string seed_name, latitude, longitude, height, tolerance, major_axis, datum_name,
      inverse_flattening, elevation, east, north;
};

// The first field that failed: its control, the prompt's message number and
// the prompt already formatted, e.g. "Please enter a number between -89 and 89.".
struct ValidationError {
  int control_id;
  int message_id;
  std::string text;
};

// Parses and checks the fields in the dialog's order (seed name, latitude,
// longitude, height, tolerance, major axis, datum name, 1/f, elevation, East,
// North); the first failure stops and is returned; fields before it are
// taken into `options`, the failing one and those after it are left alone.
std::optional<ValidationError> TakeOptionTexts(const OptionTexts& texts, ConverterOptions& options);

// The same range and length checks on options that are already numbers
// (command line, settings record); a NaN or infinity is "Please enter a number.".
std::optional<ValidationError> ValidateOptions(const ConverterOptions& options);

// Numbers as the edits show them: shortest general form, up to 15
// significant digits ("%.15g").
OptionTexts ShowOptionTexts(const ConverterOptions& options);

struct EnabledControls {
  bool station_name;
  bool geodetic_fields;  // latitude, longitude, height, datum name, major, 1/f
  bool nee_fields;       // north, east, elevation
};

EnabledControls EnableRules(bool approx_geodetic, bool approx_nee);

}  // namespace trovisk
