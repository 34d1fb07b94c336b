// What a run wrote, said at its end: one line per kind of observation, and a
// warning when the file gave none at all.
#pragma once

#include <string>

#include "base/user_interface.h"
#include "output/observation_writer.h"

namespace trovisk {

// The count lines through `ui`'s information; the warning names the raw file.
void ReportWritten(UserInterface& ui, const std::string& input_name,
                   const WrittenObservations& written);

}  // namespace trovisk
