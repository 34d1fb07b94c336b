// Data that some collectors keep only in notes: the mode ("--MO,", when no
// mode record came first), a point's grid coordinates ("--GS,"), the points
// deleted from the coordinate file, the accuracy of a receiver position and
// the readings of a resection. The mode and the grid coordinates taken from
// notes are reported as warnings.
#include <string>

#include "rw5/field_splitter.h"
#include "rw5/record_reader.h"

namespace trovisk {
namespace {

std::string DistanceUnitName(int unit_code) {
  switch (unit_code) {
    case kUnitInternationalFeet:
      return "international feet";
    case kUnitUsSurveyFeet:
      return "US survey feet";
    case kUnitMetres:
      return "metres";
    default:
      return "metres (unit code " + std::to_string(unit_code) + ")";
  }
}

}  // namespace

void RecordReader::HandleDataNote(std::string_view note) {
  if (note.substr(0, 5) == "--MO,") {
    if (!state_.live_mode_seen) ApplyModeNote(note);
  } else if (note.substr(0, 5) == "--GS,") {
    ReadGridNote(note);
  } else if (note.substr(0, 22) == "--Deleted Point ID(s):") {
    ReadDeletedPoints(note);
  } else if (coordinates_only_) {
    return;
  } else if (note.substr(0, 7) == "--HRMS:") {
    ReadAccuracyNote(note);
  } else if (note.substr(0, 12) == "--Resection:") {
    ReadResectionNote(note);
  } else if (note.substr(0, 10) == "--Reading ") {
    ReadResectionReading(note);
  }
}

void RecordReader::ApplyModeNote(std::string_view note) {
  // "--MO,..." read as the mode record it stands for.
  std::string_view record = note.substr(2);
  std::size_t first_comma = 0;
  RecordCode(record, first_comma);
  ReadMode(record, first_comma, true);
  std::string units = DistanceUnitName(state_.distance_units);
  if (state_.angle_units == kAngleUnitGrads) units += ", angles in grads";
  Warn(line_, "units taken from the note on line " + std::to_string(line_) + ": " + units);
}

void RecordReader::ReadGridNote(std::string_view note) {
  // "--GS,PN<name>,N <north>,E <east>,EL<elevation>,--<description>", in job units.
  std::string_view record = note.substr(2);
  std::size_t first_comma = 0;
  RecordCode(record, first_comma);
  SplitFields(record, first_comma, 5, fields_);
  std::string_view name;
  double north = kNullValue, east = kNullValue, elevation = kNullValue;
  for (std::string_view field : fields_) {
    if (HasPrefix(field, "--")) break;
    if (HasPrefix(field, "PN")) {
      name = Name(field);
    } else if (HasPrefix(field, "EL")) {
      elevation = Length(field, 2);
    } else if (HasPrefix(field, "N")) {
      north = Length(field, 1);
    } else if (HasPrefix(field, "E")) {
      east = Length(field, 1);
    }
  }
  if (name.empty() || IsMissing(north) || IsMissing(east)) return;
  // The note gives the grid coordinates of the point the record before it stored.
  const int station = data_.stations.Find(name);
  if (station == 0 || station != last_stored_point_) return;
  if (IsMissing(elevation)) {
    elevation = 0.0;
    std::string what = "'";
    what.append(name).append("' has no elevation in its note on line ");
    Warn(line_, what + std::to_string(line_) + "; 0 used");
  }
  StoreLocal(station, north, east, elevation, true);
}

}  // namespace trovisk
