// The groups of stations close enough to be one point: every pair closer
// than the merge tolerance, gathered into connected groups, without asking
// anything.
#pragma once

#include <vector>

#include "checks/check_finding.h"
#include "rw5/station_list.h"

namespace trovisk {

// Tolerance modes of the main dialog.
inline constexpr int kToleranceMode2D = 0;  // horizontal distance
inline constexpr int kToleranceMode3D = 1;  // spatial distance

// Which coordinates a merge check compares.
enum class MergeCheck {
  kLocal,     // north/east/elevation of the stations that have them
  kGeodetic,  // positions on the ellipsoid (a, e2), in metres in the horizon
              // frame of the lower-numbered station of a pair
};

// The groups of unmerged stations linked by pairs strictly closer than
// tolerance_m (metres): two stations are in one group when a chain of such
// pairs joins them. Groups come in the order of their first pair, pairs by
// lower station index and then higher (the order the merge offers them),
// stations ascending; separations are in metres, unrounded. A tolerance that
// is not above 0, or a geodetic check without a usable ellipsoid, finds none.
std::vector<MergeCluster> FindMergeClusters(const StationList& stations, double tolerance_m,
                                            int tolerance_mode, double a, double e2,
                                            MergeCheck check);

}  // namespace trovisk
