// Finding the job's grid from points the collector stored both ways: the
// grid as it stands, the same grid moved by one offset, and no grid when the
// points disagree among themselves.
#include "convert/grid_choice.h"

#include <gtest/gtest.h>

#include <cmath>

#include "geodesy/constants.h"
#include "support/scripted_ui.h"

namespace trovisk {
namespace {

struct Offset {
  double north = 0.0;
  double east = 0.0;
};

// Twelve points over 3 km around Fredericton on the New Brunswick grid, the
// first six moved by `first`, the others by `second`.
StationList PointsOnTheGrid(Offset first, Offset second) {
  const GridProjection grid = PrepareGridProjection(*FindGridSystem(2953));
  StationList stations;
  for (int i = 0; i < 12; ++i) {
    const int index = stations.FindOrAdd("P" + std::to_string(i), kUnitMetres);
    StationRecord& s = stations[static_cast<std::size_t>(index)];
    s.latitude = (45.95 + 0.002 * i) / kDegreesPerRadian;
    s.longitude = (-66.65 + 0.003 * (i % 5)) / kDegreesPerRadian;
    s.height = 20.0;
    GridForward(grid, s.latitude, s.longitude, s.east, s.north);
    const Offset& moved = i < 6 ? first : second;
    s.north += moved.north;
    s.east += moved.east;
    s.elevation = 40.0;
    s.has_geodetic = s.has_nee = s.nee_from_grid_note = true;
  }
  return stations;
}

TEST(GridChoice, TheGridIsFoundAsItStandsOrMovedByOneOffset) {
  struct Case {
    const char* what;
    Offset first, second;
    bool found;
  } cases[] = {
      {"as it stands", {}, {}, true},
      {"moved by 0.5 m north, 0.3 m west", {0.5, -0.3}, {0.5, -0.3}, true},
      {"two bases, two offsets", {}, {1.6, 0.0}, false},
      {"moved 30 m: another grid", {30.0, 0.0}, {30.0, 0.0}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const StationList stations = PointsOnTheGrid(c.first, c.second);
    testing::ScriptedUi ui;
    const GridChoice choice = ChooseGrid(stations, 0, kUnitMetres, "job.rw5", ui);
    ASSERT_EQ(ui.information.size(), 1u);
    ASSERT_EQ(choice.system != nullptr, c.found) << ui.information[0];
    if (!c.found) continue;
    EXPECT_NE(ui.information[0].find("EPSG:2953"), std::string::npos) << ui.information[0];
    for (std::size_t i = 1; i < stations.size(); ++i) {
      double east = 0.0;
      double north = 0.0;
      GridForward(choice.projection, stations[i].latitude, stations[i].longitude, east, north);
      EXPECT_NEAR(north, stations[i].north, 1e-4);
      EXPECT_NEAR(east, stations[i].east, 1e-4);
    }
    // Ellipsoidal heights 20 m below the elevations: the separation is -20 m.
    double separation = 0.0;
    ASSERT_TRUE(choice.separations.At(stations[3].latitude, stations[3].longitude, separation));
    EXPECT_NEAR(separation, -20.0, 1e-9);
  }
}

TEST(GridChoice, ANamedGridIsTakenEvenWhenThePointsMissIt) {
  const StationList stations = PointsOnTheGrid({}, {1.6, 0.0});
  testing::ScriptedUi ui;
  const GridChoice choice = ChooseGrid(stations, 2953, kUnitMetres, "job.rw5", ui);
  ASSERT_NE(choice.system, nullptr);
  ASSERT_EQ(ui.warnings.size(), 1u);
  EXPECT_NE(ui.warnings[0].find("misses the collector's grid coordinates of 12 points by up to "
                                "1.6000 m"),
            std::string::npos)
      << ui.warnings[0];
}

}  // namespace
}  // namespace trovisk
