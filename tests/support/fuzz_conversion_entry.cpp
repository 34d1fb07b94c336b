// Fuzz entry: the whole run on a raw file made of arbitrary bytes, in memory.
#include <cmath>
#include <sstream>

#include "approx/approximate_coordinates.h"
#include "convert/station_merge.h"
#include "output/header_writer.h"
#include "output/observation_writer.h"
#include "output/station_writer.h"
#include "rw5/record_parser.h"
#include "rw5/seed_lookup.h"
#include "support/fuzz_entries.h"
#include "support/scripted_ui.h"

namespace trovisk::fuzzing {

namespace {

constexpr double kA = 6378137.0;
constexpr double kE2 = 0.0066943799901413165;

bool Finite(double value) { return std::isfinite(value); }

// The model never holds a non-finite number: the reader refuses them and
// every later step computes from finite values.
std::string CheckModel(const SurveyData& data, const char* stage) {
  for (std::size_t i = 1; i < data.stations.size(); ++i) {
    const StationRecord& s = data.stations[i];
    for (double v : {s.latitude, s.longitude, s.height, s.north, s.east, s.elevation}) {
      if (!Finite(v)) return std::string("a station coordinate is not finite after ") + stage;
    }
    if (s.name.size() > kMaxStationNameLength) return "a station name longer than 15 characters";
  }
  const std::int64_t stations = static_cast<std::int64_t>(data.stations.size());
  for (std::size_t i = 1; i < data.observations.size(); ++i) {
    const ObservationRecord& o = data.observations[i];
    for (std::int32_t index : {o.from, o.backsight, o.to}) {
      if (index < 0 || index >= stations) return "an observation names a station outside the list";
    }
    for (double v :
         {o.horizontal_angle, o.azimuth, o.zenith, o.slope_distance, o.horizontal_distance,
          o.height_difference, o.instrument_height, o.target_height}) {
      if (!Finite(v)) return std::string("an observed value is not finite after ") + stage;
    }
    const ObservationDetail& detail = data.observations.Detail(o);
    for (double v : {detail.dx, detail.dy, detail.dz}) {
      if (!Finite(v)) return std::string("an observed value is not finite after ") + stage;
    }
    for (double v : detail.covariance) {
      if (!Finite(v)) return std::string("a covariance term is not finite after ") + stage;
    }
  }
  return {};
}

// How printf writes a non-finite number: nan, -nan, inf, -inf.
bool ContainsNonFiniteWord(const std::string& text) {
  return text.find("nan") != std::string::npos || text.find("inf") != std::string::npos;
}

}  // namespace

std::string FuzzConversion(const std::uint8_t* bytes, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(bytes), size);
  testing::ScriptedUi ui;
  // Merge offers answered in turn: keep the first, keep the second, different.
  for (int i = 0; i < 64; ++i) {
    ui.merge_answers.push_back(
        {i % 3 == 2 ? MergeDecision::kDifferent : MergeDecision::kSame, i % 3 == 0});
  }
  SurveyData data;
  ReaderOptions reader;
  reader.input_name = "fuzz.rw5";
  reader.fallback_latitude = 0.785398163397448;  // 45 degrees north
  reader.fallback_longitude = -2.0943951023931953;
  int line_counter = 0;
  Status status = Status::kOk;

  std::istringstream input(text);
  ReadStationCoordinates(input, reader, data, ui, line_counter, status);
  if (status != Status::kOk) return {};  // a read error or a declined code ends the run here
  if (std::string failure = CheckModel(data, "the first pass"); !failure.empty()) return failure;
  if (MergeNearbyStations(data.stations, 0.05, 1, kA, kE2, ui)) return {};

  ParseRecords(input, reader, data, ui, line_counter, status);
  if (status != Status::kOk) return {};
  if (std::string failure = CheckModel(data, "the record parser"); !failure.empty()) return failure;

  // Approximate coordinates from the first station the file names, with
  // whichever coordinates the file gives it.
  if (data.stations.size() > 1) {
    ApproximateInputs inputs;
    inputs.do_geodetic = true;
    inputs.do_nee = true;
    inputs.seed_name = data.stations[1].name;
    inputs.unit_factor = DistanceUnitFactor(data.distance_units);
    inputs.local_nee_system = (size & 1) != 0;
    SeedCoordinates seed;
    LookUpSeedStation(data.stations, inputs.seed_name, reader.input_name, ui, seed);
    inputs.file_has_nee = seed.has_nee;
    inputs.file_north = seed.north;
    inputs.file_east = seed.east;
    inputs.file_elevation = seed.elevation;
    inputs.file_has_geodetic = seed.has_geodetic;
    inputs.file_latitude = seed.latitude;
    inputs.file_longitude = seed.longitude;
    inputs.file_height = seed.height;
    int uncomputed = ComputeApproximateCoordinates(data, inputs, ui);
    if (uncomputed < 0 || uncomputed >= static_cast<int>(data.stations.size())) {
      return "a count of stations without coordinates outside the list";
    }
    if (std::string failure = CheckModel(data, "approximate coordinates"); !failure.empty()) {
      return failure;
    }
    if (MergeNearbyStations(data.stations, 0.05, 0, kA, kE2, ui)) return {};
  }

  std::ostringstream out;
  WorkingDatum datum;
  datum.e2 = kE2;
  WriteDatumBlock(out, datum, status);
  if (status == Status::kOk) WriteUnitsBlock(out, 1, 0, status);
  if (status == Status::kOk) WriteDefaultsBlock(out, status);
  if (status == Status::kOk) WriteStationTypeBlock(out, true, status);
  if (status == Status::kOk) WriteStations(out, data.stations, true, true, true, status);
  if (status == Status::kOk) {
    WriteObservationSection(out, data.stations, data.observations, data.angle_units,
                            data.distance_units, status);
  }
  if (status != Status::kOk) return "a writer failed on a good stream";
  // Names and notes come from the file; only a file without such words can
  // be held to an output without them.
  if (!ContainsNonFiniteWord(text) && ContainsNonFiniteWord(out.str())) {
    return "a number was written as nan or inf";
  }
  return {};
}

}  // namespace trovisk::fuzzing
