// Data that some collectors keep only in notes: the mode ("--MO,", when no
// mode record came first) and a point's grid coordinates ("--GS,", for a
// station the records give none). Each use is reported as a warning.
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
  } else if (!coordinates_only_) {
    ReadGridNote(note);
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
  grid_notes_.push_back({std::string(name), north, east, elevation, line_});
}

void RecordReader::ApplyGridNotes() {
  // One warning for all the stations a file's notes complete: a GNSS job has
  // such a note after every point, and a warning each would bury the others.
  const GridNote* first_used = nullptr;
  std::size_t used = 0;
  for (const GridNote& note : grid_notes_) {
    int index = data_.stations.Find(note.name);
    if (index == 0) continue;
    StationRecord& station = data_.stations[static_cast<std::size_t>(index)];
    // Records win over notes, and the first note of a point over later ones.
    if (station.has_nee) continue;
    station.has_nee = true;
    station.north = note.north;
    station.east = note.east;
    station.elevation = IsPresent(note.elevation) ? note.elevation : 0.0;
    if (IsMissing(note.elevation)) {
      Warn(note.line, "'" + note.name + "' has no elevation in its note on line " +
                          std::to_string(note.line) + "; 0 used");
    }
    if (used++ == 0) first_used = &note;
  }
  if (used == 1) {
    Warn(first_used->line, "north, east and elevation of '" + first_used->name +
                               "' taken from the note on line " + std::to_string(first_used->line));
  } else if (used > 1) {
    Warn(first_used->line, "north, east and elevation of " + std::to_string(used) +
                               " stations taken from their notes, the first '" + first_used->name +
                               "' on line " + std::to_string(first_used->line));
  }
  grid_notes_.clear();
}

}  // namespace trovisk
