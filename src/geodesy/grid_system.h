// The projected coordinate systems a survey grid may be on: one row per EPSG
// code, generated from the EPSG registry (scripts/make-grid-systems.py) and
// kept as data so that no run needs the registry itself.
#pragma once

#include <span>
#include <string_view>

namespace trovisk {

// The conformal projections of survey grids.
enum class GridMethod {
  kTransverseMercator,    // EPSG 9807
  kLambertOneParallel,    // EPSG 9801
  kLambertTwoParallels,   // EPSG 9802
  kObliqueStereographic,  // EPSG 9809
  kPolarStereographicA,   // EPSG 9810: scale at the pole
  kPolarStereographicB,   // EPSG 9829: latitude of true scale
};

/// One projected coordinate system. Angles in radians (east and north
/// positive), lengths in metres; the grid's own unit only says how its
/// coordinates are written.
struct GridSystem {
  int code = 0;            // EPSG code
  std::string_view name;   // e.g. "NAD83(CSRS) / New Brunswick Stereographic"
  std::string_view datum;  // the geodetic datum's name
  double a = 0.0;          // semi-major axis
  double inverse_flattening = 0.0;
  GridMethod method = GridMethod::kTransverseMercator;
  // Latitude and longitude of the (natural or false) origin; for the polar
  // stereographic B, lat0 is the latitude of true scale.
  double lat0 = 0.0;
  double lon0 = 0.0;
  double lat1 = 0.0;  // two standard parallels (Lambert with two only)
  double lat2 = 0.0;
  double k0 = 1.0;  // scale at the natural origin (1 where the method has none)
  double false_easting = 0.0;
  double false_northing = 0.0;
  double unit = 1.0;  // metres per grid unit
  // The area of use: latitudes and longitudes bounding it. A box crossing
  // the antimeridian has west > east.
  double south = 0.0;
  double north = 0.0;
  double west = 0.0;
  double east = 0.0;
};

/// Every system of the table, in order of code.
std::span<const GridSystem> GridSystems();

/// The system with that EPSG code, or nullptr when the table has none.
const GridSystem* FindGridSystem(int code);

/// Whether the point (radians) lies in the system's area of use, widened by
/// `margin` radians on every side.
bool InAreaOfUse(const GridSystem& system, double lat, double lon, double margin = 0.0);

}  // namespace trovisk
