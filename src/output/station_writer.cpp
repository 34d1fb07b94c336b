// Station records and merged-station names.
#include "output/station_writer.h"

#include "base/status.h"
#include "geodesy/angles.h"
#include "geodesy/constants.h"
#include "output/header_writer.h"
#include "output/output_buffer.h"

namespace trovisk {
namespace {

// Decimals of the station fields.
constexpr int kLengthDecimals = 5;
constexpr int kPackedAngleDecimals = 9;

// A station stands for itself when no merge link leads away from it. A link
// that points nowhere (outside the list) is no merge either, so such a station
// is written and observations keep its name.
bool StandsForItself(const StationList& stations, std::size_t index) {
  return stations.Resolve(static_cast<int>(index)) == static_cast<int>(index);
}

// "$GEO_COMPACT": latitude, longitude, elevation, the geoid separation the
// two heights imply and the height, each with a zero standard deviation;
// lengths times `factor`, the output unit per metre.
void AppendGeodeticRecord(OutputBuffer& out, const StationRecord& station, double factor) {
  const double elevation = station.elevation * factor;
  const double height = station.height * factor;
  out.Append("$GEO_COMPACT; ");
  out.AppendText(station.name);
  out.Append("; ");
  out.AppendPackedAngle(RadiansToDms(station.latitude), kPackedAngleDecimals);
  out.Append("; 0.0; ");
  out.AppendPackedAngle(RadiansToDms(station.longitude), kPackedAngleDecimals);
  out.Append("; 0.0; ");
  out.AppendFixed(elevation, kLengthDecimals);
  out.Append("; 0.0; ");
  out.AppendFixed(height - elevation, kLengthDecimals);
  out.Append("; 0.0; ");
  out.AppendFixed(height, kLengthDecimals);
  out.Append("; 0.0; 0.0; 0.0; 0.0\n");
}

// "$LOCAL_NEUE_COMPACT" (north, east, up, elevation) in a local system, else
// "$STATE_ELEV_COMPACT" (north, east, elevation); lengths times `factor`.
void AppendLocalRecord(OutputBuffer& out, const StationRecord& station, double factor,
                       bool local_nee_system) {
  out.Append(local_nee_system ? "$LOCAL_NEUE_COMPACT; " : "$STATE_ELEV_COMPACT; ");
  out.AppendText(station.name);
  out.Append("; ");
  out.AppendFixed(station.north * factor, kLengthDecimals);
  out.Append("; ");
  out.AppendFixed(station.east * factor, kLengthDecimals);
  out.Append("; ");
  out.AppendFixed(station.elevation * factor, kLengthDecimals);
  if (local_nee_system) {
    // The local system's up component is the elevation itself.
    out.Append("; ");
    out.AppendFixed(station.elevation * factor, kLengthDecimals);
  }
  out.Append('\n');
}

// "$STA_DESC" with the station's description.
void AppendDescriptionRecord(OutputBuffer& out, const StationRecord& station,
                             std::string_view description) {
  out.Append("$STA_DESC; ");
  out.AppendText(station.name);
  out.Append("; ");
  out.AppendText(description);
  out.Append('\n');
}

}  // namespace

void WriteStations(std::ostream& stream, const StationList& stations, bool write_geodetic,
                   bool write_local, bool local_nee_system, Status& status) {
  status = Status::kOk;
  OutputBuffer out(stream);
  out.Append("\n\n\n");
  const bool with_units = write_geodetic || write_local;
  int written_unit = -1;
  double factor = 1.0;
  for (std::size_t i = 1; i < stations.size(); ++i) {
    if (!StandsForItself(stations, i)) continue;
    const StationRecord& station = stations[i];
    if (with_units && station.distance_units != written_unit) {
      written_unit = station.distance_units;
      factor = DistanceUnitFactor(written_unit);
      AppendUnitsBlock(out, written_unit, 0);
    }
    if (write_geodetic) AppendGeodeticRecord(out, station, factor);
    if (write_local) AppendLocalRecord(out, station, factor, local_nee_system);
    const std::string_view description = stations.Description(i);
    if (!description.empty()) AppendDescriptionRecord(out, station, description);
    // A blank line closes the station's records.
    out.Append('\n');
    if (!out.FlushIfFull()) break;
  }
  if (!out.Flush()) status = Status::kWriteError;
}

std::string_view ResolvedStationName(const StationList& stations, int index) {
  int survivor = stations.Resolve(index);
  if (survivor <= 0 || static_cast<std::size_t>(survivor) >= stations.size()) return {};
  return stations[static_cast<std::size_t>(survivor)].name.view();
}

}  // namespace trovisk
