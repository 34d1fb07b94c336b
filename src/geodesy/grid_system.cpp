// The grid table's look-ups: the rows come sorted by code from the generated
// table, so a code is found by bisection.
#include "geodesy/grid_system.h"

#include <algorithm>
#include <cmath>

#include "geodesy/constants.h"
#include "geodesy/grid_systems_table.h"

namespace trovisk {

std::span<const GridSystem> GridSystems() { return GridSystemTable(); }

const GridSystem* FindGridSystem(int code) {
  const std::span<const GridSystem> rows = GridSystems();
  const auto found =
      std::lower_bound(rows.begin(), rows.end(), code,
                       [](const GridSystem& row, int wanted) { return row.code < wanted; });
  return found != rows.end() && found->code == code ? &*found : nullptr;
}

bool InAreaOfUse(const GridSystem& system, double lat, double lon, double margin) {
  if (lat < system.south - margin || lat > system.north + margin) return false;
  // Longitudes measured eastward from the west edge, so that a box crossing
  // the antimeridian (west > east) is one interval too.
  const double width =
      system.east >= system.west ? system.east - system.west : system.east - system.west + kTwoPi;
  if (width + 2.0 * margin >= kTwoPi) return true;
  double from_west = std::fmod(lon - (system.west - margin), kTwoPi);
  if (from_west < 0.0) from_west += kTwoPi;
  return from_west <= width + 2.0 * margin;
}

}  // namespace trovisk
