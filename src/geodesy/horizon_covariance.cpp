// Horizon standard deviations to an earth-centred covariance: the sum over
// the three horizon axes of the variance times the axis's outer product.
#include "geodesy/horizon_covariance.h"

#include <cmath>

namespace trovisk {

std::array<double, 6> HorizonToEcefCovariance(double latitude, double longitude, double sd_east,
                                              double sd_north, double sd_up) {
  const double sin_lat = std::sin(latitude), cos_lat = std::cos(latitude);
  const double sin_lon = std::sin(longitude), cos_lon = std::cos(longitude);
  const double axes[3][3] = {
      {-sin_lon, cos_lon, 0.0},                           // east
      {-sin_lat * cos_lon, -sin_lat * sin_lon, cos_lat},  // north
      {cos_lat * cos_lon, cos_lat * sin_lon, sin_lat},    // up
  };
  const double variances[3] = {sd_east * sd_east, sd_north * sd_north, sd_up * sd_up};
  std::array<double, 6> packed{};
  std::size_t slot = 0;
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column <= row; ++column) {
      double sum = 0.0;
      for (int axis = 0; axis < 3; ++axis) {
        sum += variances[axis] * axes[axis][row] * axes[axis][column];
      }
      packed[slot++] = sum;
    }
  }
  return packed;
}

}  // namespace trovisk
