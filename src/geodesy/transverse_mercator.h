// Transverse Mercator grid coordinates by Krueger's series in the third
// flattening n, carried to n^6: sub-millimetre within several thousand
// kilometres of the central meridian.
#pragma once

namespace trovisk {

/// The defining values of a Transverse Mercator grid. a in metres, e2 the
/// first eccentricity squared; lat0 (latitude of origin) and lon0 (central
/// meridian) in radians, east positive; k0 the scale on the central meridian;
/// false easting and northing in metres.
struct TransverseMercatorGrid {
  double a = 0.0;
  double e2 = 0.0;
  double lat0 = 0.0;
  double lon0 = 0.0;
  double k0 = 1.0;
  double false_easting = 0.0;
  double false_northing = 0.0;
};

/// The grid's series coefficients, worked once for many points.
struct TransverseMercatorSeries {
  TransverseMercatorGrid grid;
  double e = 0.0;                // first eccentricity
  double radius = 0.0;           // rectifying radius A times k0, metres
  double origin_northing = 0.0;  // k0 times the meridian arc to lat0, metres
  double alpha[6] = {};          // latitude/longitude to grid (Krueger alpha)
  double beta[6] = {};           // grid to latitude/longitude (Krueger beta)
};

TransverseMercatorSeries PrepareTransverseMercator(const TransverseMercatorGrid& grid);

/// Geodetic lat, lon (radians) to grid easting, northing (metres).
void TransverseMercatorForward(const TransverseMercatorSeries& series, double lat, double lon,
                               double& easting, double& northing);
/// Grid easting, northing (metres) to geodetic lat, lon (radians); the
/// longitude comes back within pi of the central meridian.
void TransverseMercatorReverse(const TransverseMercatorSeries& series, double easting,
                               double northing, double& lat, double& lon);

}  // namespace trovisk
