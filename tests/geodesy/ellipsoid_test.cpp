// Geodetic, earth-centred and local horizon conversions, checked against
// hand-worked points and an independent geodesy library.
#include "geodesy/ellipsoid.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

#ifdef TROVISK_HAVE_GEOGRAPHICLIB
#include <GeographicLib/Geocentric.hpp>
#endif

namespace trovisk {
namespace {

constexpr double kTenthMillimetre = 1e-4;           // metres
constexpr double kLatLonTolerance = 1e-12;          // radians, about 6 micrometres on the ground
constexpr double kReferenceAngleTolerance = 1e-11;  // radians
constexpr double kPi = std::numbers::pi;

struct Ellipsoid {
  const char* name;
  double a;
  double inverse_flattening;
  double f() const { return 1.0 / inverse_flattening; }
  double e2() const { return f() * (2.0 - f()); }
};

const Ellipsoid kEllipsoids[] = {
    {"WGS 84", 6378137.0, 298.257223563},
    {"Clarke 1866", 6378206.4, 294.9786982},
    {"International 1924", 6378388.0, 297.0},
};

double Rad(double degrees) { return degrees * kPi / 180.0; }

// Longitudes compared across the +-pi seam.
double LongitudeGap(double a, double b) { return std::fabs(std::remainder(a - b, 2.0 * kPi)); }

struct SweepPoint {
  double lat_deg, lon_deg, h;
};

std::vector<SweepPoint> Sweep() {
  std::vector<SweepPoint> points;
  const double longitudes[] = {-179.75, -120.0, -90.0, -45.0, 0.0, 12.5, 45.0, 90.0, 135.0, 180.0};
  const double heights[] = {-500.0, 0.0, 123.456, 2500.0, 10000.0};
  for (int lat = -89; lat <= 89; ++lat) {
    for (double lon : longitudes) {
      for (double h : heights) points.push_back({lat + 0.123456789, lon, h});
    }
  }
  return points;
}

TEST(Ellipsoid, EquatorAtPrimeMeridianIsTheSemiMajorAxis) {
  for (const Ellipsoid& ell : kEllipsoids) {
    SCOPED_TRACE(ell.name);
    double x, y, z;
    GeodeticToEcef(ell.a, ell.e2(), 0.0, 0.0, 0.0, x, y, z);
    EXPECT_NEAR(x, ell.a, kTenthMillimetre);
    EXPECT_NEAR(y, 0.0, kTenthMillimetre);
    EXPECT_NEAR(z, 0.0, kTenthMillimetre);
    double lat, lon, h;
    EcefToGeodetic(ell.a, ell.e2(), ell.a, 0.0, 0.0, lat, lon, h);
    EXPECT_NEAR(lat, 0.0, kLatLonTolerance);
    EXPECT_NEAR(lon, 0.0, kLatLonTolerance);
    EXPECT_NEAR(h, 0.0, kTenthMillimetre);
  }
}

TEST(Ellipsoid, RoundTripsOverLatitudesAndHeights) {
  const std::vector<SweepPoint> points = Sweep();
  for (const Ellipsoid& ell : kEllipsoids) {
    for (const SweepPoint& p : points) {
      SCOPED_TRACE(::testing::Message()
                   << ell.name << " lat " << p.lat_deg << " lon " << p.lon_deg << " h " << p.h);
      double x, y, z, lat, lon, h;
      GeodeticToEcef(ell.a, ell.e2(), Rad(p.lat_deg), Rad(p.lon_deg), p.h, x, y, z);
      EcefToGeodetic(ell.a, ell.e2(), x, y, z, lat, lon, h);
      ASSERT_NEAR(lat, Rad(p.lat_deg), kLatLonTolerance);
      ASSERT_LT(LongitudeGap(lon, Rad(p.lon_deg)), kLatLonTolerance);
      ASSERT_NEAR(h, p.h, kTenthMillimetre);
    }
  }
}

TEST(Ellipsoid, HeightComesFromTheLargerHorizontalComponent) {
  // Points exactly on the X or Y axis: the height must be taken from the
  // component that is not zero, whichever it is.
  const Ellipsoid& wgs = kEllipsoids[0];
  const double e2 = wgs.e2();
  struct Case {
    double lat_deg, lon_deg;
  };
  const Case cases[] = {{0, 90}, {0, -90}, {0, 180}, {0, 0}, {30, 90}, {-60, -90}, {75, 180}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "lat " << c.lat_deg << " lon " << c.lon_deg);
    const double lat = Rad(c.lat_deg);
    const double h = 250.0;
    // Hand-worked position with the off-axis component set to an exact zero.
    const double nv = wgs.a / std::sqrt(1.0 - e2 * std::sin(lat) * std::sin(lat));
    const double r = (nv + h) * std::cos(lat);
    const double z = (nv * (1.0 - e2) + h) * std::sin(lat);
    double x = 0.0, y = 0.0;
    if (c.lon_deg == 90) y = r;
    if (c.lon_deg == -90) y = -r;
    if (c.lon_deg == 0) x = r;
    if (c.lon_deg == 180) x = -r;
    double lat_out, lon_out, h_out;
    EcefToGeodetic(wgs.a, e2, x, y, z, lat_out, lon_out, h_out);
    EXPECT_NEAR(lat_out, lat, kLatLonTolerance);
    EXPECT_LT(LongitudeGap(lon_out, Rad(c.lon_deg)), kLatLonTolerance);
    EXPECT_NEAR(h_out, h, kTenthMillimetre);
  }
}

TEST(Ellipsoid, PolarAxisAndCentreGiveFiniteAnswers) {
  const Ellipsoid& wgs = kEllipsoids[0];
  const double b = wgs.a * (1.0 - wgs.f());
  struct Case {
    double z, lat, h;
  };
  const Case cases[] = {
      {b + 10.0, kPi / 2.0, 10.0}, {-(b + 10.0), -kPi / 2.0, 10.0}, {b - 500.0, kPi / 2.0, -500.0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.z);
    double lat, lon, h;
    EcefToGeodetic(wgs.a, wgs.e2(), 0.0, 0.0, c.z, lat, lon, h);
    EXPECT_EQ(lat, c.lat);
    EXPECT_EQ(lon, 0.0);
    EXPECT_NEAR(h, c.h, kTenthMillimetre);
    // And the pole converts back to the same point.
    double x, y, z;
    GeodeticToEcef(wgs.a, wgs.e2(), lat, lon, h, x, y, z);
    EXPECT_NEAR(x, 0.0, kTenthMillimetre);
    EXPECT_NEAR(z, c.z, kTenthMillimetre);
  }
  // The centre: any latitude would do; the one given converts back to it.
  double lat, lon, h, x, y, z;
  EcefToGeodetic(wgs.a, wgs.e2(), 0.0, 0.0, 0.0, lat, lon, h);
  GeodeticToEcef(wgs.a, wgs.e2(), lat, lon, h, x, y, z);
  EXPECT_NEAR(x, 0.0, kTenthMillimetre);
  EXPECT_NEAR(y, 0.0, kTenthMillimetre);
  EXPECT_NEAR(z, 0.0, kTenthMillimetre);
}

TEST(Ellipsoid, NotANumberEndsTheIteration) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const Ellipsoid& wgs = kEllipsoids[0];
  const double inputs[][3] = {{nan, 1.0, 1.0}, {1.0, nan, 1.0}, {1.0, 1.0, nan}, {0.0, 0.0, nan}};
  for (const auto& in : inputs) {
    double lat, lon, h;
    EcefToGeodetic(wgs.a, wgs.e2(), in[0], in[1], in[2], lat, lon, h);
    EXPECT_TRUE(std::isnan(h));
  }
  // An ellipsoid that is no ellipsoid: the iteration still stops.
  double lat, lon, h;
  EcefToGeodetic(6378137.0, nan, 4e6, 3e6, 3e6, lat, lon, h);
  EXPECT_TRUE(std::isnan(lat));
}

TEST(Ellipsoid, AbsurdMagnitudesAreConvertedWithoutOverflow) {
  // Far beyond the Earth the normal and the geocentric direction agree, so
  // latitude and longitude are those of the vector and the height is its
  // length less a negligible radius. Squares of these values would overflow.
  const Ellipsoid& wgs = kEllipsoids[0];
  struct Case {
    double x, y, z, lat, lon, h;
  };
  const Case cases[] = {
      {1e200, 0.0, 1e200, kPi / 4.0, 0.0, std::sqrt(2.0) * 1e200},
      {-3e250, 4e250, 0.0, 0.0, std::atan2(4.0, -3.0), 5e250},
      {0.0, -1e160, -1e160, -kPi / 4.0, -kPi / 2.0, std::sqrt(2.0) * 1e160},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.x << " " << c.y << " " << c.z);
    double lat, lon, h;
    EcefToGeodetic(wgs.a, wgs.e2(), c.x, c.y, c.z, lat, lon, h);
    EXPECT_NEAR(lat, c.lat, kLatLonTolerance);
    EXPECT_LT(LongitudeGap(lon, c.lon), kLatLonTolerance);
    EXPECT_NEAR(h / c.h, 1.0, 1e-12);
  }
  // An infinite coordinate ends the iteration with a height that is no number.
  const double inf = std::numeric_limits<double>::infinity();
  double lat, lon, h;
  EcefToGeodetic(wgs.a, wgs.e2(), inf, 0.0, 1e6, lat, lon, h);
  EXPECT_FALSE(std::isfinite(h));
}

TEST(LocalFrame, AxesPointEastNorthAndUp) {
  struct Case {
    double lat_deg, lon_deg;
    double e, n, u;     // local vector
    double dx, dy, dz;  // the same vector in ECEF, worked by hand
  };
  const Case cases[] = {
      {0, 0, 1, 0, 0, 0, 1, 0},   {0, 0, 0, 1, 0, 0, 0, 1},   {0, 0, 0, 0, 1, 1, 0, 0},
      {0, 90, 1, 0, 0, -1, 0, 0}, {0, 90, 0, 0, 1, 0, 1, 0},  {90, 0, 0, 0, 1, 0, 0, 1},
      {90, 0, 0, 1, 0, -1, 0, 0}, {-90, 0, 0, 1, 0, 1, 0, 0}, {0, 180, 1, 0, 0, 0, -1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message()
                 << "lat " << c.lat_deg << " lon " << c.lon_deg << " ENU " << c.e << c.n << c.u);
    double x, y, z;
    LocalToEcef(Rad(c.lat_deg), Rad(c.lon_deg), c.e, c.n, c.u, 10.0, 20.0, 30.0, x, y, z);
    EXPECT_NEAR(x - 10.0, c.dx, 1e-12);
    EXPECT_NEAR(y - 20.0, c.dy, 1e-12);
    EXPECT_NEAR(z - 30.0, c.dz, 1e-12);
    double e, n, u;
    EcefDeltaToLocal(Rad(c.lat_deg), Rad(c.lon_deg), c.dx, c.dy, c.dz, e, n, u);
    EXPECT_NEAR(e, c.e, 1e-12);
    EXPECT_NEAR(n, c.n, 1e-12);
    EXPECT_NEAR(u, c.u, 1e-12);
  }
}

TEST(LocalFrame, RotationIsUndoneByItsInverse) {
  const Ellipsoid& wgs = kEllipsoids[0];
  for (int lat = -85; lat <= 85; lat += 17) {
    for (int lon = -175; lon <= 180; lon += 35) {
      SCOPED_TRACE(::testing::Message() << "lat " << lat << " lon " << lon);
      double x0, y0, z0;
      GeodeticToEcef(wgs.a, wgs.e2(), Rad(lat), Rad(lon), 300.0, x0, y0, z0);
      const double e = 1234.567, n = -9876.543, u = 42.125;
      double x, y, z, e_out, n_out, u_out;
      LocalToEcef(Rad(lat), Rad(lon), e, n, u, x0, y0, z0, x, y, z);
      EcefDeltaToLocal(Rad(lat), Rad(lon), x - x0, y - y0, z - z0, e_out, n_out, u_out);
      EXPECT_NEAR(e_out, e, kTenthMillimetre);
      EXPECT_NEAR(n_out, n, kTenthMillimetre);
      EXPECT_NEAR(u_out, u, kTenthMillimetre);
    }
  }
}

TEST(Composites, OffsetUndoesTheDifference) {
  const Ellipsoid& wgs = kEllipsoids[0];
  const double lat1 = Rad(45.5), lon1 = Rad(-120.25), h1 = 210.0;
  const double lat2 = Rad(45.51), lon2 = Rad(-120.2), h2 = 185.5;
  double dx, dy, dz, lat, lon, h;
  EcefDifference(wgs.a, wgs.e2(), lat1, lon1, h1, lat2, lon2, h2, dx, dy, dz);
  OffsetGeodetic(wgs.a, wgs.e2(), lat1, lon1, h1, dx, dy, dz, lat, lon, h);
  EXPECT_NEAR(lat, lat2, kLatLonTolerance);
  EXPECT_NEAR(lon, lon2, kLatLonTolerance);
  EXPECT_NEAR(h, h2, kTenthMillimetre);
}

TEST(Composites, MutualOffsetsSeeEachOtherFromBothEnds) {
  const Ellipsoid& wgs = kEllipsoids[0];
  const double a = wgs.a, e2 = wgs.e2();
  // One centimetre due north at 45 degrees: the meridian radius of curvature
  // M = a (1 - e2) / (1 - e2 sin^2)^1.5 turns it into a latitude step.
  const double lat = Rad(45.0);
  const double s2 = std::sin(lat) * std::sin(lat);
  const double m = a * (1.0 - e2) / std::pow(1.0 - e2 * s2, 1.5);
  const double dlat = 0.01 / m;
  double e1, e2o, n1, n2, u1, u2;
  MutualLocalOffsets(a, e2, lat, Rad(7.0), 100.0, lat + dlat, Rad(7.0), 100.0, e1, e2o, n1, n2, u1,
                     u2);
  EXPECT_NEAR(n1, 0.01, 1e-6);
  EXPECT_NEAR(n2, -0.01, 1e-6);
  EXPECT_NEAR(e1, 0.0, 1e-9);
  EXPECT_NEAR(e2o, 0.0, 1e-9);
  EXPECT_NEAR(u1, 0.0, 1e-6);
  EXPECT_NEAR(u2, 0.0, 1e-6);

  // Two stations a few kilometres apart: the same length from either end,
  // and the back azimuth turned from the forward one by the convergence of
  // the meridians, dlon sin(mean latitude).
  const double lat_a = Rad(-33.9), lon_a = Rad(151.2), lat_b = Rad(-33.93), lon_b = Rad(151.24);
  MutualLocalOffsets(a, e2, lat_a, lon_a, 50.0, lat_b, lon_b, 75.0, e1, e2o, n1, n2, u1, u2);
  EXPECT_NEAR(std::hypot(e1, n1, u1), std::hypot(e2o, n2, u2), kTenthMillimetre);
  EXPECT_GT(e1, 0.0);  // point 2 lies east and south of point 1
  EXPECT_LT(n1, 0.0);
  const double forward = std::atan2(e1, n1);
  const double back = std::atan2(e2o, n2);
  const double convergence = (lon_b - lon_a) * std::sin((lat_a + lat_b) / 2.0);
  EXPECT_NEAR(std::remainder(back - forward - kPi, 2.0 * kPi), convergence, 1e-6);
}

#ifdef TROVISK_HAVE_GEOGRAPHICLIB
TEST(Ellipsoid, AgreesWithGeographicLib) {
  const std::vector<SweepPoint> points = Sweep();
  for (const Ellipsoid& ell : kEllipsoids) {
    const GeographicLib::Geocentric reference(ell.a, ell.f());
    for (const SweepPoint& p : points) {
      SCOPED_TRACE(::testing::Message()
                   << ell.name << " lat " << p.lat_deg << " lon " << p.lon_deg << " h " << p.h);
      double x, y, z, rx, ry, rz;
      GeodeticToEcef(ell.a, ell.e2(), Rad(p.lat_deg), Rad(p.lon_deg), p.h, x, y, z);
      reference.Forward(p.lat_deg, p.lon_deg, p.h, rx, ry, rz);
      ASSERT_NEAR(x, rx, kTenthMillimetre);
      ASSERT_NEAR(y, ry, kTenthMillimetre);
      ASSERT_NEAR(z, rz, kTenthMillimetre);

      double lat, lon, h, rlat, rlon, rh;
      EcefToGeodetic(ell.a, ell.e2(), rx, ry, rz, lat, lon, h);
      reference.Reverse(rx, ry, rz, rlat, rlon, rh);
      ASSERT_NEAR(lat, Rad(rlat), kReferenceAngleTolerance);
      ASSERT_LT(LongitudeGap(lon, Rad(rlon)), kReferenceAngleTolerance);
      ASSERT_NEAR(h, rh, kTenthMillimetre);
    }
  }
}
#else
TEST(Ellipsoid, AgreesWithGeographicLib) { GTEST_SKIP() << "GeographicLib not found"; }
#endif

}  // namespace
}  // namespace trovisk
