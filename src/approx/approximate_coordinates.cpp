// The approximate-coordinates step: seed, propagation, the carry between the
// local and geodetic systems, and the count of stations left out.
#include "approx/approximate_coordinates.h"

#include <cmath>

#include "approx/propagation.h"
#include "base/show_message.h"
#include "geodesy/angles.h"
#include "geodesy/local_frame.h"
#include "geodesy/unit_text.h"

namespace trovisk {
namespace {

struct Seed {
  double latitude = 0.0;  // radians
  double longitude = 0.0;
  double height = 0.0;  // metres
  double north = 0.0;
  double east = 0.0;
  double elevation = 0.0;
  bool anchored_on_file = false;  // north, east and elevation from the file
  bool geodetic_on_file = false;
};

// Entered seed values further apart than this on the grid are reported (metres).
constexpr double kSeedDisagreement = 0.05;

// A file value replaces the entered one without asking when the user did not
// enter that set (its fields are disabled then), or when prompts are off.
bool UseFileValues(UserInterface& ui, bool asked_for, bool allow_prompts, int message_id,
                   const std::string& seed_name) {
  if (!allow_prompts || !asked_for) return true;
  return ShowMessage(ui, message_id, Buttons::kYesNo, {seed_name}) == Answer::kYes;
}

Seed ChooseSeed(const ApproximateInputs& inputs, UserInterface& ui) {
  double factor =
      std::isfinite(inputs.unit_factor) && inputs.unit_factor > 0.0 ? inputs.unit_factor : 1.0;
  Seed seed;
  seed.latitude = DmsToRadians(inputs.seed_latitude_dms);
  seed.longitude = DmsToRadians(inputs.seed_longitude_dms);
  seed.height = inputs.seed_height / factor;
  seed.north = inputs.seed_north / factor;
  seed.east = inputs.seed_east / factor;
  seed.elevation = inputs.seed_elevation / factor;
  if (inputs.file_has_nee &&
      UseFileValues(ui, inputs.do_nee, inputs.allow_prompts, kMsgUseFileNee, inputs.seed_name)) {
    seed.north = inputs.file_north;
    seed.east = inputs.file_east;
    seed.elevation = inputs.file_elevation;
    seed.anchored_on_file = true;
  }
  if (inputs.file_has_geodetic && UseFileValues(ui, inputs.do_geodetic, inputs.allow_prompts,
                                                kMsgUseFileGeodetic, inputs.seed_name)) {
    seed.latitude = inputs.file_latitude;
    seed.longitude = inputs.file_longitude;
    seed.height = inputs.file_height;
    seed.geodetic_on_file = true;
  }
  return seed;
}

// On a known grid the seed's two positions are one point: the file's values
// win over entered ones, and of two entered sets the north and east, which
// the job's coordinates are on. The heights differ by the geoid separation
// where the file gives it near the seed.
void PlaceSeedOnGrid(Seed& seed, const ApproximateInputs& inputs, UserInterface& ui) {
  const GridProjection& grid = *inputs.grid;
  double north = 0.0;
  double east = 0.0;
  GridForward(grid, seed.latitude, seed.longitude, east, north);
  const double apart = std::hypot(north - seed.north, east - seed.east);
  // Both sets entered, or both from the file, and they disagree.
  const bool both_entered =
      !seed.anchored_on_file && !seed.geodetic_on_file && inputs.do_geodetic && inputs.do_nee;
  const bool geodetic_wins = seed.geodetic_on_file && !seed.anchored_on_file;
  const std::string seed_text = "the seed '" + inputs.seed_name + "': ";
  if (geodetic_wins || (!seed.anchored_on_file && inputs.do_geodetic && !inputs.do_nee)) {
    if (geodetic_wins && inputs.do_nee && apart > kSeedDisagreement) {
      ui.Warn(seed_text + "the north and east entered lie " +
              LengthText(apart, inputs.distance_unit_code) +
              " from its position in the file on the grid; the file's position is used");
    }
    seed.north = north;
    seed.east = east;
  } else {
    if (both_entered && apart > kSeedDisagreement) {
      ui.Warn(seed_text + "its latitude and longitude lie " +
              LengthText(apart, inputs.distance_unit_code) +
              " from its north and east on the grid; the latitude and longitude are taken from "
              "the north and east");
    }
    if (!seed.geodetic_on_file) {
      GridReverse(grid, seed.east, seed.north, seed.latitude, seed.longitude);
    }
  }
  double separation = 0.0;
  if (inputs.separations == nullptr ||
      !inputs.separations->At(seed.latitude, seed.longitude, separation)) {
    return;
  }
  if (seed.geodetic_on_file && !seed.anchored_on_file) seed.elevation = seed.height - separation;
  if (!seed.geodetic_on_file) seed.height = seed.elevation + separation;
}

// The seed station stands where the chosen seed values put it, in both systems.
int PlaceSeedStation(StationList& stations, const std::string& name, const Seed& seed) {
  int index = stations.Find(name);
  if (index <= 0) return 0;
  index = stations.Resolve(index);
  StationRecord& station = stations[static_cast<std::size_t>(index)];
  station.north = seed.north;
  station.east = seed.east;
  station.elevation = seed.elevation;
  station.has_nee = true;
  station.latitude = seed.latitude;
  station.longitude = seed.longitude;
  station.height = seed.height;
  station.has_geodetic = true;
  return index;
}

bool AllFinite(double a, double b, double c) {
  return std::isfinite(a) && std::isfinite(b) && std::isfinite(c);
}

}  // namespace

int ComputeApproximateCoordinates(SurveyData& data, const ApproximateInputs& inputs,
                                  UserInterface& ui, StationReport* report) {
  Seed seed = ChooseSeed(inputs, ui);
  const bool on_grid = inputs.grid != nullptr && !inputs.local_nee_system;
  if (on_grid) PlaceSeedOnGrid(seed, inputs, ui);
  StationList& stations = data.stations;
  if (report != nullptr) {
    // Stations that arrive with coordinates keep them; everything else is
    // filled in by the propagation.
    report->entries.assign(stations.size(), StationReportEntry{});
    report->seed_name = inputs.seed_name;
    report->anchored_on_file = seed.anchored_on_file;
    for (std::size_t s = 1; s < stations.size(); ++s) {
      if (stations[s].has_nee || stations[s].has_geodetic) {
        report->entries[s].position.source = report->entries[s].elevation.source =
            CoordinateSource::kFile;
      }
    }
  }
  int seed_index = PlaceSeedStation(stations, inputs.seed_name, seed);
  if (report != nullptr && seed_index > 0) {
    StationReportEntry& entry = report->entries[static_cast<std::size_t>(seed_index)];
    entry.position.source = entry.elevation.source = CoordinateSource::kSeed;
  }

  LocalFrame frame = MakeLocalFrame(inputs.a, inputs.e2, seed.latitude, seed.longitude, seed.height,
                                    seed.north, seed.east, seed.elevation);
  if (on_grid) {
    frame.grid = inputs.grid;
    frame.separations = inputs.separations;
    frame.seed_separation = seed.height - seed.elevation;
  }
  PropagateCoordinates(data, frame, report);

  // Local to geodetic for every station the propagation left with local values only.
  bool changed = false;
  for (std::size_t s = 1; s < stations.size(); ++s) {
    StationRecord& station = stations[s];
    if (!station.has_nee || station.has_geodetic) continue;
    double latitude = 0.0;
    double longitude = 0.0;
    double height = 0.0;
    LocalToGeodetic(frame, station.north, station.east, station.elevation, latitude, longitude,
                    height);
    if (!AllFinite(latitude, longitude, height)) continue;  // absurd local values
    station.latitude = latitude;
    station.longitude = longitude;
    station.height = height;
    station.has_geodetic = true;
    if (report != nullptr) report->entries[s].geodetic_from_local = true;
    changed = changed || station.merge_link == kNotMerged;
  }

  // The propagation already carried every station it knows between the two
  // systems, so a second pass could only find more when the carry above gave
  // a station that stands for itself new values.
  if (changed) PropagateCoordinates(data, frame, report);

  // Geodetic to local, keeping the file's own local values when the local
  // system is anchored on them; and the count of stations left out. Stations
  // merged into another are not written, so they are not counted.
  int uncomputed = 0;
  for (std::size_t s = 1; s < stations.size(); ++s) {
    StationRecord& station = stations[s];
    if (!station.has_geodetic) {
      if (station.merge_link == kNotMerged) ++uncomputed;
      continue;
    }
    // On a known grid the file's own values are on it too, and stay.
    if (station.has_nee && (seed.anchored_on_file || on_grid)) continue;
    bool had_local = station.has_nee;
    double north = 0.0;
    double east = 0.0;
    double elevation = 0.0;
    GeodeticToLocal(frame, station.latitude, station.longitude, station.height, north, east,
                    elevation);
    if (!AllFinite(north, east, elevation)) continue;  // absurd geodetic values
    station.north = north;
    station.east = east;
    station.elevation = elevation;
    station.has_nee = true;
    // A file station whose own local values were replaced says so; for the
    // others this only repeats values carried the other way.
    if (report != nullptr && had_local) {
      StationReportEntry& entry = report->entries[s];
      if (entry.position.source == CoordinateSource::kFile && !entry.geodetic_from_local) {
        entry.local_from_geodetic = true;
      }
    }
  }
  if (report != nullptr) report->uncomputed_count = uncomputed;
  return uncomputed;
}

}  // namespace trovisk
