// Observation records ("SS", "TR", "OB" and the direction records) and the
// add-observation step that files each measured value exactly once.
#include <cmath>
#include <string>

#include "geodesy/angles.h"
#include "rw5/angle_reduction.h"
#include "rw5/field_splitter.h"
#include "rw5/record_reader.h"

namespace trovisk {
namespace {

bool IsCode(std::string_view code, std::string_view text) { return code == text; }

// A note that is only a number, such as the distance of a record whose
// fields slipped one place ("--771.241000,--").
bool NoteIsNumber(std::string_view note) {
  std::string_view text = note.substr(0, note.find(','));
  while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
  if (text.empty() || text.find_first_of("0123456789") == std::string_view::npos) return false;
  return text.find_first_not_of("+-.0123456789") == std::string_view::npos;
}

// Adds one fault to the list a rejected record is written with.
void AddFault(std::string& faults, const std::string& fault) {
  if (!faults.empty()) faults += "; ";
  faults += fault;
}

std::string Seconds(double radians) {
  return std::to_string(std::lround(std::fabs(radians) * kSecondsPerRadian)) + "\"";
}

}  // namespace

void RecordReader::ReadObservationRecord(std::string_view code) {
  Split(6);
  Pointing p;
  p.line = line_;
  p.SetCode(code);
  std::string_view note;
  bool has_note = false;
  double angle_right = kNullValue;
  std::string faults;          // values no instrument measures: the record is not used
  bool zero_distance = false;  // a distance written as exactly 0: not measured
  // A length that is missing when written as exactly 0, and a fault when negative.
  auto distance = [&](std::string_view field) {
    double metres = Length(field);
    if (metres == 0.0) {
      zero_distance = true;
      return kNullValue;
    }
    if (IsPresent(metres) && metres < 0.0) {
      AddFault(faults, "negative distance '" + std::string(field) + "'");
    }
    return metres;
  };
  for (std::string_view field : fields_) {
    switch (TwoLetterKey(field)) {
      case TwoLetterKey('O', 'P'): {
        std::string_view name = Name(field);
        // An occupied field without a name leaves the occupied station as it was.
        if (!name.empty()) state_.occupied = Station(name);
        break;
      }
      case TwoLetterKey('F', 'P'):
        p.to = Station(Name(field));
        break;
      case TwoLetterKey('A', 'Z'):
        p.azimuth = Angle(field);
        break;
      case TwoLetterKey('A', 'R'):
        angle_right = Angle(field);
        break;
      case TwoLetterKey('A', 'L'): {
        double left = Angle(field);
        angle_right = IsPresent(left) ? ReduceToTurn(kTwoPi - left) : kNullValue;
        break;
      }
      case TwoLetterKey('Z', 'E'):
        p.zenith = Zenith(field, &faults);
        break;
      case TwoLetterKey('C', 'E'):
        p.height_difference = Length(field);
        break;
      case TwoLetterKey('S', 'D'):
        p.slope_distance = distance(field);
        break;
      case TwoLetterKey('H', 'D'):
        p.horizontal_distance = distance(field);
        break;
      case TwoLetterKey('H', 'R'):
        state_.target_height = Value(field);  // carries into the following records
        break;
      case TwoLetterKey('-', '-'):
        note = Note(field);
        has_note = true;
        break;
      default:
        break;
    }
    if (has_note) break;  // the note runs to the end of the line
  }
  p.from = state_.occupied;
  p.horizontal_angle = IsPresent(angle_right) ? ReduceToTurn(angle_right) : kNullValue;
  p.instrument_height = ToMetres(state_.instrument_height);
  p.target_height = ToMetres(state_.target_height);
  if (p.to == 0) Warn(line_, "observation without a foresight point");
  p.face_right = IsCode(code, "BR") || IsCode(code, "FR");
  if (!faults.empty()) {
    if (has_note && NoteIsNumber(note)) {
      AddFault(faults, "a number where the note belongs ('" +
                           std::string(note.substr(0, note.find(','))) + "')");
    }
    Warn(line_, "fields shifted or out of range (" + faults + "); written commented out");
    AddRejectedPointing(p, faults);
    return;
  }
  Describe(p.to, note);
  // A manual instrument's backsight with no distance writes a level zenith
  // of exactly 90 degrees: neither was measured.
  const bool on_backsight =
      IsCode(code, "BD") || IsCode(code, "BR") || (p.to != 0 && p.to == state_.backsight);
  if (zero_distance && on_backsight && IsPresent(p.zenith) &&
      std::fabs(p.zenith - kPi / 2.0) < 1e-12) {
    p.zenith = kNullValue;
  }

  // A set belongs to one station.
  if (set_.open() && set_.station() != p.from) CloseDirectionSet();

  if (IsCode(code, "BD") || IsCode(code, "BR")) {
    p.face_right = IsCode(code, "BR");
    // A backsight direct after foresight pointings begins the next set.
    if (!p.face_right && set_.open() && set_.has_foresight()) CloseDirectionSet();
    if (!p.face_right) NoteBacksightReading(p, false);
    if (!set_.open()) set_.Open(p.from);
    set_.Add(p, true);
  } else if (IsCode(code, "FD") || IsCode(code, "FR")) {
    p.face_right = IsCode(code, "FR");
    if (set_.open()) {
      set_.Add(p, false);
    } else {
      // A foresight pointing outside a set stands alone like a sideshot.
      if (p.face_right && IsPresent(p.horizontal_angle)) {
        p.horizontal_angle = ReduceToTurn(p.horizontal_angle - kPi);
      }
      p.face_right = false;
      AddSinglePointing(p);
      return;
    }
  } else {
    AddSinglePointing(p);
    return;
  }
  if (p.to != 0 && p.to != state_.backsight) state_.foresight_since_setup = true;
}

double RecordReader::Zenith(std::string_view field, std::string* faults) {
  // Exactly 0 is how collectors write "no zenith".
  double written = Value(field);
  double zenith = written == 0.0 ? kNullValue : ToRadians(written);
  if (IsPresent(zenith) && (zenith < 0.0 || zenith >= kTwoPi)) {
    if (faults != nullptr) {
      AddFault(*faults, "zenith '" + std::string(field) + "' outside a full circle");
    } else {
      Warn(line_,
           "zenith angle '" + std::string(field) + "' is outside a full circle; taken as missing");
    }
    return kNullValue;
  }
  // A face-right zenith z is the face-left 2 pi - z.
  return IsPresent(zenith) && zenith > kPi ? kTwoPi - zenith : zenith;
}

void RecordReader::NoteBacksightReading(const Pointing& p, bool check_stale) {
  if (p.to == 0) return;
  if (p.to != state_.backsight) {
    state_.foresight_since_setup = true;
    return;
  }
  if (IsMissing(p.horizontal_angle)) return;
  if (!state_.foresight_since_setup) {
    // The reading measured on the backsight is the circle's true zero for
    // the setup, whatever "BC" the collector carried over.
    state_.backsight_circle = p.horizontal_angle;
    if (!data_.setups.empty() && data_.setups.back().occupied == p.from) {
      data_.setups.back().backsight_circle = p.horizontal_angle;
      data_.setups.back().circle_from_reading = true;
    }
  } else if (check_stale) {
    double difference = AngleDifference(p.horizontal_angle, state_.backsight_circle);
    if (std::fabs(difference) > kFaceToleranceAngle) {
      Warn(line_, "reading on the backsight differs from the backsight circle reading by " +
                      Seconds(difference) + "; the angles of this setup keep the circle reading");
    }
  }
}

void RecordReader::AddSinglePointing(const Pointing& pointing) {
  NoteBacksightReading(pointing, true);
  Pointing p = pointing;
  // The pointing's own horizontal angle is its circle reading; the angle
  // filed runs from the backsight.
  double horizontal_angle = kNullValue;
  double extra_azimuth = kNullValue;
  if (IsPresent(p.horizontal_angle)) {
    if (state_.backsight != 0) {
      horizontal_angle = ReduceToTurn(p.horizontal_angle - state_.backsight_circle);
    } else if (IsPresent(state_.backsight_azimuth)) {
      double azimuth =
          ReduceToTurn(state_.backsight_azimuth + p.horizontal_angle - state_.backsight_circle);
      (IsMissing(p.azimuth) ? p.azimuth : extra_azimuth) = azimuth;
    } else {
      Warn(line_, "angle right without a backsight point or backsight azimuth; not used");
    }
  }
  AddPointing(p, state_.backsight, horizontal_angle);
  if (IsPresent(extra_azimuth)) {
    Pointing azimuth_only = p;
    azimuth_only.azimuth = extra_azimuth;
    azimuth_only.zenith = azimuth_only.slope_distance = kNullValue;
    azimuth_only.horizontal_distance = azimuth_only.height_difference = kNullValue;
    AddPointing(azimuth_only, 0, kNullValue);
  }
}

void RecordReader::AddPointing(const Pointing& p, int backsight, double horizontal_angle) {
  // An angle from the backsight to itself is the reading that orients the
  // setup, not an observation.
  if (IsPresent(horizontal_angle) && p.to == backsight) horizontal_angle = kNullValue;

  ObservationRecord base;
  base.from = p.from;
  base.to = p.to;
  base.line = p.line;
  base.code = p.code;
  base.instrument_height = p.instrument_height;
  base.target_height = p.target_height;

  bool has_vertical = IsPresent(p.zenith) || IsPresent(p.slope_distance);
  if (IsPresent(horizontal_angle) || IsPresent(p.azimuth) || has_vertical) {
    ObservationRecord main = base;
    main.zenith = p.zenith;
    main.slope_distance = p.slope_distance;
    if (IsPresent(horizontal_angle)) {
      main.kind = ObservationKind::kHorizontalAngle;
      main.backsight = backsight;
      main.horizontal_angle = horizontal_angle;
    } else if (IsPresent(p.azimuth)) {
      main.kind = ObservationKind::kAzimuth;
      main.azimuth = p.azimuth;
    } else {
      main.kind = ObservationKind::kZenithDistance;
    }
    AddObservation(main);
    if (IsPresent(horizontal_angle) && IsPresent(p.azimuth)) {
      ObservationRecord azimuth = base;
      azimuth.kind = ObservationKind::kAzimuth;
      azimuth.azimuth = p.azimuth;
      AddObservation(azimuth);
    }
  }
  if (IsPresent(p.horizontal_distance)) {
    ObservationRecord distance = base;
    distance.kind = ObservationKind::kHorizontalDistance;
    distance.horizontal_distance = p.horizontal_distance;
    AddObservation(distance);
  }
  if (IsPresent(p.height_difference)) {
    ObservationRecord difference = base;
    difference.kind = ObservationKind::kHeightDifference;
    difference.height_difference = p.height_difference;
    AddObservation(difference);
  }
}

void RecordReader::AddRejectedPointing(const Pointing& pointing, const std::string& reason) {
  // Written for the record, from the backsight of the setup as a single
  // pointing would be, but never as a measurement.
  double horizontal_angle = kNullValue;
  if (IsPresent(pointing.horizontal_angle) && state_.backsight != 0) {
    const double circle =
        pointing.face_right ? pointing.horizontal_angle - kPi : pointing.horizontal_angle;
    horizontal_angle = ReduceToTurn(circle - state_.backsight_circle);
  }
  rejection_ = reason;
  AddPointing(pointing, state_.backsight, horizontal_angle);
  rejection_.clear();
}

void RecordReader::AddObservation(ObservationRecord& observation) {
  if (!rejection_.empty()) data_.observations.Detail(observation).rejected_because = rejection_;
  // Numbered in order of arrival: the index in the list is the number.
  observation.sequence = static_cast<std::int32_t>(data_.observations.size());
  data_.observations.push_back(std::move(observation));
}

}  // namespace trovisk
