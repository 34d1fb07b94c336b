// The station records of the adjustment file, and the names under which
// observations refer to stations that were merged.
#pragma once

#include <ostream>
#include <string_view>

#include "base/status.h"
#include "rw5/station_list.h"

namespace trovisk {

/// Writes three line ends, then one record set per station that stands for
/// itself (index 1 on, in list order). When either flag is set, a "$UNITS"
/// block (angle letter "D") comes before the first station and before each
/// station whose distance unit differs from the one written last; lengths are
/// written in that unit. Status 0, or 1001 when the stream fails.
void WriteStations(std::ostream& out, const StationList& stations, bool write_geodetic,
                   bool write_local, bool local_nee_system, Status& status);

/// The name under which observations refer to the station at `index`: that
/// of the station written in place of it (following merge after merge),
/// empty for index 0 (no station) or an index outside the list.
/// The view lasts while the list is not changed.
std::string_view ResolvedStationName(const StationList& stations, int index);

}  // namespace trovisk
