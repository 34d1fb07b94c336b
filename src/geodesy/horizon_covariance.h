// The uncertainty of a position given in its own horizon (east, north, up)
// turned into earth-centred terms.
#pragma once

#include <array>

namespace trovisk {

/// The covariance of a point at latitude and longitude (radians) whose east,
/// north and up errors are independent with the given standard deviations
/// (metres), as earth-centred terms in square metres: the packed lower
/// triangle XX, XY, YY, XZ, YZ, ZZ.
std::array<double, 6> HorizonToEcefCovariance(double latitude, double longitude, double sd_east,
                                              double sd_north, double sd_up);

}  // namespace trovisk
