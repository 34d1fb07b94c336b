// Seed-station lookup in the station list.
#include "rw5/seed_lookup.h"

#include "base/show_message.h"

namespace trovisk {

bool LookUpSeedStation(const StationList& stations, const std::string& name,
                       const std::string& input_file_name, UserInterface& ui,
                       SeedCoordinates& out) {
  const int index = stations.Find(name);
  if (index == 0) {
    ShowMessage(ui, kMsgStationNotFound, Buttons::kOk, {name, input_file_name});
    return false;
  }
  const StationRecord& station = stations[static_cast<std::size_t>(index)];
  if (station.has_nee) {
    out.has_nee = true;
    out.north = station.north;
    out.east = station.east;
    out.elevation = station.elevation;
  }
  if (station.has_geodetic) {
    out.has_geodetic = true;
    out.latitude = station.latitude;
    out.longitude = station.longitude;
    out.height = station.height;
  }
  return true;
}

}  // namespace trovisk
