// Observation records: the choice of keyword for each combination of present
// values, their fields, and the order of the section.
#include "output/observation_writer.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>
#include <vector>

#include "base/status.h"
#include "geodesy/angles.h"
#include "geodesy/constants.h"
#include "output/header_writer.h"
#include "output/number_format.h"
#include "output/output_buffer.h"
#include "output/station_writer.h"
#include "rw5/null_value.h"

namespace trovisk {
namespace {

// Observation standard deviations: arc-seconds (or the same in grads) and metres.
constexpr double kAngleSd = 5.0;
constexpr double kDistanceSd = 0.005;
// Grad seconds per arc-second: 636619.7723675814 / 206264.80624709636.
constexpr double kGradAngleSdFactor = 3.0864197530864197;

constexpr int kAngleDecimals = 6;
constexpr int kAngleSdDecimals = 3;
constexpr int kLengthDecimals = 5;
constexpr int kCovarianceDecimals = 12;

constexpr std::string_view kComputedNotice =
    "! Observation was computed - not measured. It has been commented out\n";
constexpr std::string_view kRejectedNoticeHead = "! Observation not used - ";
constexpr std::string_view kRejectedNoticeTail = ". It has been commented out\n";
constexpr std::string_view kBacksightAzimuthNote = "BK Record - Computed Azimuth";

// A value that can be written: present, and a number the file can hold.
bool Known(double value) { return IsPresent(value) && std::isfinite(value); }

std::string_view CodeOf(const ObservationRecord& observation) {
  const auto& code = observation.code;
  return {code.data(),
          static_cast<std::size_t>(std::find(code.begin(), code.end(), '\0') - code.begin())};
}

// The units a section writes its angles and lengths in, and the texts of
// its standard deviations, which are the same in every record.
struct SectionUnits {
  SectionUnits(int angle_code, int distance_code)
      : grads(angle_code == kAngleUnitGrads),
        distance_factor(DistanceUnitFactor(distance_code)),
        angle_sd(FormatFixed(kAngleSd * (grads ? kGradAngleSdFactor : 1.0), kAngleSdDecimals)),
        distance_sd(FormatFixed(kDistanceSd * distance_factor, kLengthDecimals)),
        given_sd(FormatFixed(kDistanceSd, kLengthDecimals)) {}

  bool grads;               // grads, else packed degrees
  double distance_factor;   // output unit per metre
  std::string angle_sd;     // in the angle unit
  std::string distance_sd;  // in the output unit
  std::string given_sd;     // of heights and horizontal distances, as given
};

// What the records of one observation share.
struct Pointing {
  std::string_view from;              // occupied station
  std::string_view to;                // foresight station
  double hi = 0.0;                    // instrument height, output unit
  double hr = 0.0;                    // target height, output unit
  bool commented = false;             // computed or not usable: written commented out
  std::string_view rejected_because;  // why a record that could not be used is not
  std::string_view description;       // its note, written before each record
};

// The line that says why the records after it are commented out.
void AppendCommentedNotice(OutputBuffer& out, const Pointing& pointing) {
  if (!pointing.commented) return;
  if (pointing.rejected_because.empty()) {
    out.Append(kComputedNotice);
    return;
  }
  out.Append(kRejectedNoticeHead);
  out.AppendText(pointing.rejected_because);
  out.Append(kRejectedNoticeTail);
}

// The note of the observation, then the record's keyword.
void AppendKeyword(OutputBuffer& out, const Pointing& pointing, std::string_view keyword) {
  if (!pointing.description.empty()) {
    if (pointing.commented) out.Append("! ");
    out.Append("$OBS_DESC; ");
    out.AppendText(pointing.description);
    out.Append('\n');
  }
  if (pointing.commented) out.Append("! ");
  out.Append(keyword);
}

void AppendName(OutputBuffer& out, std::string_view name) {
  out.Append("; ");
  out.AppendText(name);
}

// The note and keyword, then the two stations.
void AppendRecordHead(OutputBuffer& out, const Pointing& pointing, std::string_view keyword) {
  AppendKeyword(out, pointing, keyword);
  AppendName(out, pointing.from);
  AppendName(out, pointing.to);
}

// The angle and its SD, or NOOBS twice.
void AppendAngle(OutputBuffer& out, const SectionUnits& units, double radians) {
  if (!Known(radians)) {
    out.Append("; NOOBS; NOOBS");
    return;
  }
  out.Append("; ");
  if (units.grads) {
    out.AppendFixed(radians * kGonsPerRadian, kAngleDecimals);
  } else {
    out.AppendPackedAngle(RadiansToDms(radians), kAngleDecimals);
  }
  out.Append("; ");
  out.Append(units.angle_sd);
}

// The distance in the output unit and its SD, or NOOBS twice.
void AppendDistance(OutputBuffer& out, const SectionUnits& units, double metres) {
  if (!Known(metres)) {
    out.Append("; NOOBS; NOOBS");
    return;
  }
  out.Append("; ");
  out.AppendFixed(metres * units.distance_factor, kLengthDecimals);
  out.Append("; ");
  out.Append(units.distance_sd);
}

// The heights that close a pointing's record.
void AppendHeights(OutputBuffer& out, const Pointing& pointing) {
  out.Append("; ");
  out.AppendFixed(pointing.hi, kLengthDecimals);
  out.Append("; ");
  out.AppendFixed(pointing.hr, kLengthDecimals);
  out.Append("\n\n");
}

// Azimuth, zenith and slope distance from one station to another: one
// "$AZ_COMPACT" record when the zenith and the distance are both known, else
// one record for each value known.
bool AppendAzimuthRecords(OutputBuffer& out, const SectionUnits& units, const Pointing& pointing,
                          double azimuth, double zenith, double distance) {
  if (!Known(azimuth) && !Known(zenith) && !Known(distance)) return false;
  AppendCommentedNotice(out, pointing);
  if (Known(zenith) && Known(distance)) {
    AppendRecordHead(out, pointing, "$AZ_COMPACT");
    AppendAngle(out, units, azimuth);
    AppendAngle(out, units, zenith);
    AppendDistance(out, units, distance);
    AppendHeights(out, pointing);
    return true;
  }
  if (Known(azimuth)) {
    AppendRecordHead(out, pointing, "$AZIMUTH_ONLY");
    AppendAngle(out, units, azimuth);
    AppendHeights(out, pointing);
  }
  if (Known(zenith)) {
    AppendRecordHead(out, pointing, "$ZENITH_ONLY");
    AppendAngle(out, units, zenith);
    AppendHeights(out, pointing);
  }
  if (Known(distance)) {
    AppendRecordHead(out, pointing, "$CHORD_ONLY");
    AppendDistance(out, units, distance);
    AppendHeights(out, pointing);
  }
  return true;
}

// A horizontal angle at the occupied station from the backsight to the
// foresight, with the zenith and slope distance of the foresight pointing.
void AppendHorizontalAngleRecord(OutputBuffer& out, const SectionUnits& units,
                                 const Pointing& pointing, std::string_view backsight,
                                 const ObservationRecord& observation) {
  const bool with_pointing = Known(observation.zenith) || Known(observation.slope_distance);
  AppendCommentedNotice(out, pointing);
  AppendKeyword(out, pointing, with_pointing ? "$HOR_COMPACT" : "$HORIZ_ANGLE_ONLY");
  AppendName(out, pointing.from);
  AppendName(out, backsight);
  AppendName(out, pointing.to);
  AppendAngle(out, units, observation.horizontal_angle);
  if (with_pointing) {
    AppendAngle(out, units, observation.zenith);
    AppendDistance(out, units, observation.slope_distance);
  }
  AppendHeights(out, pointing);
}

// "$HGTDIFF_COMPACT" or "$HORIZ_DIST_ONLY": a length and its SD as given.
bool AppendLengthRecord(OutputBuffer& out, const SectionUnits& units, const Pointing& pointing,
                        std::string_view keyword, double metres) {
  if (!Known(metres)) return false;
  AppendCommentedNotice(out, pointing);
  AppendRecordHead(out, pointing, keyword);
  out.Append("; ");
  out.AppendFixed(metres * units.distance_factor, kLengthDecimals);
  out.Append("; ");
  out.Append(units.given_sd);
  out.Append("\n\n");
  return true;
}

// An earth-centred vector with its covariance, packed XX XY YY XZ YZ ZZ and
// written XX XY XZ YY YZ ZZ. A term that is missing is written as zero.
bool AppendGpsVectorRecord(OutputBuffer& out, const SectionUnits& units, const Pointing& pointing,
                           const ObservationDetail& vector) {
  if (!Known(vector.dx) || !Known(vector.dy) || !Known(vector.dz)) return false;
  AppendCommentedNotice(out, pointing);
  AppendRecordHead(out, pointing, "$GPS_COMPACT");
  for (double component : {vector.dx, vector.dy, vector.dz}) {
    out.Append("; ");
    out.AppendFixed(component * units.distance_factor, kLengthDecimals);
  }
  const double area_factor = units.distance_factor * units.distance_factor;
  for (std::size_t term : {0u, 1u, 3u, 2u, 4u, 5u}) {
    const double value = vector.covariance[term];
    out.Append("; ");
    out.AppendFixed(Known(value) ? value * area_factor : 0.0, kCovarianceDecimals);
  }
  out.Append("\n\n");
  return true;
}

// What one observation gave the section.
enum class Written { kNothing, kLive, kCommentedOut };

// The records of one observation: every present value goes into exactly one.
Written AppendObservation(OutputBuffer& out, const SectionUnits& units, const StationList& stations,
                          const ObservationList& observations,
                          const ObservationRecord& observation) {
  const ObservationDetail& detail = observations.Detail(observation);
  Pointing pointing;
  pointing.from = ResolvedStationName(stations, observation.from);
  pointing.to = ResolvedStationName(stations, observation.to);
  if (Known(observation.instrument_height)) {
    pointing.hi = observation.instrument_height * units.distance_factor;
  }
  if (Known(observation.target_height)) {
    pointing.hr = observation.target_height * units.distance_factor;
  }
  pointing.rejected_because = detail.rejected_because;
  pointing.commented = observation.computed || !pointing.rejected_because.empty();
  pointing.description = detail.description;
  const std::string_view backsight = ResolvedStationName(stations, observation.backsight);

  double azimuth = observation.azimuth;
  double zenith = observation.zenith;
  double distance = observation.slope_distance;
  bool written = false;
  // An angle onto the backsight itself measures nothing and is not written;
  // the zenith and distance of that pointing go into the azimuth record.
  if (Known(observation.horizontal_angle) && backsight != pointing.to) {
    AppendHorizontalAngleRecord(out, units, pointing, backsight, observation);
    written = true;
    zenith = kNullValue;
    distance = kNullValue;
  }
  // A backsight azimuth was given, not measured.
  if (Known(azimuth) && CodeOf(observation) == "BK") {
    Pointing given = pointing;
    given.commented = true;
    given.description = kBacksightAzimuthNote;
    written |= AppendAzimuthRecords(out, units, given, azimuth, kNullValue, kNullValue);
    azimuth = kNullValue;
  }
  written |= AppendAzimuthRecords(out, units, pointing, azimuth, zenith, distance);
  written |=
      AppendLengthRecord(out, units, pointing, "$HGTDIFF_COMPACT", observation.height_difference);
  written |=
      AppendLengthRecord(out, units, pointing, "$HORIZ_DIST_ONLY", observation.horizontal_distance);
  written |= AppendGpsVectorRecord(out, units, pointing, detail);
  if (!written) return Written::kNothing;
  return pointing.commented ? Written::kCommentedOut : Written::kLive;
}

// Indices of the observations to write, in order of sequence number; of
// several with one number only the last in the list. Index 0 is reserved.
std::vector<std::size_t> SectionOrder(const ObservationList& observations) {
  std::vector<std::size_t> order;
  if (observations.size() < 2) return order;
  order.reserve(observations.size() - 1);
  for (std::size_t i = 1; i < observations.size(); ++i) order.push_back(i);
  auto by_sequence = [&observations](std::size_t a, std::size_t b) {
    return observations[a].sequence < observations[b].sequence;
  };
  // The reader numbers in order of arrival, so the sort is rarely needed; on
  // a 1M-record job the check saves it some 0.13 s.
  if (!std::is_sorted(order.begin(), order.end(), by_sequence)) {
    std::stable_sort(order.begin(), order.end(), by_sequence);
  }
  // Keep the last of each run of equal numbers (stable, so the later in the list).
  std::size_t kept = 0;
  for (std::size_t i = 0; i < order.size(); ++i) {
    bool last_of_run = i + 1 == order.size() ||
                       observations[order[i + 1]].sequence != observations[order[i]].sequence;
    if (last_of_run) order[kept++] = order[i];
  }
  order.resize(kept);
  return order;
}

}  // namespace

void WriteObservationSection(std::ostream& stream, const StationList& stations,
                             const ObservationList& observations, int angle_unit_code,
                             int distance_unit_code, Status& status, WrittenObservations* written) {
  status = Status::kOk;
  OutputBuffer out(stream);
  out.Append("\n\n\n");
  AppendUnitsBlock(out, distance_unit_code, angle_unit_code);
  const SectionUnits units(angle_unit_code, distance_unit_code);
  for (std::size_t index : SectionOrder(observations)) {
    const ObservationRecord& observation = observations[index];
    const Written result = AppendObservation(out, units, stations, observations, observation);
    if (written != nullptr && result == Written::kCommentedOut) ++written->commented_out;
    if (written != nullptr && result == Written::kLive) {
      ++written->by_kind[static_cast<std::size_t>(observation.kind)];
    }
    if (!out.FlushIfFull()) break;
  }
  if (!out.Flush()) status = Status::kWriteError;
}

}  // namespace trovisk
