// GPS points ("GPS": a receiver's geodetic position) and the vectors that
// receivers write ("G1" vector, "G2" variances, "G3" covariances, "G4" tilt
// correction; "G0" is only their header). Receiver values are metres and
// square metres whatever the job's distance unit, like the heights of "GPS"
// and "BP" records.
#include <cmath>
#include <string>

#include "geodesy/angles.h"
#include "rw5/field_splitter.h"
#include "rw5/record_reader.h"

namespace trovisk {
namespace {

// Packed DD.MMSS bounds of a geodetic position.
constexpr double kMostPackedLatitude = 90.0;
constexpr double kMostPackedLongitude = 360.0;

// Slots of the packed lower triangle XX, XY, YY, XZ, YZ, ZZ.
constexpr std::size_t kXX = 0, kXY = 1, kYY = 2, kXZ = 3, kYZ = 4, kZZ = 5;

}  // namespace

bool RecordReader::GeodeticInRange(double latitude, double longitude, std::string_view kind,
                                   std::string_view name) {
  if (std::fabs(latitude) <= kMostPackedLatitude && std::fabs(longitude) <= kMostPackedLongitude) {
    return true;
  }
  std::string what(kind);
  what.append(" '").append(name).append(
      "' lies outside latitude -90..90 or longitude -360..360; its position is not used");
  Warn(line_, what);
  return false;
}

void RecordReader::ReadGpsPosition() {
  Split(8);
  std::string_view name;
  std::string_view note;
  double latitude = kNullValue, longitude = kNullValue, height = kNullValue;
  for (std::string_view field : fields_) {
    if (HasPrefix(field, "--")) {
      note = Note(field);
      break;
    }
    if (HasPrefix(field, "PN")) {
      name = Name(field);
    } else if (HasPrefix(field, "LA")) {
      latitude = Value(field);
    } else if (HasPrefix(field, "LN")) {
      longitude = Value(field);
    } else if (HasPrefix(field, "EL")) {
      height = Value(field);  // ellipsoidal height of the antenna, metres
    }
  }
  if (name.empty()) {
    Warn(line_, "GPS point without a name; not used");
    return;
  }
  StationRecord station;
  station.name = std::string(name);
  station.distance_units = state_.distance_units;
  // The point as the messages name it.
  auto what = [&] { return "GPS point '" + station.name + "'"; };
  if (IsMissing(latitude) || IsMissing(longitude)) {
    Warn(line_, what() + " lacks its latitude or longitude; its position is not used");
  } else if (GeodeticInRange(latitude, longitude, "GPS point", station.name)) {
    station.has_geodetic = true;
    station.latitude = DmsToRadians(latitude);
    station.longitude = DmsToRadians(longitude);
    if (IsMissing(height)) {
      height = 0.0;
      Warn(line_, what() + " has no height; 0 used");
    } else if (options_.gps_antenna_to_antenna) {
      if (IsPresent(state_.rover_height)) {
        // The mark lies the rover antenna height below the antenna.
        height -= ToMetres(state_.rover_height);
      } else if (!state_.rover_height_warned) {
        state_.rover_height_warned = true;
        Warn(line_, "no rover antenna height ('LS' 'HR') before " + what() +
                        "; the heights of GPS points are those of their antennas");
      }
    }
    station.height = height;
  }
  // The first pass keeps only the stations whose coordinates the file gives.
  if (coordinates_only_ && !station.has_geodetic) return;
  const int index = Station(name);
  last_stored_point_ = index;
  if (station.has_geodetic) {
    StoreGeodetic(index, station.latitude, station.longitude, station.height);
    if (!coordinates_only_) OpenPositionVector(index, station);
  }
  Describe(index, note);
}

void RecordReader::ReadReceiverVector(std::string_view code) {
  Split(6);
  ObservationRecord vector;
  vector.kind = ObservationKind::kGpsVector;
  vector.SetCode(code);
  vector.line = line_;
  vector.from = state_.base;
  ObservationDetail& terms = data_.observations.Detail(vector);
  for (std::string_view field : fields_) {
    if (HasPrefix(field, "BP")) {
      std::string_view base = Name(field);
      if (!base.empty()) vector.from = Station(base);
    } else if (HasPrefix(field, "PN")) {
      vector.to = Station(Name(field));
    } else if (HasPrefix(field, "DX")) {
      terms.dx = Value(field);
    } else if (HasPrefix(field, "DY")) {
      terms.dy = Value(field);
    } else if (HasPrefix(field, "DZ")) {
      terms.dz = Value(field);
    }
  }
  if (vector.from == 0) Warn(line_, "GPS vector without a base point");
  if (vector.to == 0) Warn(line_, "GPS vector without a point name");
  if (IsMissing(terms.dx) || IsMissing(terms.dy) || IsMissing(terms.dz)) {
    Warn(line_, "GPS vector lacks a component; it cannot be adjusted");
  }
  // Antenna heights ride along until the vectors are reduced at the end: the
  // base's from its own record, the rover's the current one.
  auto base_height = base_antenna_heights_.find(vector.from);
  vector.instrument_height =
      base_height != base_antenna_heights_.end() ? base_height->second : state_.base_antenna_height;
  vector.target_height =
      IsPresent(state_.rover_height) ? ToMetres(state_.rover_height) : state_.rover_antenna_height;
  NoteReceiverVector(vector.to);
  last_stored_point_ = vector.to;
  AddObservation(vector);
  ++vectors_read_;
  state_.pending_vector = data_.observations.size() - 1;
}

ObservationRecord* RecordReader::PendingVector(std::string_view code) {
  if (state_.pending_vector == 0) {
    std::string what(code);
    what += " record without a GPS vector right before it; not used";
    Warn(line_, what);
    return nullptr;
  }
  return &data_.observations[state_.pending_vector];
}

void RecordReader::ReadReceiverCovariance(std::string_view code) {
  Split(6);
  ObservationRecord* vector = PendingVector(code);
  if (vector == nullptr) return;
  for (std::string_view field : fields_) {
    std::size_t term = HasPrefix(field, "VX")   ? kXX
                       : HasPrefix(field, "VY") ? kYY
                       : HasPrefix(field, "VZ") ? kZZ
                       : HasPrefix(field, "XY") ? kXY
                       : HasPrefix(field, "XZ") ? kXZ
                       : HasPrefix(field, "YZ") ? kYZ
                                                : kZZ + 1;
    if (term <= kZZ) data_.observations.Detail(*vector).covariance[term] = Value(field);
  }
}

void RecordReader::ReadTiltCorrection() {
  Split(6);
  ObservationRecord* vector = PendingVector("G4");
  if (vector == nullptr) return;
  ObservationDetail& terms = data_.observations.Detail(*vector);
  for (std::string_view field : fields_) {
    double* component = HasPrefix(field, "DX")   ? &terms.dx
                        : HasPrefix(field, "DY") ? &terms.dy
                        : HasPrefix(field, "DZ") ? &terms.dz
                                                 : nullptr;
    if (component == nullptr) continue;
    double offset = Value(field);
    if (IsPresent(offset) && IsPresent(*component)) *component += offset;
  }
}

}  // namespace trovisk
