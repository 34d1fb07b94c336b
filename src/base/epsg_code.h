// A projected grid named by its EPSG code, as people write it: "EPSG:2953",
// "epsg:2953" or "2953".
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace trovisk {

/// The code written in `text` (blanks around it allowed); 0 for an empty
/// text, which asks for no particular grid; nothing when it is no code.
std::optional<int> ParseEpsgCode(std::string_view text);

/// "EPSG:2953" for 2953; empty for 0.
std::string EpsgCodeText(int code);

}  // namespace trovisk
