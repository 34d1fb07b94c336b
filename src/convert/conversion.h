// One whole conversion: from the options to the Korvanta file and the one
// final message.
#pragma once

#include <string>

#include "base/options.h"
#include "base/status.h"
#include "base/user_interface.h"
#include "checks/check_tolerances.h"
#include "rw5/survey_data.h"

namespace trovisk {

// What a front end may ask beyond the dialog's options.
struct ConversionExtras {
  std::string report_file;     // when not empty, the check report is written here
  CheckTolerances tolerances;  // of the field checks
  std::string plot_file;       // when not empty, the network plot (SVG) is written here
  int grid_code = 0;           // EPSG code of the projected grid; 0: identify it from the file
};

struct ConversionOutcome {
  Status status = Status::kOk;
  int message_id = 0;        // the final message shown (0 when none, as on a validation stop)
  int uncomputed_count = 0;  // stations left without approximate coordinates
};

// Runs the conversion described by `options` (already validated by the front
// end), filling `data`, and shows the final message through `ui`.
ConversionOutcome RunConversion(const ConverterOptions& options, UserInterface& ui,
                                SurveyData& data, const ConversionExtras& extras = {});

}  // namespace trovisk
