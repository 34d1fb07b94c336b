// Geoid separations between the job's points of both heights: a station on
// or between them takes theirs, one far from all takes none.
#include "geodesy/geoid_separation.h"

#include <gtest/gtest.h>

#include "geodesy/constants.h"

namespace trovisk {
namespace {

constexpr double kRadiansPerMetre = 1.0 / 6371000.0;  // along a meridian

TEST(GeoidSeparation, StationsTakeTheSeparationOfTheirNeighbours) {
  GeoidSeparations separations;
  const double lat = 46.0 / kDegreesPerRadian;
  const double lon = -66.0 / kDegreesPerRadian;
  // Two points 2 km apart on a meridian, and one a metre from the first,
  // which adds nothing.
  separations.Add(lat, lon, -20.0);
  separations.Add(lat + 2000.0 * kRadiansPerMetre, lon, -21.0);
  separations.Add(lat + 1.0 * kRadiansPerMetre, lon, 99.0);
  EXPECT_EQ(separations.size(), 2u);
  struct Case {
    const char* what;
    double metres_north;
    bool known;
    double separation;
  };
  const Case cases[] = {
      {"on the first point", 0.0, true, -20.0},
      {"half way", 1000.0, true, -20.5},
      {"a quarter of the way: weighted 9 to 1", 500.0, true, -20.1},
      {"7 km beyond the second, 9 km from the first", 9000.0, true,
       (-20.0 / 81.0 - 21.0 / 49.0) / (1.0 / 81.0 + 1.0 / 49.0)},
      {"beyond the reach of both", 2000.0 + kSeparationReach + 100.0, false, 0.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    double separation = 0.0;
    ASSERT_EQ(separations.At(lat + c.metres_north * kRadiansPerMetre, lon, separation), c.known);
    if (c.known) {
      EXPECT_NEAR(separation, c.separation, 1e-3);
    }
  }
  double none = 0.0;
  EXPECT_FALSE(GeoidSeparations().At(lat, lon, none));
}

}  // namespace
}  // namespace trovisk
