// Full reduction of angles that may lie several turns away.
#pragma once

#include <cmath>

#include "geodesy/constants.h"

namespace trovisk {

// The angle brought into [0, 2 pi), however many turns away it was.
inline double ReduceToTurn(double radians) {
  double reduced = std::fmod(radians, kTwoPi);
  if (reduced < 0.0) reduced += kTwoPi;
  return reduced >= kTwoPi ? 0.0 : reduced;
}

// The difference a - b brought into [-pi, pi).
inline double AngleDifference(double a, double b) { return ReduceToTurn(a - b + kPi) - kPi; }

// Seconds of arc in a radian, for tolerances and messages.
inline constexpr double kSecondsPerRadian = 206264.80624709636;
// Ten seconds of arc in radians: the largest face difference accepted quietly.
inline constexpr double kFaceToleranceAngle = 10.0 / kSecondsPerRadian;
// The largest face difference of a distance accepted quietly, metres.
inline constexpr double kFaceToleranceDistance = 0.01;

}  // namespace trovisk
