// Plane constructions on the local grid. Azimuths are clockwise from north, so
// with north as the first axis and east as the second an azimuth is the
// ordinary polar angle; complex numbers north + i east carry the algebra.
#include "geodesy/plane_geometry.h"

#include <array>
#include <cmath>
#include <complex>

#include "geodesy/constants.h"

namespace trovisk {
namespace {

using Complex = std::complex<double>;

// Two directions crossing at less than this give a point too uncertain to use.
constexpr double kMinCrossingAngle = 3.0 / kDegreesPerRadian;
// A free station whose two position circles cross at less than this lies on
// or near the circle through its targets, where a resection is undetermined.
constexpr double kMinCircleCrossing = 5.0 / kDegreesPerRadian;
// Targets closer together than this cannot orient a free station.
constexpr double kMinTargetSpacing = 0.5;

Complex ToComplex(const PlanePoint& p) { return {p.north, p.east}; }
PlanePoint ToPoint(const Complex& z) { return {z.real(), z.imag()}; }

double Det3(const std::array<std::array<double, 3>, 3>& m) {
  return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
         m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
         m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
}

// Unit normal at p of the circle through p, a and b (the line through a and b
// when the three are in line).
Complex CircleNormalAt(Complex p, Complex a, Complex b) {
  Complex u = a - p;
  Complex v = b - p;
  double cross = u.real() * v.imag() - u.imag() * v.real();
  double scale = std::abs(u) * std::abs(v);
  if (std::fabs(cross) <= 1e-12 * scale) {
    Complex along = b - a;
    Complex normal(-along.imag(), along.real());
    return normal / std::abs(normal);
  }
  // Circumcentre relative to p.
  double uu = std::norm(u);
  double vv = std::norm(v);
  Complex centre((v.imag() * uu - u.imag() * vv) / (2.0 * cross),
                 (u.real() * vv - v.real() * uu) / (2.0 * cross));
  return centre / std::abs(centre);
}

}  // namespace

double WrapToHalfTurn(double angle) {
  double wrapped = std::remainder(angle, kTwoPi);
  return wrapped <= -kPi ? wrapped + kTwoPi : wrapped;
}

double AzimuthBetween(const PlanePoint& from, const PlanePoint& to) {
  double azimuth = std::atan2(to.east - from.east, to.north - from.north);
  return azimuth < 0.0 ? azimuth + kTwoPi : azimuth;
}

double DistanceBetween(const PlanePoint& from, const PlanePoint& to) {
  return std::hypot(to.north - from.north, to.east - from.east);
}

PlanePoint PolarPoint(const PlanePoint& from, double azimuth, double distance) {
  return {from.north + distance * std::cos(azimuth), from.east + distance * std::sin(azimuth)};
}

bool IntersectDirections(const PlanePoint& first, double first_azimuth, const PlanePoint& second,
                         double second_azimuth, PlanePoint& result) {
  double crossing = std::sin(first_azimuth - second_azimuth);
  if (!(std::fabs(crossing) >= std::sin(kMinCrossingAngle))) return false;
  double dn = second.north - first.north;
  double de = second.east - first.east;
  // first + t1 u1 = second + t2 u2, solved by Cramer's rule.
  double t1 = (de * std::cos(second_azimuth) - dn * std::sin(second_azimuth)) / crossing;
  double t2 = (de * std::cos(first_azimuth) - dn * std::sin(first_azimuth)) / crossing;
  if (!(t1 > 0.0 && t2 > 0.0)) return false;
  result = PolarPoint(first, first_azimuth, t1);
  return true;
}

bool ResectFromDirections(const TargetSighting pointings[3], PlanePoint& station,
                          double& orientation) {
  // Work relative to the targets' centroid so that large grid values do not
  // cost precision.
  Complex centroid = (ToComplex(pointings[0].target) + ToComplex(pointings[1].target) +
                      ToComplex(pointings[2].target)) /
                     3.0;
  double spread = 0.0;
  std::array<Complex, 3> target;
  for (int i = 0; i < 3; ++i) {
    target[i] = ToComplex(pointings[i].target) - centroid;
    spread = std::fmax(spread, std::abs(target[i]));
  }
  if (!(spread >= kMinTargetSpacing)) return false;
  for (auto& t : target) t /= spread;

  // With s = r e^(-i w) and Q = P s, each pointing makes (K - P) e^(-i d) s
  // real, which is linear in (s, Q): Im(K c s) - Im(c Q) = 0, c = e^(-i d).
  // Three such rows leave one null vector, found from the 3x3 minors.
  std::array<std::array<double, 4>, 3> rows{};
  for (int i = 0; i < 3; ++i) {
    Complex c = std::polar(1.0, -pointings[i].direction);
    Complex w = target[i] * c;
    rows[i] = {w.imag(), w.real(), -c.imag(), -c.real()};
  }
  std::array<double, 4> null{};
  for (int skip = 0; skip < 4; ++skip) {
    std::array<std::array<double, 3>, 3> minor{};
    for (int r = 0; r < 3; ++r) {
      int col = 0;
      for (int j = 0; j < 4; ++j) {
        if (j != skip) minor[r][col++] = rows[r][j];
      }
    }
    null[skip] = (skip % 2 == 0 ? 1.0 : -1.0) * Det3(minor);
  }
  Complex s(null[0], null[1]);
  Complex q(null[2], null[3]);
  double size = std::sqrt(std::norm(s) + std::norm(q));
  if (!(size > 1e-12) || !(std::abs(s) > 1e-9 * size)) return false;
  Complex p = q / s;
  if (!std::isfinite(p.real()) || !std::isfinite(p.imag())) return false;

  // Every target must lie ahead along its direction, not behind.
  Complex first_ray = target[0] - p;
  if (!(std::abs(first_ray) > 1e-9)) return false;
  double w0 = std::arg(first_ray) - pointings[0].direction;
  for (int i = 1; i < 3; ++i) {
    Complex ray = target[i] - p;
    if (!(std::abs(ray) > 1e-9)) return false;
    double wi = std::arg(ray) - pointings[i].direction;
    if (std::fabs(WrapToHalfTurn(wi - w0)) > kHalfPi) return false;
  }
  // The two position circles through the station and target pairs must cross
  // at a useful angle.
  Complex n1 = CircleNormalAt(p, target[0], target[1]);
  Complex n2 = CircleNormalAt(p, target[1], target[2]);
  double crossing = std::fabs(n1.real() * n2.imag() - n1.imag() * n2.real());
  if (!(crossing >= std::sin(kMinCircleCrossing))) return false;

  station = ToPoint(p * spread + centroid);
  double sum_sin = 0.0;
  double sum_cos = 0.0;
  for (int i = 0; i < 3; ++i) {
    double w = AzimuthBetween(station, pointings[i].target) - pointings[i].direction;
    sum_sin += std::sin(w);
    sum_cos += std::cos(w);
  }
  orientation = std::atan2(sum_sin, sum_cos);
  if (orientation < 0.0) orientation += kTwoPi;
  return true;
}

bool ResectFromDistances(const TargetSighting& first, const TargetSighting& second,
                         double tolerance, PlanePoint& station, double& orientation) {
  if (!(first.distance > 0.0) || !(second.distance > 0.0)) return false;
  // Targets as the station saw them, in its own circle frame.
  Complex seen1 = std::polar(first.distance, first.direction);
  Complex seen2 = std::polar(second.distance, second.direction);
  Complex known1 = ToComplex(first.target);
  Complex known2 = ToComplex(second.target);
  Complex seen_base = seen2 - seen1;
  Complex known_base = known2 - known1;
  if (!(std::abs(seen_base) >= kMinTargetSpacing) || !(std::abs(known_base) >= kMinTargetSpacing)) {
    return false;
  }
  if (!(std::fabs(std::abs(seen_base) - std::abs(known_base)) <= tolerance)) return false;
  Complex rotation = known_base / seen_base;
  rotation /= std::abs(rotation);
  Complex p = 0.5 * ((known1 - rotation * seen1) + (known2 - rotation * seen2));
  station = ToPoint(p);
  orientation = std::arg(rotation);
  if (orientation < 0.0) orientation += kTwoPi;
  return true;
}

}  // namespace trovisk
