// Vectors from receiver positions: an RTK rover stores each point as a
// position ("GPS") worked from the base in force ("BP"), often without the
// vector itself. The vector the adjustment needs is the difference of the
// two marks' earth-centred positions; its covariance comes from the point's
// "--HRMS:…, VRMS:…" note. A receiver vector ("G1", "BL") to the same point
// replaces it, so that nothing is counted twice.
#include <cmath>
#include <string>

#include "geodesy/ellipsoid.h"
#include "geodesy/horizon_covariance.h"
#include "rw5/field_splitter.h"
#include "rw5/record_reader.h"

namespace trovisk {
namespace {

// The number after `label` in a note ("--HRMS:0.046, VRMS:0.044, ..."), or
// missing when the label is absent or no number follows it.
double NoteNumber(std::string_view note, std::string_view label) {
  const std::size_t at = note.find(label);
  if (at == std::string_view::npos) return kNullValue;
  std::string_view rest = note.substr(at + label.size());
  rest = rest.substr(0, rest.find(','));
  bool non_finite = false;
  const double value = ReadValue(rest, non_finite);
  return non_finite || IsMissing(value) || !(value > 0.0) ? kNullValue : value;
}

}  // namespace

void RecordReader::NoteBasePosition(const StationRecord& base) {
  // A base given without a position stands on a point stored before.
  const StationRecord* position = base.has_geodetic ? &base : nullptr;
  StationRecord stored;
  if (position == nullptr && state_.base != 0) {
    auto found = stores_.find(state_.base);
    if (found != stores_.end() && found->second.geodetic.present &&
        data_.stations[static_cast<std::size_t>(state_.base)].has_geodetic) {
      const StoredSet& set = found->second.geodetic;
      stored.latitude = set.first;
      stored.longitude = set.second;
      stored.height = set.third;
      position = &stored;
    }
  }
  if (state_.base != 0) bases_.push_back(state_.base);
  base_known_ = position != nullptr;
  if (base_known_) {
    GeodeticToEcef(options_.a, options_.e2, position->latitude, position->longitude,
                   position->height, base_x_, base_y_, base_z_);
  }
}

void RecordReader::OpenPositionVector(int point, const StationRecord& mark) {
  ClosePositionVector();
  if (point == state_.base) return;  // the base itself
  if (state_.base == 0 || !base_known_) {
    points_without_base_.emplace_back(point, line_);
    return;
  }
  PositionVector& vector = position_vector_;
  vector = PositionVector{};
  vector.open = true;
  vector.point = point;
  vector.base = state_.base;
  vector.line = line_;
  vector.latitude = mark.latitude;
  vector.longitude = mark.longitude;
  double x = 0.0, y = 0.0, z = 0.0;
  GeodeticToEcef(options_.a, options_.e2, mark.latitude, mark.longitude, mark.height, x, y, z);
  vector.dx = x - base_x_;
  vector.dy = y - base_y_;
  vector.dz = z - base_z_;
}

void RecordReader::ReadAccuracyNote(std::string_view note) {
  if (!position_vector_.open) return;
  position_vector_.horizontal_rms = NoteNumber(note, "HRMS:");
  position_vector_.vertical_rms = NoteNumber(note, "VRMS:");
}

void RecordReader::NoteReceiverVector(int point) {
  if (position_vector_.open && point == position_vector_.point) position_vector_.replaced = true;
}

void RecordReader::ClosePositionVector() {
  PositionVector& open = position_vector_;
  if (!open.open) return;
  open.open = false;
  if (open.replaced) return;
  ObservationRecord vector;
  vector.kind = ObservationKind::kGpsVector;
  vector.SetCode("GPS");
  vector.line = open.line;
  vector.from = open.base;
  vector.to = open.point;
  ObservationDetail& terms = data_.observations.Detail(vector);
  terms.dx = open.dx;
  terms.dy = open.dy;
  terms.dz = open.dz;
  if (IsPresent(open.horizontal_rms) && IsPresent(open.vertical_rms)) {
    // HRMS is the horizontal root-mean-square error, the root of the sum of
    // the north and east variances: each axis takes half its square.
    const double axis = open.horizontal_rms / std::sqrt(2.0);
    terms.covariance =
        HorizonToEcefCovariance(open.latitude, open.longitude, axis, axis, open.vertical_rms);
  }
  // The marks' positions already stand below their antennas: the vector is
  // mark to mark and carries no antenna height to reduce by.
  AddObservation(vector);
}

void RecordReader::ReportPointsWithoutBase() {
  const StationList& stations = data_.stations;
  // The earth-centred position of a station, when it has one.
  auto ecef = [&](int index, double(&xyz)[3]) {
    const StationRecord& station = stations[static_cast<std::size_t>(index)];
    if (!station.has_geodetic) return false;
    GeodeticToEcef(options_.a, options_.e2, station.latitude, station.longitude, station.height,
                   xyz[0], xyz[1], xyz[2]);
    return true;
  };
  std::size_t count = 0;
  int first = 0, first_line = 0;
  for (const auto& [point, line] : points_without_base_) {
    double at[3];
    bool is_a_base = false;
    for (int base : bases_) {
      double base_at[3];
      if (base == point || (ecef(point, at) && ecef(base, base_at) &&
                            std::hypot(at[0] - base_at[0], at[1] - base_at[1],
                                       at[2] - base_at[2]) <= options_.tolerance)) {
        is_a_base = true;
        break;
      }
    }
    if (is_a_base) continue;
    if (count++ == 0) {
      first = point;
      first_line = line;
    }
  }
  if (count == 0) return;
  const std::string name(stations[static_cast<std::size_t>(first)].name.view());
  Warn(first_line, count == 1 ? "GPS point '" + name +
                                    "' has no base position before it; no vector is made for it"
                              : std::to_string(count) + " GPS points, the first '" + name +
                                    "', have no base position before them; no vector is made "
                                    "for them");
}

}  // namespace trovisk
