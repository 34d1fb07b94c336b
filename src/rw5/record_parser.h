// The raw-file reader: from the RW5 records to the station and observation lists.
#pragma once

#include <istream>

#include "base/status.h"
#include "base/user_interface.h"
#include "rw5/reader_options.h"
#include "rw5/survey_data.h"

namespace trovisk {

// Reads `input` from its first line into `data`, adding to the stations
// already there and appending observations after the reserved record.
// `line_counter` ends at the last line read; `status` becomes 1003 on a read
// error or 2121 when the user declines to skip an unsupported code (the
// observations read so far are then dropped). Does nothing on a non-zero status.
void ParseRecords(std::istream& input, const ReaderOptions& options, SurveyData& data,
                  UserInterface& ui, int& line_counter, Status& status);

// The first pass: the same reader, keeping only the stations that carry
// coordinates in the file ("OC", "SP", "BP", "GPS") and the units in force; no
// observation is kept. Unsupported codes are asked about here already, so the
// record parser does not ask again.
void ReadStationCoordinates(std::istream& input, const ReaderOptions& options, SurveyData& data,
                            UserInterface& ui, int& line_counter, Status& status);

}  // namespace trovisk
