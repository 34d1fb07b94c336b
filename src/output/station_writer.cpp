// Station records and merged-station names.
#include "output/station_writer.h"

#include "convert/status.h"
#include "geodesy/angles.h"
#include "geodesy/constants.h"
#include "output/header_writer.h"

namespace trovisk {
namespace {

const std::string kNoName;

// Decimals of the station fields.
constexpr int kLengthDecimals = 5;
constexpr int kPackedAngleDecimals = 9;

void AppendField(OutputBuffer& out, char delimiter) {
  out.Append(delimiter);
  out.Append(' ');
}

// A station stands for itself when no merge link leads away from it. A link
// that points nowhere (outside the list) is no merge either, so such a station
// is written and observations keep its name.
bool StandsForItself(const StationList& stations, std::size_t index) {
  return stations.Resolve(static_cast<int>(index)) == static_cast<int>(index);
}

}  // namespace

void AppendOneStation(OutputBuffer& out, bool write_geodetic, bool write_local,
                      bool local_nee_system, char delimiter, std::string_view name, double north,
                      double east, double elevation, double latitude, double longitude,
                      double height, std::string_view description) {
  // Written up to three times below.
  RepeatedNumber elevation_text(kLengthDecimals);
  if (write_geodetic) {
    out.Append("$GEO_COMPACT");
    AppendField(out, delimiter);
    out.AppendText(name);
    AppendField(out, delimiter);
    out.AppendPackedAngle(RadiansToDms(latitude), kPackedAngleDecimals);
    AppendField(out, delimiter);
    out.Append("0.0");
    AppendField(out, delimiter);
    out.AppendPackedAngle(RadiansToDms(longitude), kPackedAngleDecimals);
    AppendField(out, delimiter);
    out.Append("0.0");
    AppendField(out, delimiter);
    out.AppendFixed(elevation_text, elevation);
    AppendField(out, delimiter);
    out.Append("0.0");
    AppendField(out, delimiter);
    // The geoid separation implied by the two heights.
    out.AppendFixed(height - elevation, kLengthDecimals);
    AppendField(out, delimiter);
    out.Append("0.0");
    AppendField(out, delimiter);
    out.AppendFixed(height, kLengthDecimals);
    for (int i = 0; i < 4; ++i) {
      AppendField(out, delimiter);
      out.Append("0.0");
    }
    out.Append('\n');
  }
  if (write_local) {
    out.Append(local_nee_system ? "$LOCAL_NEUE_COMPACT" : "$STATE_ELEV_COMPACT");
    AppendField(out, delimiter);
    out.AppendText(name);
    AppendField(out, delimiter);
    out.AppendFixed(north, kLengthDecimals);
    AppendField(out, delimiter);
    out.AppendFixed(east, kLengthDecimals);
    AppendField(out, delimiter);
    out.AppendFixed(elevation_text, elevation);
    if (local_nee_system) {
      // The local system's up component is the elevation itself.
      AppendField(out, delimiter);
      out.AppendFixed(elevation_text, elevation);
    }
    out.Append('\n');
  }
  if (description.empty()) {
    out.Append('\n');
    return;
  }
  out.Append("$STA_DESC");
  AppendField(out, delimiter);
  out.AppendText(name);
  AppendField(out, delimiter);
  out.AppendText(description);
  out.Append("\n\n");
}

void WriteOneStation(std::ostream& out, bool write_geodetic, bool write_local,
                     bool local_nee_system, char delimiter, std::string_view name, double north,
                     double east, double elevation, double latitude, double longitude,
                     double height, std::string_view description, int& status) {
  status = kStatusOk;
  OutputBuffer buffer(out);
  AppendOneStation(buffer, write_geodetic, write_local, local_nee_system, delimiter, name, north,
                   east, elevation, latitude, longitude, height, description);
  if (!buffer.Flush()) status = kStatusWriteError;
}

void WriteStations(std::ostream& out, const StationList& stations, bool write_geodetic,
                   bool write_local, bool local_nee_system, int& status) {
  status = kStatusOk;
  OutputBuffer buffer(out);
  buffer.Append("\n\n\n");
  int written_unit = -1;
  for (std::size_t i = 1; i < stations.size(); ++i) {
    if (!StandsForItself(stations, i)) continue;
    const StationRecord& station = stations[i];
    if ((write_geodetic || write_local) && station.distance_units != written_unit) {
      AppendUnitsBlock(buffer, station.distance_units, 0);
      written_unit = station.distance_units;
    }
    // A pass with both flags clear writes no lengths; its factor is that of
    // code -1, which is 1.0.
    double factor = DistanceUnitFactor(written_unit);
    AppendOneStation(buffer, write_geodetic, write_local, local_nee_system, ';', station.name,
                     station.north * factor, station.east * factor, station.elevation * factor,
                     station.latitude, station.longitude, station.height * factor,
                     station.description);
    if (!buffer.FlushIfFull()) {
      status = kStatusWriteError;
      return;
    }
  }
  if (!buffer.Flush()) status = kStatusWriteError;
}

int ResolveStationName(const StationList& stations, std::string_view name, std::string& out) {
  int index = stations.Find(name);
  if (index <= 0) {
    out.assign(name);
    return kNameNotFound;
  }
  int survivor = stations.Resolve(index);
  out = stations[static_cast<std::size_t>(survivor)].name;
  return survivor == index ? kNameOwn : kNameOfMergeSurvivor;
}

const std::string& ResolvedStationName(const StationList& stations, int index) {
  int survivor = stations.Resolve(index);
  if (survivor <= 0 || static_cast<std::size_t>(survivor) >= stations.size()) return kNoName;
  return stations[static_cast<std::size_t>(survivor)].name;
}

}  // namespace trovisk
