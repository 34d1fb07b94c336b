// Conformal latitude in the tangent form, which stays well conditioned up to
// the poles (Karney 2011, eqs. 7-9 and 19-21).
#include "geodesy/conformal_latitude.h"

#include <cmath>

namespace trovisk {
namespace {

// Newton's method gains digits quadratically; five steps from the start
// below reach the last bit for any terrestrial ellipsoid.
constexpr int kMaxNewtonSteps = 5;
constexpr double kRelativeTangentTolerance = 1e-15;

}  // namespace

double ConformalTangent(double tan_lat, double e) {
  const double secant = std::hypot(1.0, tan_lat);
  const double sigma = std::sinh(e * std::atanh(e * tan_lat / secant));
  return tan_lat * std::hypot(1.0, sigma) - sigma * secant;
}

double GeodeticTangent(double tan_conformal, double e) {
  const double one_minus_e2 = 1.0 - e * e;
  double tan_lat = tan_conformal / one_minus_e2;
  for (int step = 0; step < kMaxNewtonSteps; ++step) {
    const double guess = ConformalTangent(tan_lat, e);
    const double slope = one_minus_e2 * std::hypot(1.0, guess) * std::hypot(1.0, tan_lat) /
                         (1.0 + one_minus_e2 * tan_lat * tan_lat);
    const double change = (tan_conformal - guess) / slope;
    tan_lat += change;
    if (std::fabs(change) <= kRelativeTangentTolerance * std::fmax(1.0, std::fabs(tan_lat))) break;
  }
  return tan_lat;
}

}  // namespace trovisk
