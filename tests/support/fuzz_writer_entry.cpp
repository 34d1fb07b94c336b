// Fuzz entry: the station and observation writers on records built from bytes.
#include <sstream>

#include "output/header_writer.h"
#include "output/observation_writer.h"
#include "output/station_writer.h"
#include "rw5/survey_data.h"
#include "support/fuzz_bytes.h"
#include "support/fuzz_entries.h"

namespace trovisk::fuzzing {

namespace {

// Upper case only, so that a "nan" or "inf" in the output can only be a number.
constexpr const char* kNameAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_-. ";

constexpr ObservationKind kKinds[] = {ObservationKind::kNone,
                                      ObservationKind::kHorizontalAngle,
                                      ObservationKind::kAzimuth,
                                      ObservationKind::kGpsVector,
                                      ObservationKind::kZenithDistance,
                                      ObservationKind::kHorizontalDistance,
                                      ObservationKind::kHeightDifference};

constexpr const char* kCodes[] = {"BK", "SS", "TR", "BD", "FD", "FR", "BR", "BL", "G1", "OB", "X"};

void BuildStations(FuzzBytes& bytes, StationList& stations) {
  int count = static_cast<int>(bytes.Range(0, 48));
  for (int i = 0; i < count && !bytes.empty(); ++i) {
    StationRecord station;
    station.name = bytes.Text(20, kNameAlphabet);  // longer than any name the reader keeps
    std::string description = bytes.Text(40, kNameAlphabet);
    station.has_geodetic = bytes.Bool();
    station.has_nee = bytes.Bool();
    station.latitude = bytes.Double();
    station.longitude = bytes.Double();
    station.height = bytes.Double();
    station.north = bytes.Double();
    station.east = bytes.Double();
    station.elevation = bytes.Double();
    station.distance_units = static_cast<std::int32_t>(bytes.Range(-3, 5));
    stations.Add(station);
    stations.SetDescription(station.name, description);
  }
  // Merge links anywhere in the list, cycles included: resolving must stay bounded.
  for (std::size_t i = 1; i < stations.size() && !bytes.empty(); ++i) {
    if (bytes.Range(0, 3) == 0) {
      stations[i].merge_link =
          static_cast<std::int32_t>(bytes.Range(0, static_cast<std::int64_t>(stations.size()) - 1));
    }
  }
}

void BuildObservations(FuzzBytes& bytes, std::size_t station_count, ObservationList& list) {
  int count = static_cast<int>(bytes.Range(0, 64));
  for (int i = 0; i < count && !bytes.empty(); ++i) {
    ObservationRecord o;
    ObservationDetail& detail = list.Detail(o);
    std::int64_t last = static_cast<std::int64_t>(station_count) - 1;
    o.sequence = bytes.Bool() ? i + 1 : static_cast<std::int32_t>(bytes.Range(-5, 200000));
    o.from = static_cast<std::int32_t>(bytes.Range(0, last));
    o.backsight = static_cast<std::int32_t>(bytes.Range(0, last));
    o.to = static_cast<std::int32_t>(bytes.Range(0, last));
    o.kind = kKinds[bytes.Range(0, 6)];
    o.SetCode(kCodes[bytes.Range(0, 10)]);
    o.computed = bytes.Bool();
    // Each value present or missing, and when present anything at all.
    double* values[] = {&o.horizontal_angle,
                        &o.azimuth,
                        &o.zenith,
                        &o.slope_distance,
                        &o.horizontal_distance,
                        &o.height_difference,
                        &o.instrument_height,
                        &o.target_height,
                        &detail.dx,
                        &detail.dy,
                        &detail.dz};
    for (double* value : values) {
      if (bytes.Bool()) *value = bytes.Double();
    }
    for (double& term : detail.covariance) {
      if (bytes.Bool()) term = bytes.Double();
    }
    detail.description = bytes.Text(30, kNameAlphabet);
    list.push_back(o);
  }
}

}  // namespace

std::string FuzzWriter(const std::uint8_t* data, std::size_t size) {
  FuzzBytes bytes(data, size);
  SurveyData survey;
  BuildStations(bytes, survey.stations);
  BuildObservations(bytes, survey.stations.size(), survey.observations);
  int distance_code = static_cast<int>(bytes.Range(-2, 4));
  int angle_code = static_cast<int>(bytes.Range(-2, 3));
  bool local_nee_system = bytes.Bool();

  std::ostringstream out;
  Status status = Status::kOk;
  WriteStationTypeBlock(out, local_nee_system, status);
  for (int pass = 0; pass < 4 && status == Status::kOk; ++pass) {
    WriteStations(out, survey.stations, (pass & 1) != 0, (pass & 2) != 0, local_nee_system, status);
  }
  if (status == Status::kOk) {
    WriteObservationSection(out, survey.stations, survey.observations, angle_code, distance_code,
                            status);
  }
  if (status != Status::kOk) return "a writer failed on a good stream";
  const std::string text = out.str();
  if (text.find("nan") != std::string::npos || text.find("inf") != std::string::npos) {
    return "a number was written as nan or inf";
  }
  return {};
}

}  // namespace trovisk::fuzzing
