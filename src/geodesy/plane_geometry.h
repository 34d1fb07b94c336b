// Plane constructions on the local north/east grid: polar points, azimuths,
// intersections of two directions and resections from a free station.
#pragma once

#include <cstddef>

namespace trovisk {

// A point of the local grid, metres.
struct PlanePoint {
  double north = 0.0;
  double east = 0.0;
};

// One pointing of a free station: the target's known position, the direction
// read on the station's own circle (radians, clockwise) and, when measured,
// the horizontal distance (metres, negative when absent).
struct TargetSighting {
  PlanePoint target;
  double direction = 0.0;
  double distance = -1.0;
};

/// Azimuth (clockwise from north, radians in [0, 2 pi)) from one point to another.
double AzimuthBetween(const PlanePoint& from, const PlanePoint& to);
/// Horizontal distance between two points, metres.
double DistanceBetween(const PlanePoint& from, const PlanePoint& to);
/// The point at `distance` metres along `azimuth` from `from`.
PlanePoint PolarPoint(const PlanePoint& from, double azimuth, double distance);
/// `angle` brought into (-pi, pi].
double WrapToHalfTurn(double angle);

/// The point where two directions (each from a known station along an
/// azimuth) meet in front of both stations. False when they cross at less than
/// a few degrees, are parallel or meet behind either station.
bool IntersectDirections(const PlanePoint& first, double first_azimuth, const PlanePoint& second,
                         double second_azimuth, PlanePoint& result);

/// The free station that read the three directions of `pointings` to three
/// known targets; also the orientation (azimuth of the circle's zero). False
/// for a degenerate figure: targets in line, or the station on or close to the
/// circle through the targets, where the solution is undetermined.
bool ResectFromDirections(const TargetSighting pointings[3], PlanePoint& station,
                          double& orientation);

/// The free station that read directions and horizontal distances to two known
/// targets. False when the measured and known target spacings disagree by more
/// than `tolerance` metres or the targets are too close together.
bool ResectFromDistances(const TargetSighting& first, const TargetSighting& second,
                         double tolerance, PlanePoint& station, double& orientation);

}  // namespace trovisk
