// Which projected grid a job's north and east are on: the one asked for, or
// the one that reproduces the collector's grid coordinates of the points the
// file gives both ways; and the geoid separations those points give.
#pragma once

#include <string>

#include "base/user_interface.h"
#include "geodesy/geoid_separation.h"
#include "geodesy/grid_projection.h"
#include "rw5/station_list.h"

namespace trovisk {

// A grid fits when it puts every point within this of the collector's north
// and east (metres).
inline constexpr double kGridFitTolerance = 0.005;

struct GridChoice {
  const GridSystem* system = nullptr;  // nullptr: no grid known
  GridProjection projection;
  GeoidSeparations separations;  // from the points of both heights
};

/// The grid of EPSG `requested_code`, or when 0 the one identified from the
/// stations whose geodetic position the collector also stored on its grid. Says
/// through `ui` which grid it took and how well the file's points fit it,
/// or that none fitted; `input_name` starts each line.
GridChoice ChooseGrid(const StationList& stations, int requested_code, int distance_unit_code,
                      const std::string& input_name, UserInterface& ui);

/// How a ground distance compares with the grid: its scale times the
/// elevation factor at the middle of the stations with north and east (a
/// job is small against a grid); 1 when no grid is known or no station has
/// coordinates.
double GroundToGridFactor(const GridChoice& grid, const StationList& stations);

}  // namespace trovisk
