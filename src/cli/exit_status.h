// The program's exit status for each way a run can end.
#pragma once

#include "convert/conversion.h"

namespace trovisk {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailed = 1;          // cannot open, read or write error, out of memory
inline constexpr int kExitInvalidOptions = 2;  // options refused before the run
inline constexpr int kExitCancelled = 3;

int ExitStatusFor(const ConversionOutcome& outcome);

}  // namespace trovisk
