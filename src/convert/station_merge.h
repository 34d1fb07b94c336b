// Offers differently named stations that lie closer than the tolerance for
// merging into one point.
#pragma once

#include <cstdint>
#include <unordered_set>

#include "base/user_interface.h"
#include "convert/merge_clusters.h"
#include "rw5/station_list.h"

namespace trovisk {

// Two checks in order: north/east/elevation of the stations that have them,
// then, unless cancelled, their geodetic positions on the ellipsoid (a, e2),
// compared in metres in the horizon frame of the lower-numbered station.
// Every pair of unmerged stations strictly closer than tolerance_m (metres)
// is offered through ui.AskMerge, group by group as FindMergeClusters gives
// them, and within a group by lower index and then higher. On "same" the
// station not chosen is linked to the chosen one and takes no further part.
// "Different for all remaining" offers no further pair of the group; "same
// for all remaining" links every station of the group's pairs still to come
// to the station chosen, but for one already called different from it.
// A tolerance that is not above 0 offers nothing.
// Returns true when the user cancelled.
//
// `declined`, when given, remembers the pairs answered "different" (also
// for all remaining): a run checks twice (local, then geodetic) and merges
// twice (before and after the approximate coordinates), and the user is not
// asked about a pair again.
using DeclinedMerges = std::unordered_set<std::uint64_t>;
bool MergeNearbyStations(StationList& stations, double tolerance_m, int tolerance_mode, double a,
                         double e2, UserInterface& ui, DeclinedMerges* declined = nullptr);

}  // namespace trovisk
