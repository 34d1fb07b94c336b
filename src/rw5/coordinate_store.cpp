// The coordinates a point ends up with: those the collector stored last.
// Records store a point again when it is re-shot, re-averaged or occupied
// with the collector's own values, and "--Deleted Point ID(s):" takes it
// out of the coordinate file; each set (north, east, elevation; geodetic)
// keeps the last store, and a store that moves the point beyond the
// tolerance is reported with the lines of both.
#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "geodesy/ellipsoid.h"
#include "geodesy/unit_text.h"
#include "rw5/field_splitter.h"
#include "rw5/record_reader.h"

namespace trovisk {
namespace {

// "line 11", "lines 11 and 13", "lines 11 to 57 (5 records)".
std::string LinesText(int first, int last, int records) {
  if (records <= 1) return "line " + std::to_string(first);
  if (records == 2) return "lines " + std::to_string(first) + " and " + std::to_string(last);
  return "lines " + std::to_string(first) + " to " + std::to_string(last) + " (" +
         std::to_string(records) + " records)";
}

std::string Quoted(std::string_view name) {
  std::string quoted = "'";
  quoted.append(name);
  quoted += '\'';
  return quoted;
}

bool SameValues(const double (&a)[3], double first, double second, double third) {
  return a[0] == first && a[1] == second && a[2] == third;
}

}  // namespace

void RecordReader::StoreLocal(int station, double north, double east, double elevation,
                              bool from_note) {
  if (station <= 0) return;
  StationRecord& record = data_.stations[static_cast<std::size_t>(station)];
  record.north = north;
  record.east = east;
  record.elevation = elevation;
  record.has_nee = true;
  record.nee_from_grid_note = from_note && record.has_geodetic;
  if (coordinates_only_) return;

  StationStores& stores = stores_[station];
  StoredSet& stored = stores.local;
  const double values[3] = {north, east, elevation};
  if (stored.present && SameValues(values, stored.first, stored.second, stored.third)) {
    stored.last_line = line_;
    ++stored.records;
    stored.from_note = from_note;
    return;
  }
  if (stored.present) {
    const double across = std::hypot(north - stored.first, east - stored.second);
    const double height = std::fabs(elevation - stored.third);
    if (across > options_.tolerance || height > options_.tolerance) {
      std::string what = Quoted(record.name.view());
      what += " stored here lies " + LengthText(across, state_.distance_units) + " across and " +
              LengthText(height, state_.distance_units) +
              " in height from its north, east and elevation of " +
              LinesText(stored.first_line, stored.last_line, stored.records);
      if (stores.deleted_line > stored.last_line) {
        what += ", deleted on line " + std::to_string(stores.deleted_line);
      }
      Warn(line_, what + "; the later ones are used");
    }
  }
  stored = {true, north, east, elevation, line_, line_, 1, from_note};
}

void RecordReader::StoreGeodetic(int station, double latitude, double longitude, double height) {
  if (station <= 0) return;
  StationRecord& record = data_.stations[static_cast<std::size_t>(station)];
  record.latitude = latitude;
  record.longitude = longitude;
  record.height = height;
  record.has_geodetic = true;
  record.nee_from_grid_note = false;  // until a grid note follows
  if (coordinates_only_) return;

  StationStores& stores = stores_[station];
  StoredSet& stored = stores.geodetic;
  const double values[3] = {latitude, longitude, height};
  if (stored.present && SameValues(values, stored.first, stored.second, stored.third)) {
    stored.last_line = line_;
    ++stored.records;
    return;
  }
  if (stored.present) {
    double east = 0.0, east_back = 0.0, north = 0.0, north_back = 0.0, up = 0.0, up_back = 0.0;
    MutualLocalOffsets(options_.a, options_.e2, stored.first, stored.second, stored.third, latitude,
                       longitude, height, east, east_back, north, north_back, up, up_back);
    const double across = std::hypot(east, north);
    const double rise = std::fabs(up);
    if (across > options_.tolerance || rise > options_.tolerance) {
      std::string what = Quoted(record.name.view());
      what += " stored here lies " + LengthText(across, state_.distance_units) + " across and " +
              LengthText(rise, state_.distance_units) +
              " in height from its geodetic position of " +
              LinesText(stored.first_line, stored.last_line, stored.records);
      if (stores.deleted_line > stored.last_line) {
        what += ", deleted on line " + std::to_string(stores.deleted_line);
      }
      Warn(line_, what + "; the later one is used");
    }
  }
  stored = {true, latitude, longitude, height, line_, line_, 1, false};
}

void RecordReader::ReadDeletedPoints(std::string_view note) {
  // "--Deleted Point ID(s): 5389 6000 from the coordinate file on DT... at TM...";
  // the names may also be separated by commas.
  std::string_view names = note.substr(note.find(':') + 1);
  const std::size_t from = names.find(" from the coordinate file");
  if (from != std::string_view::npos) names = names.substr(0, from);
  while (!names.empty()) {
    const std::size_t start = names.find_first_not_of(" ,\t");
    if (start == std::string_view::npos) break;
    names = names.substr(start);
    const std::size_t end = names.find_first_of(" ,\t");
    const std::string_view name = names.substr(0, end);
    names = end == std::string_view::npos ? std::string_view() : names.substr(end);
    const int station = data_.stations.Find(name);
    if (station == 0) continue;
    StationRecord& record = data_.stations[static_cast<std::size_t>(station)];
    record.has_nee = false;
    record.has_geodetic = false;
    record.nee_from_grid_note = false;
    data_.stations.SetDescription(static_cast<std::size_t>(station), {});
    if (!coordinates_only_) stores_[station].deleted_line = line_;
  }
}

void RecordReader::ReportStores() {
  // Points deleted and never stored again, in the order of their deletion;
  // and one warning for all the stations whose grid coordinates came from
  // notes: a GNSS job has such a note after every point, and a warning each
  // would bury the others.
  std::vector<std::pair<int, int>> deleted;  // line, station
  std::size_t from_notes = 0;
  int first_station = 0;
  for (const auto& [station, stores] : stores_) {
    const StationRecord& record = data_.stations[static_cast<std::size_t>(station)];
    if (stores.deleted_line != 0 && !record.has_nee && !record.has_geodetic) {
      deleted.emplace_back(stores.deleted_line, station);
    }
    if (record.has_nee && stores.local.present && stores.local.from_note) {
      ++from_notes;
      if (first_station == 0 || station < first_station) first_station = station;
    }
  }
  std::sort(deleted.begin(), deleted.end());
  for (const auto& [line, station] : deleted) {
    Warn(line, Quoted(data_.stations[static_cast<std::size_t>(station)].name.view()) +
                   " was deleted here and not stored again; it has no coordinates from the file");
  }
  if (from_notes == 0) return;
  const int first_line = stores_.at(first_station).local.last_line;
  const std::string first_name =
      Quoted(data_.stations[static_cast<std::size_t>(first_station)].name.view());
  if (from_notes == 1) {
    Warn(first_line, "north, east and elevation of " + first_name +
                         " taken from the note on line " + std::to_string(first_line));
  } else {
    Warn(first_line, "north, east and elevation of " + std::to_string(from_notes) +
                         " stations taken from their notes, the first " + first_name + " on line " +
                         std::to_string(first_line));
  }
}

}  // namespace trovisk
