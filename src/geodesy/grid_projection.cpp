// One entry to the conformal projections of the grid table, chosen by the
// system's method. Scale and convergence come from the derivatives of the
// grid coordinates along the meridian, taken numerically, except on the polar
// stereographic, whose closed forms also hold at the pole.
#include "geodesy/grid_projection.h"

#include <cmath>

#include "geodesy/constants.h"

namespace trovisk {
namespace {

// Step of the latitude derivative (radians, about 130 m): the five-point
// difference then leaves ~1e-14 of truncation and ~1e-12 of rounding.
constexpr double kLatitudeStep = 2e-5;

// The grid's direction and length of a step north: d(easting, northing)/dlat
// by the five-point central difference, or within two steps of a pole by the
// five-point one-sided difference on the equator's side.
void MeridianDerivative(const GridProjection& p, double lat, double lon, double& de, double& dn) {
  double e[5], n[5];
  if (std::fabs(lat) + 2.0 * kLatitudeStep < kHalfPi) {
    const double h = kLatitudeStep;
    const double offsets[4] = {-2.0 * h, -h, h, 2.0 * h};
    for (int i = 0; i < 4; ++i) GridForward(p, lat + offsets[i], lon, e[i], n[i]);
    de = (e[0] - 8.0 * e[1] + 8.0 * e[2] - e[3]) / (12.0 * h);
    dn = (n[0] - 8.0 * n[1] + 8.0 * n[2] - n[3]) / (12.0 * h);
    return;
  }
  const double h = lat > 0.0 ? -kLatitudeStep : kLatitudeStep;
  for (int i = 0; i < 5; ++i) GridForward(p, lat + i * h, lon, e[i], n[i]);
  de = (-25.0 * e[0] + 48.0 * e[1] - 36.0 * e[2] + 16.0 * e[3] - 3.0 * e[4]) / (12.0 * h);
  dn = (-25.0 * n[0] + 48.0 * n[1] - 36.0 * n[2] + 16.0 * n[3] - 3.0 * n[4]) / (12.0 * h);
}

}  // namespace

GridProjection PrepareGridProjection(const GridSystem& s) {
  GridProjection p;
  p.method = s.method;
  p.a = s.a;
  const double f = s.inverse_flattening > 0.0 ? 1.0 / s.inverse_flattening : 0.0;
  p.e2 = f * (2.0 - f);
  switch (s.method) {
    case GridMethod::kTransverseMercator:
      p.transverse_mercator = PrepareTransverseMercator(
          {s.a, p.e2, s.lat0, s.lon0, s.k0, s.false_easting, s.false_northing});
      break;
    case GridMethod::kLambertOneParallel:
      p.lambert = LambertOneStandardParallel(s.a, p.e2, s.lat0, s.lon0, s.k0, s.false_easting,
                                             s.false_northing);
      break;
    case GridMethod::kLambertTwoParallels:
      p.lambert = LambertTwoStandardParallels(s.a, p.e2, s.lat0, s.lon0, s.lat1, s.lat2,
                                              s.false_easting, s.false_northing);
      break;
    case GridMethod::kObliqueStereographic:
      p.oblique_stereographic = PrepareObliqueStereographic(
          {s.a, p.e2, s.lat0, s.lon0, s.k0, s.false_easting, s.false_northing});
      break;
    case GridMethod::kPolarStereographicA:
      p.polar_stereographic = PolarStereographicScaledAtPole(s.a, p.e2, s.lat0, s.lon0, s.k0,
                                                             s.false_easting, s.false_northing);
      break;
    case GridMethod::kPolarStereographicB:
      p.polar_stereographic = PolarStereographicTrueAtParallel(s.a, p.e2, s.lat0, s.lon0,
                                                               s.false_easting, s.false_northing);
      break;
  }
  return p;
}

namespace {

void ProjectForward(const GridProjection& p, double lat, double lon, double& easting,
                    double& northing) {
  switch (p.method) {
    case GridMethod::kTransverseMercator:
      TransverseMercatorForward(p.transverse_mercator, lat, lon, easting, northing);
      return;
    case GridMethod::kLambertOneParallel:
    case GridMethod::kLambertTwoParallels:
      LambertConicForward(p.lambert, lat, lon, easting, northing);
      return;
    case GridMethod::kObliqueStereographic:
      ObliqueStereographicForward(p.oblique_stereographic, lat, lon, easting, northing);
      return;
    case GridMethod::kPolarStereographicA:
    case GridMethod::kPolarStereographicB:
      PolarStereographicForward(p.polar_stereographic, lat, lon, easting, northing);
      return;
  }
}

void ProjectReverse(const GridProjection& p, double easting, double northing, double& lat,
                    double& lon) {
  switch (p.method) {
    case GridMethod::kTransverseMercator:
      TransverseMercatorReverse(p.transverse_mercator, easting, northing, lat, lon);
      return;
    case GridMethod::kLambertOneParallel:
    case GridMethod::kLambertTwoParallels:
      LambertConicReverse(p.lambert, easting, northing, lat, lon);
      return;
    case GridMethod::kObliqueStereographic:
      ObliqueStereographicReverse(p.oblique_stereographic, easting, northing, lat, lon);
      return;
    case GridMethod::kPolarStereographicA:
    case GridMethod::kPolarStereographicB:
      PolarStereographicReverse(p.polar_stereographic, easting, northing, lat, lon);
      return;
  }
}

}  // namespace

void GridForward(const GridProjection& p, double lat, double lon, double& easting,
                 double& northing) {
  ProjectForward(p, lat, lon, easting, northing);
  easting += p.shift_east;
  northing += p.shift_north;
}

void GridReverse(const GridProjection& p, double easting, double northing, double& lat,
                 double& lon) {
  ProjectReverse(p, easting - p.shift_east, northing - p.shift_north, lat, lon);
}

GridDistortion GridDistortionAt(const GridProjection& p, double lat, double lon) {
  GridDistortion d;
  if (p.method == GridMethod::kPolarStereographicA ||
      p.method == GridMethod::kPolarStereographicB) {
    // The meridians run straight out of the pole, grid north along lon0
    // (towards the north pole, away from the south pole).
    const PolarStereographicGrid& g = p.polar_stereographic;
    const double dlon = std::remainder(lon - g.lon0, kTwoPi);
    d.scale = PolarStereographicScale(g, lat);
    d.convergence = g.south_pole ? -dlon : dlon;
    return d;
  }
  double de = 0.0, dn = 0.0;
  MeridianDerivative(p, lat, lon, de, dn);
  // A conformal grid stretches the meridian by the point scale factor; the
  // meridian's radius of curvature is a (1 - e2) / (1 - e2 sin^2 lat)^1.5.
  const double w2 = 1.0 - p.e2 * std::sin(lat) * std::sin(lat);
  const double meridian_radius = p.a * (1.0 - p.e2) / (w2 * std::sqrt(w2));
  d.scale = std::hypot(de, dn) / meridian_radius;
  // True north has the grid bearing atan2(de, dn), which is minus the
  // convergence.
  d.convergence = -std::atan2(de, dn);
  return d;
}

}  // namespace trovisk
