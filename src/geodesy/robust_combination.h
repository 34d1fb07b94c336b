// Robust combination of several determinations of one quantity: the median,
// with determinations far from it set aside as blunders.
#pragma once

#include <cstddef>
#include <vector>

#include "geodesy/plane_geometry.h"

namespace trovisk {

// Two determinations closer than this always agree, in metres; a wider limit
// follows the scatter of the determinations themselves.
inline constexpr double kAgreementTolerance = 0.10;
// The same for angles, radians (about 20 arc-seconds).
inline constexpr double kAngleAgreementTolerance = 1.0e-4;

// Which determinations were kept and how closely they agree. Determinations
// are named by their position in the caller's list.
struct Combination {
  bool ok = false;
  double spread = 0.0;                 // largest distance of a kept one from the result
  std::vector<std::size_t> kept;       // positions of the determinations used
  std::vector<std::size_t> set_aside;  // positions of those rejected as blunders
};

/// Combines grid positions (metres) given in order of preference. One is
/// taken as it is; two that disagree keep the first; three or more keep those
/// near the median (component-wise), and the result is the mean of the kept
/// ones.
Combination CombinePoints(const std::vector<PlanePoint>& points, PlanePoint& result);
/// The same for scalar values such as elevations (metres).
Combination CombineValues(const std::vector<double>& values, double& result);
/// The same for directions (radians), combined next to the first one so that
/// directions either side of north agree; the result is brought into [0, 2 pi).
Combination CombineAngles(const std::vector<double>& angles, double& result);

/// The limit beyond which a determination counts as a blunder, given each
/// one's distance from the combined value: never below `floor`, and three
/// robust standard deviations of the distances when they scatter more; in the
/// unit of the distances.
double AgreementLimit(std::vector<double> distances, double floor);

}  // namespace trovisk
