// Numbers as a dialog edit field takes and shows them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace trovisk {

// The number in `text`, which must be the whole text apart from blanks
// around it. Empty text, trailing letters, NaN, infinities and values beyond
// the range of a double give no number.
std::optional<double> ParseEditNumber(std::string_view text);

// The shortest general form with up to 15 significant digits ("%.15g").
std::string FormatEditNumber(double value);

}  // namespace trovisk
