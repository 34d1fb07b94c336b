// Median-based combination of determinations with blunder rejection.
#include "geodesy/robust_combination.h"

#include <algorithm>
#include <cmath>

#include "geodesy/constants.h"

namespace trovisk {
namespace {

// Median absolute deviation to standard deviation, for normal scatter.
constexpr double kMadToSigma = 1.4826;
constexpr double kSigmaMultiple = 3.0;

double Median(std::vector<double> values) {
  std::size_t middle = values.size() / 2;
  std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(middle),
                   values.end());
  double upper = values[middle];
  if (values.size() % 2 == 1) return upper;
  double lower =
      *std::max_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(middle));
  return 0.5 * (lower + upper);
}

// Keeps the determinations within the agreement limit of `centre`, by their
// distances from it.
Combination Classify(const std::vector<double>& distances, double floor) {
  Combination combination;
  double limit = AgreementLimit(distances, floor);
  for (std::size_t i = 0; i < distances.size(); ++i) {
    (distances[i] <= limit ? combination.kept : combination.set_aside).push_back(i);
  }
  combination.ok = !combination.kept.empty();
  return combination;
}

// Shared rule for one and two determinations: one is taken, two are averaged
// when they agree, otherwise the first (preferred) one stands alone.
bool CombineFew(std::size_t count, double separation, double floor, Combination& combination) {
  if (count == 1) {
    combination.ok = true;
    combination.kept = {0};
    return true;
  }
  if (count == 2) {
    combination.ok = true;
    if (separation <= floor) {
      combination.kept = {0, 1};
    } else {
      combination.kept = {0};
      combination.set_aside = {1};
    }
    return true;
  }
  return false;
}

// The combination of scalar determinations with agreement floor `floor`;
// `mean` receives the mean of the kept ones (untouched when there are none).
Combination CombineScalars(const std::vector<double>& values, double floor, double& mean) {
  Combination combination;
  if (values.empty()) return combination;
  double separation = values.size() == 2 ? std::fabs(values[0] - values[1]) : 0.0;
  if (!CombineFew(values.size(), separation, floor, combination)) {
    double median = Median(values);
    std::vector<double> distances;
    for (double v : values) distances.push_back(std::fabs(v - median));
    combination = Classify(distances, floor);
  }
  double sum = 0.0;
  for (std::size_t i : combination.kept) sum += values[i];
  mean = sum / static_cast<double>(combination.kept.size());
  for (std::size_t i : combination.kept) {
    combination.spread = std::fmax(combination.spread, std::fabs(mean - values[i]));
  }
  return combination;
}

}  // namespace

double AgreementLimit(std::vector<double> distances, double floor) {
  if (distances.empty()) return floor;
  double scatter = kSigmaMultiple * kMadToSigma * Median(std::move(distances));
  return std::fmax(floor, scatter);
}

Combination CombinePoints(const std::vector<PlanePoint>& points, PlanePoint& result) {
  Combination combination;
  if (points.empty()) return combination;
  double separation = points.size() == 2 ? DistanceBetween(points[0], points[1]) : 0.0;
  if (!CombineFew(points.size(), separation, kAgreementTolerance, combination)) {
    std::vector<double> norths;
    std::vector<double> easts;
    for (const PlanePoint& p : points) {
      norths.push_back(p.north);
      easts.push_back(p.east);
    }
    PlanePoint median{Median(norths), Median(easts)};
    std::vector<double> distances;
    for (const PlanePoint& p : points) distances.push_back(DistanceBetween(median, p));
    combination = Classify(distances, kAgreementTolerance);
  }
  PlanePoint sum;
  for (std::size_t i : combination.kept) {
    sum.north += points[i].north;
    sum.east += points[i].east;
  }
  double count = static_cast<double>(combination.kept.size());
  result = {sum.north / count, sum.east / count};
  for (std::size_t i : combination.kept) {
    combination.spread = std::fmax(combination.spread, DistanceBetween(result, points[i]));
  }
  return combination;
}

Combination CombineValues(const std::vector<double>& values, double& result) {
  return CombineScalars(values, kAgreementTolerance, result);
}

Combination CombineAngles(const std::vector<double>& angles, double& result) {
  // Unwrapped next to the first one, so that 359.9 and 0.1 degrees combine.
  std::vector<double> unwrapped;
  for (double a : angles) {
    unwrapped.push_back(angles.front() + WrapToHalfTurn(a - angles.front()));
  }
  double mean = 0.0;
  Combination combination = CombineScalars(unwrapped, kAngleAgreementTolerance, mean);
  if (!angles.empty()) {
    result = std::fmod(mean, kTwoPi);
    if (result < 0.0) result += kTwoPi;
  }
  return combination;
}

}  // namespace trovisk
