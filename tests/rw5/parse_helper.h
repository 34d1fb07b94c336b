// Runs the raw-file reader over text for the reader's tests.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "rw5/record_parser.h"
#include "support/scripted_ui.h"

namespace trovisk::testing {

// Tolerances that mean something: a tenth of a millimetre, a hundredth of an arc-second.
inline constexpr double kTenthMillimetre = 1e-4;
inline constexpr double kHundredthSecond = 4.85e-8;

// Radians of a sexagesimal angle.
inline double Dms(double degrees, double minutes = 0, double seconds = 0) {
  return (degrees + minutes / 60.0 + seconds / 3600.0) * 3.14159265358979323846 / 180.0;
}

// An observation read, with its detail beside it, so that tests look at one value.
struct ReadObservation : ObservationRecord, ObservationDetail {};

struct Parsed {
  SurveyData data;
  ScriptedUi ui;
  int line_counter = 0;
  Status status = Status::kOk;

  // The observations read, without the reserved record.
  std::vector<ReadObservation> Observations() const {
    std::vector<ReadObservation> read;
    for (std::size_t i = 1; i < data.observations.size(); ++i) {
      const ObservationRecord& record = data.observations[i];
      read.push_back({record, data.observations.Detail(record)});
    }
    return read;
  }
  std::vector<ReadObservation> OfKind(ObservationKind kind) const {
    std::vector<ReadObservation> found;
    for (const auto& o : Observations()) {
      if (o.kind == kind) found.push_back(o);
    }
    return found;
  }
  std::string Name(int index) const { return data.stations[index].name.str(); }
  const StationRecord& Station(const std::string& name) const {
    return data.stations[data.stations.Find(name)];
  }
  std::string Description(const std::string& name) const {
    return data.stations.GetDescription(name);
  }
};

inline void Parse(const std::string& text, Parsed& parsed, ReaderOptions options = {}) {
  options.input_name = "job.rw5";
  std::istringstream input(text);
  ParseRecords(input, options, parsed.data, parsed.ui, parsed.line_counter, parsed.status);
}

}  // namespace trovisk::testing
