// Conversions between geodetic, earth-centred (ECEF) and local horizon
// coordinates. An ellipsoid is the pair (a, e2): semi-major axis in metres
// and first eccentricity squared. Latitudes and longitudes in radians (north,
// east positive); heights and cartesian values in metres.
#pragma once

#include <cstddef>

namespace trovisk {

/// Geodetic (lat, lon, h) to ECEF (x, y, z) on the ellipsoid (a, e2).
void GeodeticToEcef(double a, double e2, double lat, double lon, double h, double& x, double& y,
                    double& z);
/// ECEF to geodetic by fixed-point iteration on latitude (capped). A point on
/// the polar axis gets latitude +-pi/2, longitude 0 and its height above the pole.
void EcefToGeodetic(double a, double e2, double x, double y, double z, double& lat, double& lon,
                    double& h);
/// Sines and cosines of a horizon origin's latitude and longitude, worked
/// once for rotating many points at the same origin.
struct HorizonAxes {
  double sin_lat = 0.0;
  double cos_lat = 1.0;
  double sin_lon = 0.0;
  double cos_lon = 1.0;
};
HorizonAxes HorizonAxesAt(double lat, double lon);

/// EcefToGeodetic for `count` points held in arrays, with the same values;
/// faster for many points, as the work of neighbouring points overlaps.
void EcefToGeodeticBatch(double a, double e2, std::size_t count, const double* x, const double* y,
                         const double* z, double* lat, double* lon, double* h);
/// An ECEF difference rotated into east, north, up at the origin (lat, lon).
void EcefDeltaToLocal(double lat, double lon, double dx, double dy, double dz, double& e, double& n,
                      double& u);
/// Local east, north, up at the origin (lat, lon, whose ECEF is x0, y0, z0) to ECEF.
void LocalToEcef(double lat, double lon, double e, double n, double u, double x0, double y0,
                 double z0, double& x, double& y, double& z);
/// The same two rotations with the origin's axes worked beforehand.
void EcefDeltaToLocal(const HorizonAxes& axes, double dx, double dy, double dz, double& e,
                      double& n, double& u);
void LocalToEcef(const HorizonAxes& axes, double e, double n, double u, double x0, double y0,
                 double z0, double& x, double& y, double& z);
/// ECEF of point 2 minus ECEF of point 1.
void EcefDifference(double a, double e2, double lat1, double lon1, double h1, double lat2,
                    double lon2, double h2, double& dx, double& dy, double& dz);
/// The geodetic position moved by an ECEF offset.
void OffsetGeodetic(double a, double e2, double lat, double lon, double h, double dx, double dy,
                    double dz, double& lat_out, double& lon_out, double& h_out);
/// Each point seen from the other in its own horizon frame, in metres.
void MutualLocalOffsets(double a, double e2, double lat1, double lon1, double h1, double lat2,
                        double lon2, double h2, double& e1, double& e2_out, double& n1, double& n2,
                        double& u1, double& u2);

}  // namespace trovisk
