// GPS vectors: antenna heights ("AH"), baselines ("BL") with the covariance
// ("CV") that follows them, and their reduction from antennas to marks.
#include <cmath>
#include <string>

#include "geodesy/ellipsoid.h"
#include "rw5/field_splitter.h"
#include "rw5/record_reader.h"

namespace trovisk {
namespace {

struct Normal {
  double x, y, z;
};

// Unit normal to the ellipsoid at geodetic latitude and longitude (radians).
Normal EllipsoidNormal(double latitude, double longitude) {
  return {std::cos(latitude) * std::cos(longitude), std::cos(latitude) * std::sin(longitude),
          std::sin(latitude)};
}

}  // namespace

void RecordReader::ReadAntennaHeight() {
  Split(4);
  std::string_view whose = fields_[0].substr(fields_[0].size() > 2 ? 2 : fields_[0].size(), 4);
  double height = Length(fields_[3]);
  if (whose == "BASE") {
    state_.base_antenna_height = height;
  } else if (whose == "ROVE") {
    state_.rover_antenna_height = height;
  } else {
    Warn(line_,
         "antenna height for '" + std::string(fields_[0]) + "', neither base nor rover; not used");
  }
}

void RecordReader::ReadVector(std::string_view code) {
  Split(10);
  ObservationRecord vector;
  vector.kind = ObservationKind::kGpsVector;
  vector.SetCode(code);
  vector.line = line_;
  vector.from = state_.base;
  ObservationDetail& terms = data_.observations.Detail(vector);
  std::string_view note;
  for (std::string_view field : fields_) {
    if (HasPrefix(field, "--")) {
      // The note ends at the next field here: quality values follow it.
      note = field.substr(2);
    } else if (HasPrefix(field, "PN")) {
      vector.to = Station(Name(field));
    } else if (HasPrefix(field, "DX")) {
      terms.dx = Length(field);
    } else if (HasPrefix(field, "DY")) {
      terms.dy = Length(field);
    } else if (HasPrefix(field, "DZ")) {
      terms.dz = Length(field);
    }
  }
  Describe(vector.to, note);
  if (vector.from == 0) Warn(line_, "GPS vector without a base point before it");
  if (vector.to == 0) Warn(line_, "GPS vector without a point name");
  if (IsMissing(terms.dx) || IsMissing(terms.dy) || IsMissing(terms.dz)) {
    Warn(line_, "GPS vector lacks a component; it cannot be adjusted");
  }
  NoteReceiverVector(vector.to);
  last_stored_point_ = vector.to;
  // Antenna heights ride along until the vectors are reduced at the end.
  vector.instrument_height = state_.base_antenna_height;
  vector.target_height = state_.rover_antenna_height;
  AddObservation(vector);
  ++vectors_read_;
  state_.pending_vector = data_.observations.size() - 1;
}

void RecordReader::ReadCovariance() {
  Split(9);
  if (state_.pending_vector == 0) {
    Warn(line_, "covariance without a GPS vector right before it; not used");
    return;
  }
  ObservationRecord& vector = data_.observations[state_.pending_vector];
  state_.pending_vector = 0;
  const double factor = DistanceUnitFactor(state_.distance_units);
  const double square = factor * factor;
  double xx = kNullValue, xy = kNullValue, xz = kNullValue;
  double yy = kNullValue, yz = kNullValue, zz = kNullValue;
  for (std::string_view field : fields_) {
    double* term = HasPrefix(field, "XX")   ? &xx
                   : HasPrefix(field, "XY") ? &xy
                   : HasPrefix(field, "XZ") ? &xz
                   : HasPrefix(field, "YY") ? &yy
                   : HasPrefix(field, "YZ") ? &yz
                   : HasPrefix(field, "ZZ") ? &zz
                                            : nullptr;
    if (term == nullptr) continue;
    double value = Value(field);
    *term = IsPresent(value) ? value / square : kNullValue;
  }
  // Packed lower triangle, row by row.
  data_.observations.Detail(vector).covariance = {xx, xy, yy, xz, yz, zz};
}

void RecordReader::ReduceVectorsToMarks() {
  if (!options_.gps_antenna_to_antenna || vectors_read_ == 0) return;
  const StationList& stations = data_.stations;
  for (std::size_t i = first_observation_; i < data_.observations.size(); ++i) {
    ObservationRecord& v = data_.observations[i];
    if (v.kind != ObservationKind::kGpsVector) continue;
    ObservationDetail& terms = data_.observations.Detail(v);
    if (IsMissing(terms.dx) || IsMissing(terms.dy) || IsMissing(terms.dz)) continue;
    double base_height = IsPresent(v.instrument_height) ? v.instrument_height : 0.0;
    double rover_height = IsPresent(v.target_height) ? v.target_height : 0.0;
    if (base_height == 0.0 && rover_height == 0.0) continue;

    // The best position known for each end: its own, else the other end's
    // moved by the vector, else the seed.
    auto geodetic = [&](int index) -> const StationRecord* {
      if (index <= 0 || static_cast<std::size_t>(index) >= stations.size()) return nullptr;
      const StationRecord& station = stations[static_cast<std::size_t>(index)];
      return station.has_geodetic ? &station : nullptr;
    };
    const StationRecord* base = geodetic(v.from);
    const StationRecord* rover = geodetic(v.to);
    double base_lat = options_.fallback_latitude, base_lon = options_.fallback_longitude;
    double rover_lat = base_lat, rover_lon = base_lon;
    double unused_height = 0.0;
    if (base) {
      base_lat = base->latitude;
      base_lon = base->longitude;
    } else if (rover) {
      OffsetGeodetic(options_.a, options_.e2, rover->latitude, rover->longitude, rover->height,
                     -terms.dx, -terms.dy, -terms.dz, base_lat, base_lon, unused_height);
    }
    if (rover) {
      rover_lat = rover->latitude;
      rover_lon = rover->longitude;
    } else if (base) {
      OffsetGeodetic(options_.a, options_.e2, base->latitude, base->longitude, base->height,
                     terms.dx, terms.dy, terms.dz, rover_lat, rover_lon, unused_height);
    }
    Normal at_base = EllipsoidNormal(base_lat, base_lon);
    Normal at_rover = EllipsoidNormal(rover_lat, rover_lon);
    // Mark to mark: the rover's mark lies below its antenna, the base's mark
    // below its own, each along the normal at that end.
    terms.dx += base_height * at_base.x - rover_height * at_rover.x;
    terms.dy += base_height * at_base.y - rover_height * at_rover.y;
    terms.dz += base_height * at_base.z - rover_height * at_rover.z;
  }
}

}  // namespace trovisk
