// Observation records: the choice of keyword for each combination of present
// values, their fields, and the order of the section.
#include "output/observation_writer.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <string_view>
#include <vector>

#include "base/status.h"
#include "geodesy/constants.h"
#include "output/header_writer.h"
#include "output/ordered_chunks.h"
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
constexpr std::string_view kBacksightAzimuthNote = "BK Record - Computed Azimuth";

// Room for the records of one observation: at most eight (a horizontal angle,
// a given backsight azimuth, azimuth, zenith and chord alone, height
// difference, horizontal distance, GPS vector), each with at most nine numbers,
// three names and a note, besides keywords, separators and the notice.
constexpr std::size_t kObservationRecords = 8;
constexpr std::size_t kRecordNumbers = 9;
constexpr std::size_t kRecordTextRoom = 256;

// A value that can be written: present, and a number the file can hold.
bool Known(double value) { return IsPresent(value) && std::isfinite(value); }

std::string_view CodeOf(const ObservationRecord& observation) {
  const auto& code = observation.code;
  return {code.data(),
          static_cast<std::size_t>(std::find(code.begin(), code.end(), '\0') - code.begin())};
}

// A station's name as the records write it.
using NameText = NameWords;

// The name's bytes of a word, from the lowest: the first `count` (below 8) or all.
std::uint64_t LowBytes(std::size_t count) {
  return count >= 8 ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * count)) - 1;
}

// Whether two names are the same, compared in the words already loaded.
bool SameName(const NameText& a, const NameText& b) {
  const std::size_t size = a.text.size();
  if (size != b.text.size()) return false;
  if constexpr (std::endian::native != std::endian::little) return a.text == b.text;
  // Only the names' own bytes count: the head's below the size, and the
  // tail's from its offset on.
  const std::size_t tail_count = size > NameText::kTailOffset ? size - NameText::kTailOffset : 0;
  return ((a.head ^ b.head) & LowBytes(size)) == 0 &&
         ((a.tail ^ b.tail) & LowBytes(tail_count)) == 0;
}

// Writes the records of one section, in its angle and distance units.
class RecordWriter {
 public:
  RecordWriter(int angle_code, int distance_code)
      : grads_(angle_code == kAngleUnitGrads),
        angle_sd_(kAngleSd * (grads_ ? kGradAngleSdFactor : 1.0)),
        distance_factor_(DistanceUnitFactor(distance_code)),
        distance_sd_(kDistanceSd * distance_factor_),
        angle_sd_text_(kAngleSdDecimals),
        distance_sd_text_(kLengthDecimals),
        given_sd_text_(kLengthDecimals),
        hi_text_(kLengthDecimals),
        hr_text_(kLengthDecimals) {}

  double distance_factor() const { return distance_factor_; }

  // Each record writer takes the cursor by value and gives it back advanced,
  // so that its place stays in a register: a cursor held in memory would be
  // reloaded after every character stored, as any char store may alias it.

  // Azimuth, zenith and slope distance from one station to another; HI and HR
  // already in output units.
  TextCursor Azimuth(TextCursor out, const NameText& from, const NameText& to, double azimuth,
                     double zenith, double distance, double hi, double hr, bool commented,
                     std::string_view description) {
    bool has_azimuth = Known(azimuth);
    bool has_zenith = Known(zenith);
    bool has_distance = Known(distance);
    if (!has_azimuth && !has_zenith && !has_distance) return out;
    if (commented) out.Put(kComputedNotice);
    if (has_zenith && has_distance) {
      Description(out, description, commented);
      Begin(out, "$AZ_COMPACT", commented);
      Names(out, from, to);
      AngleWithSd(out, azimuth);
      AngleWithSd(out, zenith);
      DistanceWithSd(out, distance);
      Heights(out, hi, hr);
      return out;
    }
    if (has_azimuth) {
      Single(out, "$AZIMUTH_ONLY", from, to, azimuth, true, hi, hr, commented, description);
    }
    if (has_zenith) {
      Single(out, "$ZENITH_ONLY", from, to, zenith, true, hi, hr, commented, description);
    }
    if (has_distance) {
      Single(out, "$CHORD_ONLY", from, to, distance, false, hi, hr, commented, description);
    }
    return out;
  }

  // A horizontal angle at one station from the backsight to the foresight,
  // with the zenith and slope distance of the foresight pointing.
  TextCursor HorizontalAngle(TextCursor out, const NameText& at, const NameText& from,
                             const NameText& to, double angle, double zenith, double distance,
                             double hi, double hr, bool commented, std::string_view description) {
    bool has_zenith = Known(zenith);
    bool has_distance = Known(distance);
    if (!Known(angle) && !has_zenith && !has_distance) return out;
    if (commented) out.Put(kComputedNotice);
    Description(out, description, commented);
    Begin(out, has_zenith || has_distance ? "$HOR_COMPACT" : "$HORIZ_ANGLE_ONLY", commented);
    Name(out, at);
    Names(out, from, to);
    AngleWithSd(out, angle);
    if (has_zenith || has_distance) {
      AngleWithSd(out, zenith);
      DistanceWithSd(out, distance);
    }
    Heights(out, hi, hr);
    return out;
  }

  // "$HGTDIFF_COMPACT" or "$HORIZ_DIST_ONLY": a length and its SD as given.
  TextCursor LengthOnly(TextCursor out, std::string_view keyword, const NameText& from,
                        const NameText& to, double length, double sd, bool commented,
                        std::string_view description) {
    if (!Known(length)) return out;
    if (commented) out.Put(kComputedNotice);
    Description(out, description, commented);
    Begin(out, keyword, commented);
    Names(out, from, to);
    Field(out);
    out.PutFixed<kLengthDecimals>(length * distance_factor_);
    Field(out);
    out.PutFixed(given_sd_text_, sd);
    out.Put("\n\n");
    return out;
  }

  // An earth-centred vector with its covariance, packed XX XY YY XZ YZ ZZ and
  // written XX XY XZ YY YZ ZZ. A term that is missing is written as zero.
  TextCursor GpsVector(TextCursor out, const NameText& from, const NameText& to, double dx,
                       double dy, double dz, const std::array<double, 6>& covariance,
                       bool commented, std::string_view description) {
    if (!Known(dx) || !Known(dy) || !Known(dz)) return out;
    if (commented) out.Put(kComputedNotice);
    Description(out, description, commented);
    Begin(out, "$GPS_COMPACT", commented);
    Names(out, from, to);
    for (double component : {dx, dy, dz}) {
      Field(out);
      out.PutFixed<kLengthDecimals>(component * distance_factor_);
    }
    double area_factor = distance_factor_ * distance_factor_;
    for (std::size_t term : {0u, 1u, 3u, 2u, 4u, 5u}) {
      double value = covariance[term];
      Field(out);
      out.PutFixed<kCovarianceDecimals>(Known(value) ? value * area_factor : 0.0);
    }
    out.Put("\n\n");
    return out;
  }

 private:
  // The pieces below are inlined into the record writers, where the cursor
  // is a local.
  static void Description(TextCursor& out, std::string_view description, bool commented) {
    if (description.empty()) return;
    if (commented) out.Put("! ");
    out.Put("$OBS_DESC; ");
    out.PutText(description);
    out.Put('\n');
  }

  static void Begin(TextCursor& out, std::string_view keyword, bool commented) {
    if (commented) out.Put("! ");
    out.Put(keyword);
  }

  static void Field(TextCursor& out) { out.Put("; "); }

  static void Name(TextCursor& out, const NameText& name) {
    Field(out);
    out.PutName(name);
  }

  static void Names(TextCursor& out, const NameText& from, const NameText& to) {
    Name(out, from);
    Name(out, to);
  }

  static void Noobs(TextCursor& out) {
    Field(out);
    out.Put("NOOBS");
  }

  // The angle and its SD, or NOOBS twice.
  void AngleWithSd(TextCursor& out, double radians) {
    if (!Known(radians)) {
      Noobs(out);
      Noobs(out);
      return;
    }
    Field(out);
    if (grads_) {
      out.PutFixed<kAngleDecimals>(radians * kGonsPerRadian);
    } else {
      out.PutRadiansAsPackedAngle<kAngleDecimals>(radians);
    }
    Field(out);
    out.PutFixed(angle_sd_text_, angle_sd_);
  }

  // The distance in output units and its SD, or NOOBS twice.
  void DistanceWithSd(TextCursor& out, double metres) {
    if (!Known(metres)) {
      Noobs(out);
      Noobs(out);
      return;
    }
    Field(out);
    out.PutFixed<kLengthDecimals>(metres * distance_factor_);
    Field(out);
    out.PutFixed(distance_sd_text_, distance_sd_);
  }

  void Heights(TextCursor& out, double hi, double hr) {
    Field(out);
    out.PutFixed(hi_text_, hi);
    Field(out);
    out.PutFixed(hr_text_, hr);
    out.Put("\n\n");
  }

  // One value alone: its description, then the record.
  void Single(TextCursor& out, std::string_view keyword, const NameText& from, const NameText& to,
              double value, bool is_angle, double hi, double hr, bool commented,
              std::string_view description) {
    Description(out, description, commented);
    Begin(out, keyword, commented);
    Names(out, from, to);
    if (is_angle) {
      AngleWithSd(out, value);
    } else {
      DistanceWithSd(out, value);
    }
    Heights(out, hi, hr);
  }

  bool grads_;
  double angle_sd_;
  double distance_factor_;
  double distance_sd_;
  // Texts of the values that recur from record to record.
  RepeatedNumber angle_sd_text_;
  RepeatedNumber distance_sd_text_;
  RepeatedNumber given_sd_text_;
  RepeatedNumber hi_text_;
  RepeatedNumber hr_text_;
};

// Names under which observations refer to stations: the survivors of merges.
// The occupied and backsight stations stay the same over a setup, so the
// last of each is kept.
class StationNames {
 public:
  explicit StationNames(const StationList& stations) : stations_(stations) {}

  const NameText& From(int index) { return Kept(index, from_); }
  const NameText& Backsight(int index) { return Kept(index, backsight_); }
  NameText To(int index) const { return NameText(Of(index)); }

 private:
  struct Last {
    int index = -1;
    NameText name;
  };

  const NameText& Kept(int index, Last& last) const {
    if (last.index != index) {
      last.index = index;
      last.name = NameText(Of(index));
    }
    return last.name;
  }

  const StationName& Of(int index) const {
    // Most stations stand for themselves: their own name, without a call.
    if (index > 0 && static_cast<std::size_t>(index) < stations_.size()) {
      const StationRecord& station = stations_[static_cast<std::size_t>(index)];
      if (station.merge_link == kNotMerged) return station.name;
    }
    const int survivor = stations_.Resolve(index);
    if (survivor <= 0 || static_cast<std::size_t>(survivor) >= stations_.size()) return no_name_;
    return stations_[static_cast<std::size_t>(survivor)].name;
  }

  const StationList& stations_;
  StationName no_name_;  // of index 0 (no station) or one outside the list
  Last from_;
  Last backsight_;
};

// The details of an observation that has none.
const ObservationDetail kNoDetail;

// Every present value of the observation goes into exactly one record.
void WriteObservation(OutputBuffer& buffer, RecordWriter& writer, StationNames& names,
                      const ObservationList& observations, const ObservationRecord& observation) {
  const NameText& from = names.From(observation.from);
  const NameText& backsight = names.Backsight(observation.backsight);
  const NameText to = names.To(observation.to);
  double factor = writer.distance_factor();
  double hi = Known(observation.instrument_height) ? observation.instrument_height * factor : 0.0;
  double hr = Known(observation.target_height) ? observation.target_height * factor : 0.0;
  bool commented = observation.computed;
  // Most observations have no details: no call to learn it.
  const ObservationDetail& detail =
      observation.detail > 0 ? observations.Detail(observation) : kNoDetail;
  const std::string& description = detail.description;
  TextCursor out =
      buffer.Reserve(kObservationRecords * (kRecordTextRoom + kRecordNumbers * kMaxFixedLength +
                                            3 * kMaxStationNameLength + description.size() +
                                            kBacksightAzimuthNote.size()));

  double azimuth = observation.azimuth;
  double zenith = observation.zenith;
  double distance = observation.slope_distance;
  // An angle onto the backsight itself measures nothing and is not written;
  // the zenith and distance of that pointing go into the azimuth record.
  if (Known(observation.horizontal_angle) && !SameName(backsight, to)) {
    out = writer.HorizontalAngle(out, from, backsight, to, observation.horizontal_angle, zenith,
                                 distance, hi, hr, commented, description);
    zenith = kNullValue;
    distance = kNullValue;
  }
  // A backsight azimuth was given, not measured.
  if (Known(azimuth) && CodeOf(observation) == "BK") {
    out = writer.Azimuth(out, from, to, azimuth, kNullValue, kNullValue, hi, hr, true,
                         kBacksightAzimuthNote);
    azimuth = kNullValue;
  }
  // Mostly all went into the angle's record above: no call to learn that.
  if (IsPresent(azimuth) || IsPresent(zenith) || IsPresent(distance)) {
    out = writer.Azimuth(out, from, to, azimuth, zenith, distance, hi, hr, commented, description);
  }
  out = writer.LengthOnly(out, "$HGTDIFF_COMPACT", from, to, observation.height_difference,
                          kDistanceSd, commented, description);
  out = writer.LengthOnly(out, "$HORIZ_DIST_ONLY", from, to, observation.horizontal_distance,
                          kDistanceSd, commented, description);
  out = writer.GpsVector(out, from, to, detail.dx, detail.dy, detail.dz, detail.covariance,
                         commented, description);
  buffer.Commit(out);
}

// Observations a thread formats at a time: some 250 KB of text.
constexpr std::size_t kObservationsPerChunk = 1024;

// Whether sequence numbers rise strictly from index 1 on, as the reader
// numbers them: then the section is the list in order, and no order is built.
bool InArrivalOrder(const ObservationList& observations) {
  for (std::size_t i = 2; i < observations.size(); ++i) {
    if (observations[i].sequence <= observations[i - 1].sequence) return false;
  }
  return true;
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
  // The reader numbers in order of arrival, so the sort is rarely needed.
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

void WriteObservationSection(std::ostream& out, const StationList& stations,
                             const ObservationList& observations, int angle_unit_code,
                             int distance_unit_code, Status& status) {
  status = Status::kOk;
  OutputBuffer buffer(out);
  buffer.Append("\n\n\n");
  AppendUnitsBlock(buffer, distance_unit_code, angle_unit_code);
  if (!buffer.Flush()) {
    status = Status::kWriteError;
    return;
  }
  // Each thread formats its chunks with writers of its own: what they keep
  // from record to record (the last names, recurring numbers) only saves work.
  struct ChunkWriter {
    ChunkWriter(std::ostream& stream, const StationList& list, int angle_code, int distance_code)
        : text(stream), writer(angle_code, distance_code), names(list) {}
    OutputBuffer text;
    RecordWriter writer;
    StationNames names;
  };
  ChunkWriter writers[2] = {{out, stations, angle_unit_code, distance_unit_code},
                            {out, stations, angle_unit_code, distance_unit_code}};
  const bool in_order = InArrivalOrder(observations);
  std::vector<std::size_t> order;
  if (!in_order) order = SectionOrder(observations);
  // In arrival order the section is the list from index 1 on.
  const std::size_t count = !in_order              ? order.size()
                            : observations.empty() ? 0
                                                   : observations.size() - 1;
  const bool written = FormatInOrder(
      0, count, kObservationsPerChunk,
      [&](int worker, std::size_t first, std::size_t last) {
        ChunkWriter& w = writers[worker];
        for (std::size_t k = first; k < last; ++k) {
          WriteObservation(w.text, w.writer, w.names, observations,
                           observations[in_order ? k + 1 : order[k]]);
        }
      },
      [&](int worker) { return writers[worker].text.Flush(); });
  if (!written) status = Status::kWriteError;
}

}  // namespace trovisk
