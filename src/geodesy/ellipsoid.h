// Conversions between geodetic, earth-centred (ECEF) and local horizon
// coordinates. An ellipsoid is the pair (a, e2): semi-major axis in metres
// and first eccentricity squared.
#pragma once

namespace trovisk {

/// Geodetic to ECEF on the ellipsoid (a, e2): lat, lon in radians (north,
/// east positive); h, x, y, z in metres.
void GeodeticToEcef(double a, double e2, double lat, double lon, double h, double& x, double& y,
                    double& z);
/// ECEF to geodetic, the inverse of GeodeticToEcef, by a capped fixed-point
/// iteration on the latitude. A point on the polar axis gets latitude +-pi/2,
/// longitude 0 and its height above the pole.
void EcefToGeodetic(double a, double e2, double x, double y, double z, double& lat, double& lon,
                    double& h);

/// Sines and cosines of a horizon origin's latitude and longitude (radians),
/// worked once for rotating many points at the same origin.
struct HorizonAxes {
  double sin_lat = 0.0;
  double cos_lat = 1.0;
  double sin_lon = 0.0;
  double cos_lon = 1.0;
};
HorizonAxes HorizonAxesAt(double lat, double lon);

/// An ECEF difference dx, dy, dz rotated into east, north, up (e, n, u) at
/// the origin (lat, lon); lengths in metres, angles in radians.
void EcefDeltaToLocal(double lat, double lon, double dx, double dy, double dz, double& e, double& n,
                      double& u);
/// Local east, north, up (metres) at the origin (lat, lon in radians, whose
/// ECEF is x0, y0, z0 in metres) to ECEF x, y, z in metres.
void LocalToEcef(double lat, double lon, double e, double n, double u, double x0, double y0,
                 double z0, double& x, double& y, double& z);
/// The same two rotations with the origin's axes worked beforehand.
void EcefDeltaToLocal(const HorizonAxes& axes, double dx, double dy, double dz, double& e,
                      double& n, double& u);
void LocalToEcef(const HorizonAxes& axes, double e, double n, double u, double x0, double y0,
                 double z0, double& x, double& y, double& z);
/// ECEF of point 2 minus ECEF of point 1: lat, lon in radians; h and the
/// differences dx, dy, dz in metres.
void EcefDifference(double a, double e2, double lat1, double lon1, double h1, double lat2,
                    double lon2, double h2, double& dx, double& dy, double& dz);
/// The geodetic position (lat, lon in radians, h in metres) moved by the ECEF
/// offset dx, dy, dz in metres.
void OffsetGeodetic(double a, double e2, double lat, double lon, double h, double dx, double dy,
                    double dz, double& lat_out, double& lon_out, double& h_out);
/// Each point seen from the other in its own horizon frame: (e1, n1, u1) is
/// point 2 from point 1, (e2_out, n2, u2) point 1 from point 2, in metres;
/// lat, lon in radians, h in metres.
void MutualLocalOffsets(double a, double e2, double lat1, double lon1, double h1, double lat2,
                        double lon2, double h2, double& e1, double& e2_out, double& n1, double& n2,
                        double& u1, double& u2);

}  // namespace trovisk
