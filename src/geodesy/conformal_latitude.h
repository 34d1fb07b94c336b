// The conformal latitude, through its tangent: the latitude on a sphere onto
// which the ellipsoid is mapped without distortion of angles.
#pragma once

namespace trovisk {

/// tan of the conformal latitude from tan of the geodetic latitude, on an
/// ellipsoid of first eccentricity e.
double ConformalTangent(double tan_lat, double e);
/// tan of the geodetic latitude from tan of the conformal latitude, by
/// Newton's method on ConformalTangent.
double GeodeticTangent(double tan_conformal, double e);

}  // namespace trovisk
