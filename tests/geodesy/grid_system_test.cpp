// The grid table as a surveyor picks from it: by EPSG code, with its
// parameters in radians and metres and the unit its coordinates are written
// in, and whether a point lies in the system's area of use.
#include "geodesy/grid_system.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string_view>

namespace trovisk {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kUsSurveyFoot = 1200.0 / 3937.0;  // metres
constexpr double kFoot = 0.3048;                   // metres
constexpr double kTinyAngle = 1e-15;               // radians

double Rad(double degrees) { return degrees * kPi / 180.0; }
double Dms(double d, double m, double s) { return Rad(d + m / 60.0 + s / 3600.0); }

TEST(GridSystems, RowsAreInOrderOfCodeWithoutRepeats) {
  const auto rows = GridSystems();
  ASSERT_GT(rows.size(), 2000u);
  for (size_t i = 1; i < rows.size(); ++i) {
    EXPECT_LT(rows[i - 1].code, rows[i].code) << rows[i].name;
  }
}

TEST(GridSystems, FindsSystemsByCodeWithTheirDefiningValues) {
  struct Case {
    int code;
    std::string_view name;
    GridMethod method;
    double lat0, lon0, lat1, lat2, k0, false_easting, false_northing, unit;
    double inverse_flattening;
  };
  const Case cases[] = {
      {2953, "NAD83(CSRS) / New Brunswick Stereographic", GridMethod::kObliqueStereographic,
       Rad(46.5), Rad(-66.5), 0.0, 0.0, 0.999912, 2500000.0, 7500000.0, 1.0, 298.257222101},
      {32632, "WGS 84 / UTM zone 32N", GridMethod::kTransverseMercator, 0.0, Rad(9.0), 0.0, 0.0,
       0.9996, 500000.0, 0.0, 1.0, 298.257223563},
      // Parallels and origin given in packed degrees-minutes, false origin in US feet.
      {2229, "NAD83 / California zone 5 (ftUS)", GridMethod::kLambertTwoParallels, Dms(33, 30, 0),
       -Dms(118, 0, 0), Dms(35, 28, 0), Dms(34, 2, 0), 1.0, 6561666.667 * kUsSurveyFoot,
       1640416.667 * kUsSurveyFoot, kUsSurveyFoot, 298.257222101},
      // Clarke 1866, given by its axes.
      {26745, "NAD27 / California zone V", GridMethod::kLambertTwoParallels, Dms(33, 30, 0),
       -Dms(118, 0, 0), Dms(35, 28, 0), Dms(34, 2, 0), 1.0, 2000000.0 * kUsSurveyFoot, 0.0,
       kUsSurveyFoot, 294.978698213898},
      {2222, "NAD83 / Arizona East (ft)", GridMethod::kTransverseMercator, Dms(31, 0, 0),
       -Dms(110, 10, 0), 0.0, 0.0, 0.9999, 700000.0 * kFoot, 0.0, kFoot, 298.257222101},
      {3413, "WGS 84 / NSIDC Sea Ice Polar Stereographic North", GridMethod::kPolarStereographicB,
       Rad(70.0), Rad(-45.0), 0.0, 0.0, 1.0, 0.0, 0.0, 1.0, 298.257223563},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    const GridSystem* s = FindGridSystem(c.code);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->code, c.code);
    EXPECT_EQ(s->name, c.name);
    EXPECT_EQ(s->method, c.method);
    EXPECT_NEAR(s->lat0, c.lat0, kTinyAngle);
    EXPECT_NEAR(s->lon0, c.lon0, 4 * kTinyAngle);
    EXPECT_NEAR(s->lat1, c.lat1, kTinyAngle);
    EXPECT_NEAR(s->lat2, c.lat2, kTinyAngle);
    EXPECT_DOUBLE_EQ(s->k0, c.k0);
    // Values published to the thousandth of a foot.
    EXPECT_NEAR(s->false_easting, c.false_easting, 1e-3 * c.unit);
    EXPECT_NEAR(s->false_northing, c.false_northing, 1e-3 * c.unit);
    EXPECT_DOUBLE_EQ(s->unit, c.unit);
    EXPECT_NEAR(s->inverse_flattening, c.inverse_flattening, 1e-9);
    EXPECT_GT(s->a, 6378000.0);
  }
}

TEST(GridSystems, MissingCodesAreNotFound) {
  for (int code : {0, -1, 1, 2000, 4326, 999999}) {
    SCOPED_TRACE(code);
    EXPECT_EQ(FindGridSystem(code), nullptr);
  }
}

TEST(GridSystems, AreaOfUseHoldsItsPointsAndCrossesTheAntimeridian) {
  GridSystem island;  // a box from 170 E across the antimeridian to 170 W
  island.south = Rad(-20.0);
  island.north = Rad(-10.0);
  island.west = Rad(170.0);
  island.east = Rad(-170.0);
  GridSystem strip;  // an ordinary box
  strip.south = Rad(40.0);
  strip.north = Rad(50.0);
  strip.west = Rad(-70.0);
  strip.east = Rad(-60.0);
  struct Case {
    const char* what;
    const GridSystem* system;
    double lat_deg, lon_deg, margin_deg;
    bool inside;
  };
  const Case cases[] = {
      {"island, east of the antimeridian", &island, -15.0, 175.0, 0.0, true},
      {"island, west of the antimeridian", &island, -15.0, -175.0, 0.0, true},
      {"island, on the antimeridian", &island, -15.0, 180.0, 0.0, true},
      {"island, the other side of the earth", &island, -15.0, 0.0, 0.0, false},
      {"island, too far west", &island, -15.0, 165.0, 0.0, false},
      {"island, too far west but in the margin", &island, -15.0, 165.0, 6.0, true},
      {"island, north of it", &island, -5.0, 175.0, 0.0, false},
      {"strip, inside", &strip, 45.0, -65.0, 0.0, true},
      {"strip, on its corner", &strip, 40.0, -70.0, 0.0, true},
      {"strip, east of it", &strip, 45.0, -59.0, 0.0, false},
      {"strip, east of it in the margin", &strip, 45.0, -59.0, 1.5, true},
      {"strip, a turn round the earth", &strip, 45.0, -65.0 + 360.0, 0.0, true},
      {"strip, south of it", &strip, 39.0, -65.0, 0.0, false},
      {"strip, south of it in the margin", &strip, 39.0, -65.0, 1.5, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(InAreaOfUse(*c.system, Rad(c.lat_deg), Rad(c.lon_deg), Rad(c.margin_deg)), c.inside);
  }
}

}  // namespace
}  // namespace trovisk
