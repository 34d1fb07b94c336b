// Approximate coordinates on a map grid: a shot measured on the ground lands
// where the grid puts the mark, once the distance is reduced by the grid's
// scale and the height of the line; the plane at the seed misses it.
#include <gtest/gtest.h>

#include <cmath>

#include "approx/approximate_coordinates.h"
#include "approx/network_builder.h"
#include "geodesy/constants.h"
#include "geodesy/grid_projection.h"
#include "support/scripted_ui.h"

#ifdef TROVISK_HAVE_GEOGRAPHICLIB
#include <GeographicLib/Geodesic.hpp>
#endif

namespace trovisk {
namespace {

#ifdef TROVISK_HAVE_GEOGRAPHICLIB
struct Mark {
  double latitude = 0.0;  // degrees
  double longitude = 0.0;
  double north = 0.0;  // grid metres
  double east = 0.0;
};

TEST(ApproximateOnGrid, AGroundShotLandsWhereTheGridPutsTheMark) {
  // UTM zone 19N near its central meridian (scale 0.9996) at 1000 m: a grid
  // metre is 557 ppm shorter than a ground metre there.
  const GridSystem* utm = FindGridSystem(32619);
  ASSERT_NE(utm, nullptr);
  const GridProjection grid = PrepareGridProjection(*utm);
  const GeographicLib::Geodesic& wgs84 = GeographicLib::Geodesic::WGS84();
  constexpr double kHeight = 1000.0;
  struct Case {
    const char* what;
    double azimuth_to_target;  // degrees, geodetic
    double ground_distance;    // metres, horizontal at the marks' height
  };
  const Case cases[] = {
      {"north-east, 1.2 km", 60.0, 1200.0},
      {"south, 2 km", 185.0, 2000.0},
      {"west, 800 m", 275.0, 800.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Mark seed{45.0, -69.1};
    Mark backsight;
    Mark target;
    // Along the ellipsoid: the ground distance shrunk to it by the earth's
    // mean radius at 45 degrees, sqrt(M N).
    const double f = wgs84.Flattening();
    const double e2 = f * (2.0 - f);
    const double radius = wgs84.EquatorialRadius() * std::sqrt(1.0 - e2) / (1.0 - e2 * 0.5);
    wgs84.Direct(seed.latitude, seed.longitude, 0.0, 1000.0, backsight.latitude,
                 backsight.longitude);
    wgs84.Direct(seed.latitude, seed.longitude, c.azimuth_to_target,
                 c.ground_distance * radius / (radius + kHeight), target.latitude,
                 target.longitude);
    for (Mark* m : {&seed, &backsight, &target}) {
      GridForward(grid, m->latitude / kDegreesPerRadian, m->longitude / kDegreesPerRadian, m->east,
                  m->north);
    }
    LocalFrame frame =
        MakeLocalFrame(grid.a, grid.e2, seed.latitude / kDegreesPerRadian,
                       seed.longitude / kDegreesPerRadian, kHeight, seed.north, seed.east, kHeight);
    frame.grid = &grid;
    testing::NetworkBuilder net(frame);
    net.instrument_height = net.target_height = 0.0;
    net.Station("S", seed.north, seed.east, kHeight);
    net.Station("B", backsight.north, backsight.east, kHeight);
    net.Station("T", target.north, target.east, kHeight);
    for (const char* known : {"S", "B"}) {
      net.KnownLocal(known);
      net.KnownGeodetic(known);
    }
    // The angle turned on the ground is the difference of the geodetic
    // azimuths; the distance is the ground's.
    ObservationRecord& shot = net.Angle("S", "B", "T");
    shot.horizontal_angle = c.azimuth_to_target / kDegreesPerRadian;
    shot.slope_distance = c.ground_distance;
    shot.zenith = kHalfPi;

    ApproximateInputs in;
    in.do_nee = in.do_geodetic = true;
    in.seed_name = "S";
    in.a = grid.a;
    in.e2 = grid.e2;
    in.file_has_nee = in.file_has_geodetic = true;
    in.file_north = seed.north;
    in.file_east = seed.east;
    in.file_elevation = kHeight;
    in.file_latitude = seed.latitude / kDegreesPerRadian;
    in.file_longitude = seed.longitude / kDegreesPerRadian;
    in.file_height = kHeight;
    in.grid = &grid;
    testing::ScriptedUi ui;
    SurveyData plane = net.data();  // the same job on the plane at the seed
    ComputeApproximateCoordinates(net.data(), in, ui, nullptr);
    in.grid = nullptr;
    ComputeApproximateCoordinates(plane, in, ui, nullptr);

    const StationRecord& on_grid = net.Record("T");
    ASSERT_TRUE(on_grid.has_nee);
    EXPECT_NEAR(on_grid.north, target.north, 0.003);
    EXPECT_NEAR(on_grid.east, target.east, 0.003);
    const StationRecord& on_plane = plane.stations[static_cast<std::size_t>(net.Index("T"))];
    EXPECT_GT(std::hypot(on_plane.north - target.north, on_plane.east - target.east),
              c.ground_distance * 400e-6);
  }
}
#endif

}  // namespace
}  // namespace trovisk
