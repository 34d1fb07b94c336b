// A position's horizon uncertainty as earth-centred covariance terms.
#include "geodesy/horizon_covariance.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "geodesy/constants.h"
#include "geodesy/ellipsoid.h"

namespace trovisk {
namespace {

// The covariance, unpacked, applied to a vector.
std::array<double, 3> Apply(const std::array<double, 6>& packed, const std::array<double, 3>& v) {
  const double m[3][3] = {{packed[0], packed[1], packed[3]},
                          {packed[1], packed[2], packed[4]},
                          {packed[3], packed[4], packed[5]}};
  std::array<double, 3> out{};
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 3; ++column) out[row] += m[row][column] * v[column];
  }
  return out;
}

TEST(HorizonCovariance, EachHorizonAxisKeepsItsOwnVariance) {
  // East, north and up at each place are eigenvectors whose eigenvalues are
  // the variances given: found through the horizon rotation of the geodesy
  // layer, each axis turned back to earth-centred terms.
  struct Case {
    const char* name;
    double latitude_degrees, longitude_degrees;
  } cases[] = {
      {"equator, Greenwich", 0.0, 0.0}, {"equator, a quarter turn east", 0.0, 90.0},
      {"New Brunswick", 45.07, -66.48}, {"south and east", -33.87, 151.21},
      {"north pole", 90.0, 0.0},
  };
  const double sd_east = 0.01, sd_north = 0.02, sd_up = 0.03;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const double latitude = c.latitude_degrees * kPi / 180.0;
    const double longitude = c.longitude_degrees * kPi / 180.0;
    const auto packed = HorizonToEcefCovariance(latitude, longitude, sd_east, sd_north, sd_up);
    const double variances[3] = {sd_east * sd_east, sd_north * sd_north, sd_up * sd_up};
    for (int axis = 0; axis < 3; ++axis) {
      std::array<double, 3> local{};
      local[axis] = 1.0;
      std::array<double, 3> unit{};
      LocalToEcef(latitude, longitude, local[0], local[1], local[2], 0.0, 0.0, 0.0, unit[0],
                  unit[1], unit[2]);
      const auto image = Apply(packed, unit);
      for (int i = 0; i < 3; ++i) EXPECT_NEAR(image[i], variances[axis] * unit[i], 1e-15);
    }
  }
}

}  // namespace
}  // namespace trovisk
