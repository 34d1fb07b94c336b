// Seed-station lookup: which sets it hands out and what it tells the user.
#include "rw5/seed_lookup.h"

#include <gtest/gtest.h>

#include "base/message_table.h"
#include "support/scripted_ui.h"

namespace trovisk {
namespace {

StationRecord Station(const std::string& name, bool nee, bool geodetic) {
  StationRecord s;
  s.name = name;
  if (nee) {
    s.has_nee = true;
    s.north = 5000.25;
    s.east = 1000.5;
    s.elevation = 99.75;
  }
  if (geodetic) {
    s.has_geodetic = true;
    s.latitude = 0.7;
    s.longitude = -2.1;
    s.height = 120.125;
  }
  return s;
}

TEST(SeedLookup, HandsOutOnlyTheSetsTheStationHas) {
  StationList stations;
  stations.Add(Station("NEEONLY", true, false));
  stations.Add(Station("GEOONLY", false, true));
  stations.Add(Station("BOTH", true, true));
  stations.Add(Station("NONE", false, false));

  struct Case {
    const char* name;
    bool nee, geodetic;
  };
  const Case cases[] = {{"NEEONLY", true, false},
                        {"GEOONLY", false, true},
                        {"BOTH", true, true},
                        {"NONE", false, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testing::ScriptedUi ui;
    // Values already in `out` must survive for a set the station lacks.
    SeedCoordinates out;
    out.north = out.east = out.elevation = -1.0;
    out.latitude = out.longitude = out.height = -1.0;
    ASSERT_TRUE(LookUpSeedStation(stations, c.name, "job.rw5", ui, out));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(out.has_nee, c.nee);
    EXPECT_EQ(out.north, c.nee ? 5000.25 : -1.0);
    EXPECT_EQ(out.east, c.nee ? 1000.5 : -1.0);
    EXPECT_EQ(out.elevation, c.nee ? 99.75 : -1.0);
    EXPECT_EQ(out.has_geodetic, c.geodetic);
    EXPECT_EQ(out.latitude, c.geodetic ? 0.7 : -1.0);
    EXPECT_EQ(out.longitude, c.geodetic ? -2.1 : -1.0);
    EXPECT_EQ(out.height, c.geodetic ? 120.125 : -1.0);
  }
}

TEST(SeedLookup, AbsentNameIsReportedOnceWithTheFileName) {
  StationList stations;
  stations.Add(Station("P1", true, true));
  // Names match exactly: case and trailing blanks count.
  for (const char* name : {"P2", "p1", "P1 ", ""}) {
    SCOPED_TRACE(name);
    testing::ScriptedUi ui;
    SeedCoordinates out;
    out.has_nee = true;  // a flag set before the call is not cleared
    out.north = 7.0;
    EXPECT_FALSE(LookUpSeedStation(stations, name, "C:\\jobs\\day1.rw5", ui, out));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].id, kMsgStationNotFound);
    EXPECT_EQ(ui.messages[0].buttons, Buttons::kOk);
    EXPECT_EQ(ui.messages[0].text,
              "Cannot find station '" + std::string(name) + "' in file C:\\jobs\\day1.rw5");
    EXPECT_TRUE(out.has_nee);
    EXPECT_EQ(out.north, 7.0);
    EXPECT_FALSE(out.has_geodetic);
  }
}

}  // namespace
}  // namespace trovisk
