// The check report and the network plot the dialog asks a run for, named
// after the output file and written beside it.
#pragma once

#include <string>

#include "convert/conversion.h"

namespace trovisk {

// "C:\jobs\day1.txt" gives "C:\jobs\day1-report.txt" and "C:\jobs\day1-plot.svg":
// the output's name without its extension, then "-report.txt" or "-plot.svg".
ConversionExtras CheckFilesBeside(const std::string& output_file);

}  // namespace trovisk
