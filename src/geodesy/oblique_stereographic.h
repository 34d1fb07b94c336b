// Oblique (double) stereographic grid coordinates: the ellipsoid is mapped
// conformally onto a sphere touching it at the origin, and the sphere is
// projected stereographically from the point opposite the origin.
#pragma once

namespace trovisk {

/// The defining values of an oblique stereographic grid. a in metres, e2 the
/// first eccentricity squared; lat0, lon0 (origin) in radians, east
/// positive; k0 the scale at the origin; false easting and northing in metres.
struct ObliqueStereographicGrid {
  double a = 0.0;
  double e2 = 0.0;
  double lat0 = 0.0;
  double lon0 = 0.0;
  double k0 = 1.0;
  double false_easting = 0.0;
  double false_northing = 0.0;
};

/// The conformal sphere of the grid, worked once for many points.
struct ObliqueStereographicSphere {
  ObliqueStereographicGrid grid;
  double e = 0.0;         // first eccentricity
  double diameter = 0.0;  // 2 R k0, R the sphere's radius, metres
  double exponent = 1.0;  // n: sphere longitudes are n times ellipsoid longitudes
  double scale = 1.0;     // c: the sphere's latitude scaling constant
  double sin_chi0 = 0.0;  // sine and cosine of the origin's
  double cos_chi0 = 1.0;  // latitude on the sphere
};

ObliqueStereographicSphere PrepareObliqueStereographic(const ObliqueStereographicGrid& grid);

/// Geodetic lat, lon (radians) to grid easting, northing (metres). The point
/// opposite the origin has no image; it gets infinite coordinates.
void ObliqueStereographicForward(const ObliqueStereographicSphere& sphere, double lat, double lon,
                                 double& easting, double& northing);
/// Grid easting, northing (metres) to geodetic lat, lon (radians).
void ObliqueStereographicReverse(const ObliqueStereographicSphere& sphere, double easting,
                                 double northing, double& lat, double& lon);

}  // namespace trovisk
