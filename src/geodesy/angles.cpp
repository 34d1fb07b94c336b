// Packed sexagesimal, gon and radian conversions and the small angle helpers.
#include "geodesy/angles.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "geodesy/constants.h"

namespace trovisk {
namespace {

// Places of the packed form: minutes are the first two decimals, and a
// fraction of a minute times 60 seconds lands in the next ones (60 x 0.0001).
constexpr double kPackedMinute = 0.01;
constexpr double kPackedSecondsPerMinuteFraction = 0.006;
// Digits moved across the point to reach the next packed field.
constexpr double kPackedFieldShift = 100.0;
constexpr double kMinutesPerDegree = 60.0;

}  // namespace

double DmsToRadians(double packed) {
  const double sign = SignOf(packed);
  const double v = std::fabs(packed) + kPackingGuard;
  const double degrees = Trunc(v);
  const double minutes = Trunc((v - degrees) * kPackedFieldShift);
  const double seconds = Frac(v * kPackedFieldShift) * kPackedFieldShift;
  // Multiplications by the reciprocals, seconds first: the order fixes the
  // last bit of the result, on which the written digits can depend.
  return sign * (seconds * kOneThirtySixHundredth + minutes * kOneSixtieth + degrees) /
         kDegreesPerRadian;
}

double RadiansToDms(double radians) {
  const double degrees = radians * kDegreesPerRadian;
  const double minutes = Frac(degrees) * kMinutesPerDegree;
  // No rounding and no carry: output formatting decides the shown digits.
  return Trunc(degrees) + Trunc(minutes) * kPackedMinute +
         Frac(minutes) * kPackedSecondsPerMinuteFraction;
}

double GonsToRadians(double gons) { return gons / kGonsPerRadian; }

double RadiansToGons(double radians) { return radians * kGonsPerRadian; }

double NormalizeAngle(double radians) {
  if (radians >= 0.0) return radians > kTwoPi ? radians - kTwoPi : radians;
  return radians + kTwoPi;
}

double AddAngles(double a, double b) {
  const double c = a + b;
  if (c > kTwoPi) return c - kTwoPi;
  if (c >= 0.0) return c;
  return c + kTwoPi;
}

double QuadrantArctan(double x, double y) {
  const double r = x == 0.0 ? kHalfPi : std::fabs(std::atan(y / x));
  if (y > 0.0) {
    if (x > 0.0) return r;
    if (x < 0.0) return kPi - r;
    if (x == 0.0) return kHalfPi;
    return r;  // x is NaN: so is r
  }
  if (y < 0.0) {
    if (x > 0.0) return -r;
    return r - kPi;
  }
  if (y == 0.0) {
    if (x > 0.0) return 0.0;
    if (x < 0.0) return -kPi;
    if (x == 0.0) return -kHalfPi;
    return r;
  }
  return y;  // y is NaN
}

double PolarAngle(double y, double x) {
  if (x == 0.0) return y >= 0.0 ? kHalfPi : -kHalfPi;
  const double a = std::atan(y / x);
  if (x > 0.0) return a;
  if (x < 0.0) return y > 0.0 ? a + kPi : a - kPi;
  return a;  // x is NaN: so is a
}

double SignOf(double x) { return x >= 0.0 ? 1.0 : -1.0; }

double Frac(double x) { return x - Trunc(x); }

double Trunc(double x) { return std::trunc(x); }

double Square(double x) { return x * x; }

double RoundToDecimals(double value, int decimals) {
  // 400 characters hold any double whose rounding can still change it: a
  // longer text needs either an integer part beyond 1e70 (every such double
  // is already whole) or more than 324 decimals (finer than the smallest
  // double step), and both come back unchanged.
  char text[400];
  const int length = std::snprintf(text, sizeof text, "%*.*lf", 1, decimals, value);
  if (length < 0 || static_cast<std::size_t>(length) >= sizeof text) return value;
  return std::strtod(text, nullptr);
}

}  // namespace trovisk
