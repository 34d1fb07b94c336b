// Resection readings that a collector keeps only in notes: a
// "--Resection:HI1.545,PNTEMP1,…" note names the resected station and its
// instrument height, and each "--Reading 1(D):FPCP5,AR…,ZE…,SD…--CP,HR1.470"
// after it is one pointing to a known point. The readings of one resection
// become a direction set whose reference is the first reading; the next
// record ends it.
#include <string>

#include "geodesy/angles.h"
#include "rw5/angle_reduction.h"
#include "rw5/field_splitter.h"
#include "rw5/record_reader.h"

namespace trovisk {

void RecordReader::ReadResectionNote(std::string_view note) {
  CloseResection();
  // The resection begins a setup of its own: the set before it is complete.
  CloseDirectionSet();
  // Fields after the colon, which stands where a record's first comma would.
  std::string_view record = note.substr(note.find(':'));
  SplitFields(record, 0, 6, fields_);
  std::string_view name;
  double instrument_height = kNullValue;
  for (std::string_view field : fields_) {
    if (HasPrefix(field, "--")) break;
    if (HasPrefix(field, "PN")) {
      name = Name(field);
    } else if (HasPrefix(field, "HI")) {
      instrument_height = Value(field);
    }
  }
  resection_station_ = Station(name);
  if (resection_station_ == 0) {
    Warn(line_, "resection without a station name; its readings are not used");
    return;
  }
  resection_instrument_height_ = instrument_height;
  resection_.Open(resection_station_);
}

void RecordReader::ReadResectionReading(std::string_view note) {
  if (!resection_.open()) return;
  // "--Reading 2(R):FPCP1,AR…,ZE…,SD…--CP,HR1.470": the face, the pointing,
  // then the target's note and its height after the note.
  const std::size_t colon = note.find("):");
  if (colon == std::string_view::npos) return;
  const bool face_right = colon > 0 && note[colon - 1] == 'R';
  std::string_view body = note.substr(colon + 1);
  const std::size_t note_start = body.find("--");
  std::string_view after_note;
  if (note_start != std::string_view::npos) {
    after_note = body.substr(note_start + 2);
    body = body.substr(0, note_start);
  }
  SplitFields(body, 0, 6, fields_);
  Pointing p;
  p.line = line_;
  p.SetCode("RS");
  p.from = resection_station_;
  p.face_right = face_right;
  double angle_right = kNullValue;
  for (std::string_view field : fields_) {
    if (HasPrefix(field, "FP")) {
      p.to = Station(Name(field));
    } else if (HasPrefix(field, "AR")) {
      angle_right = Angle(field);
    } else if (HasPrefix(field, "ZE")) {
      p.zenith = Zenith(field);
    } else if (HasPrefix(field, "SD") || HasPrefix(field, "HD")) {
      double metres = Length(field);
      if (metres == 0.0) metres = kNullValue;  // not measured
      (HasPrefix(field, "SD") ? p.slope_distance : p.horizontal_distance) = metres;
    }
  }
  if (p.to == 0) {
    Warn(line_, "resection reading without a target point; not used");
    return;
  }
  p.horizontal_angle = IsPresent(angle_right) ? ReduceToTurn(angle_right) : kNullValue;
  const std::size_t height_field = after_note.rfind(",HR");
  double target_height = state_.target_height;
  if (height_field != std::string_view::npos) {
    target_height = Value(after_note.substr(height_field + 1));
  }
  p.instrument_height = ToMetres(resection_instrument_height_);
  p.target_height = ToMetres(target_height);
  // The first reading is the reference of the set.
  resection_.Add(p, !resection_.has_reference());
  if (readings_from_notes_++ == 0) first_reading_line_ = line_;
}

void RecordReader::CloseResection() { CloseSet(resection_); }

}  // namespace trovisk
