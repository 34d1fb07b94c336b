// Where every station's approximate coordinates came from, and why the
// stations left without them could not be fixed.
#pragma once

#include <array>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "rw5/station_list.h"

namespace trovisk {

enum class CoordinateSource : std::uint8_t {
  kNone = 0,
  kFile,              // coordinates the raw file carried
  kSeed,              // the seed station's entered or file coordinates
  kPolar,             // direction and distance from a fixed, oriented station
  kTrigLevelling,     // zenith and slope distance with instrument and target heights
  kHeightDifference,  // a measured height difference
  kGpsVector,         // an earth-centred vector from a fixed end
  kIntersection,      // directions from two fixed, oriented stations
  kResection,         // directions (and distances) read at the station to fixed targets
  kAssumedElevation,  // no vertical observation: the elevation of a neighbour
};

enum class UnknownReason : std::uint8_t {
  kNone = 0,
  kNotObserved,          // no usable observation touches the station
  kNoLinkToSeed,         // no chain of observations reaches a fixed station
  kOnlyThroughUnknown,   // linked only through stations that could not be fixed
  kNoOrientation,        // pointed at from a fixed station whose circle could not be oriented
  kNoDistance,           // one direction from a fixed station but no distance
  kDistanceOnly,         // distances to fixed stations but no direction
  kVerticalOnly,         // only height observations reach it
  kWeakGeometry,         // intersection or resection figure too weak to trust
  kGpsEndWithoutHeight,  // a GPS vector from a station with no elevation
};

// An observation as the report names it.
struct ObservationRef {
  std::int64_t sequence = 0;  // 0 when there is none
  std::int32_t line = 0;
  std::array<char, 4> code{};
};

struct Determination {
  CoordinateSource source = CoordinateSource::kNone;
  std::int32_t from_station = 0;    // the fixed station it was computed from (0 none)
  std::int32_t second_station = 0;  // the second station of an intersection or resection
  ObservationRef observation;
};

// A determination that disagreed with the accepted value and was not used.
struct SetAside {
  Determination determination;
  bool vertical = false;  // an elevation rather than a position
  double offset = 0.0;    // metres from the accepted value
};

struct StationReportEntry {
  Determination position;  // north and east (the whole position for a GPS vector)
  Determination elevation;
  bool geodetic_from_local = false;  // latitude, longitude, height carried from the local system
  bool local_from_geodetic = false;  // north, east, elevation carried from geodetic values
  // Independent determinations that agree with the accepted value, and the
  // largest distance of one of them from it (metres).
  int position_agreeing = 0;
  double position_spread = 0.0;
  int elevation_agreeing = 0;
  double elevation_spread = 0.0;
  std::vector<SetAside> set_aside;
  UnknownReason reason = UnknownReason::kNone;
};

struct StationReport {
  std::vector<StationReportEntry> entries;  // by station index; entry 0 unused
  int uncomputed_count = 0;                 // stations left without geodetic coordinates
  std::string seed_name;
  bool anchored_on_file = false;  // local system taken from the file's seed coordinates
};

/// Short text of a source and of a reason, as the report prints them.
const char* SourceText(CoordinateSource source);
const char* ReasonText(UnknownReason reason);

/// Writes the report as a plain text table, lengths in the unit of
/// `distance_unit_code` (0 international feet, 1 metres, 2 US survey feet).
void WriteStationReport(std::ostream& out, const StationList& stations, const StationReport& report,
                        int distance_unit_code);

}  // namespace trovisk
