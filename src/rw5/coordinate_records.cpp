// Records that carry station coordinates: "OC" and "SP" (local north, east,
// elevation) and "BP" (the GPS base with its geodetic position).
#include <string>

#include "geodesy/angles.h"
#include "rw5/field_splitter.h"
#include "rw5/record_reader.h"

namespace trovisk {

void RecordReader::ReadLocalCoordinates(bool occupy) {
  Split(5);
  std::string_view name;
  std::string_view note;
  double north = kNullValue, east = kNullValue, elevation = kNullValue;
  for (std::string_view field : fields_) {
    if (HasPrefix(field, "--")) {
      note = Note(field);
      break;
    }
    if (HasPrefix(field, "OP") || HasPrefix(field, "PN")) {
      name = Name(field);
    } else if (HasPrefix(field, "EL")) {
      elevation = Length(field, 2);
    } else if (HasPrefix(field, "N")) {
      north = Length(field, 1);
    } else if (HasPrefix(field, "E")) {
      east = Length(field, 1);
    }
  }
  if (name.empty()) {
    Warn(line_, std::string(occupy ? "occupied" : "stored") + " point without a name; not used");
    return;
  }
  StationRecord station;
  station.name = std::string(name);
  station.distance_units = state_.distance_units;
  if (IsPresent(north) && IsPresent(east)) {
    station.has_nee = true;
    station.north = north;
    station.east = east;
    if (IsPresent(elevation)) {
      station.elevation = elevation;
    } else {
      station.elevation = 0.0;
      Warn(line_, "point '" + station.name + "' has no elevation; 0 used");
    }
  } else if (IsPresent(north) || IsPresent(east) || IsPresent(elevation)) {
    Warn(line_, "point '" + station.name +
                    "' lacks a north or east coordinate; its coordinates are not used");
  }
  // The first pass keeps only the stations whose coordinates the file gives.
  if (coordinates_only_ && !station.has_nee) return;
  const int index = Station(name);
  last_stored_point_ = index;
  if (station.has_nee) StoreLocal(index, station.north, station.east, station.elevation, false);
  Describe(index, note);
}

void RecordReader::ReadBasePoint() {
  // Read beyond the five fields of the format: some collectors append the
  // antenna height ("AG") and phase-centre offset ("PA") of the base.
  Split(9);
  std::string_view name;
  double latitude = kNullValue, longitude = kNullValue, height = kNullValue;
  double antenna = kNullValue, phase_offset = kNullValue;
  for (std::string_view field : fields_) {
    if (HasPrefix(field, "--")) break;
    if (HasPrefix(field, "PN")) {
      name = Name(field);
    } else if (HasPrefix(field, "LA")) {
      latitude = Value(field);
    } else if (HasPrefix(field, "LN")) {
      longitude = Value(field);
    } else if (HasPrefix(field, "EL") || HasPrefix(field, "HT")) {
      height = Value(field);  // ellipsoidal height, metres whatever the job's units
    } else if (HasPrefix(field, "AG")) {
      antenna = Value(field);
    } else if (HasPrefix(field, "PA")) {
      phase_offset = Value(field);
    }
  }
  StationRecord station;
  station.name = std::string(name);
  station.distance_units = state_.distance_units;
  // The antenna stands the entered height and its phase-centre offset above the mark.
  const double antenna_height =
      IsPresent(antenna) ? antenna + (IsPresent(phase_offset) ? phase_offset : 0.0) : kNullValue;
  if (IsPresent(latitude) && IsPresent(longitude)) {
    if (!GeodeticInRange(latitude, longitude, "base point", station.name)) {
      latitude = kNullValue;
    }
  }
  if (IsPresent(latitude) && IsPresent(longitude)) {
    station.has_geodetic = true;
    station.latitude = DmsToRadians(latitude);
    station.longitude = DmsToRadians(longitude);
    if (IsMissing(height)) {
      height = 0.0;
      Warn(line_, "base point '" + station.name + "' has no height; 0 used");
    } else if (IsPresent(antenna_height) && options_.gps_antenna_to_antenna) {
      // The height is that of the antenna; the mark lies below it.
      height -= antenna_height;
    }
    station.height = height;
  }
  if (coordinates_only_) {
    if (station.has_geodetic) {
      last_stored_point_ = Station(name);
      StoreGeodetic(last_stored_point_, station.latitude, station.longitude, station.height);
    }
    return;
  }
  if (name.empty()) Warn(line_, "base point without a name");
  state_.base = Station(name);
  last_stored_point_ = state_.base;
  if (station.has_geodetic) {
    StoreGeodetic(state_.base, station.latitude, station.longitude, station.height);
  }
  NoteBasePosition(station);
  // The vectors from this base reduce by its own antenna height.
  if (state_.base != 0 && IsPresent(antenna_height)) {
    base_antenna_heights_.insert_or_assign(state_.base, antenna_height);
  }
}

}  // namespace trovisk
