// Face-pair averaging.
#include "rw5/averaging.h"

#include <cmath>

#include "geodesy/constants.h"
#include "rw5/null_value.h"

namespace trovisk {

double AverageValues(double first, double second) {
  if (IsMissing(first)) return second;
  if (IsMissing(second)) return first;
  return (first + second) / 2.0;
}

double AverageAngles(double face_left, double face_right) {
  if (IsMissing(face_left)) return face_right;
  if (IsMissing(face_right)) return face_left;
  double a = face_left;
  double b = face_right - kPi;
  // Into [0, 2 pi), whatever the reading was.
  b = std::fmod(b, kTwoPi);
  if (b < 0.0) b += kTwoPi;
  double difference = std::fabs(b - a);
  if (difference > kThreeHalvesPi) {
    (a < b ? a : b) += kTwoPi;
  } else if (difference > kHalfPi) {
    (a < b ? a : b) += kPi;
  }
  return (a + b) / 2.0;
}

}  // namespace trovisk
