// The approximate-coordinates step: the seed prompts, the carry between local
// and geodetic coordinates, the count of stations left out and the report.
#include "approx/approximate_coordinates.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <sstream>
#include <string>

#include "approx/network_builder.h"
#include "base/message_table.h"
#include "geodesy/angles.h"
#include "geodesy/ellipsoid.h"
#include "geodesy/local_frame.h"
#include "support/scripted_ui.h"

#ifdef TROVISK_HAVE_GEOGRAPHICLIB
#include <GeographicLib/Geocentric.hpp>
#include <GeographicLib/LocalCartesian.hpp>
#endif

namespace trovisk {
namespace {

using testing::NetworkBuilder;
using testing::ScriptedUi;

constexpr double kA = 6378137.0;
constexpr double kE2 = 0.0066943799901413165;
constexpr double kInverseFlattening = 298.257223563;
constexpr double kMillimetre = 1e-3;
constexpr double kTenthMillimetre = 1e-4;
constexpr double kHorizontalTolerance = 0.005;
constexpr double kVerticalTolerance = 0.010;

// Entered seed values, metres: packed latitude 45°30'15", longitude -120°22'33".
ApproximateInputs EnteredSeed() {
  ApproximateInputs in;
  in.do_geodetic = in.do_nee = true;
  in.seed_name = "S";
  in.seed_latitude_dms = 45.3015;
  in.seed_longitude_dms = -120.2233;
  in.seed_height = 180.0;
  in.seed_north = 5000.0;
  in.seed_east = 5000.0;
  in.seed_elevation = 100.0;
  in.a = kA;
  in.e2 = kE2;
  return in;
}

LocalFrame EnteredFrame() {
  return MakeLocalFrame(kA, kE2, DmsToRadians(45.3015), DmsToRadians(-120.2233), 180.0, 5000.0,
                        5000.0, 100.0);
}

// The seed S oriented by a backsight azimuth on B, a traverse leg to P1 and a
// sideshot P2 from P1.
void SeededTraverse(NetworkBuilder& net) {
  net.Station("S", 5000, 5000, 100);
  net.Station("B", 5200, 4700, 104);
  net.Station("P1", 5200, 5150, 102);
  net.Station("P2", 5260, 5400, 99);
  net.AzimuthTo("S", "B", false, "BK");
  net.ZenithAndDistance("S", "B");
  net.Angle("S", "B", "P1");
  net.Angle("P1", "S", "P2");
}

TEST(ApproximateCoordinatesTest, AsksForTheFileSeedValuesOnlyWhenTheyExist) {
  struct Case {
    const char* name;
    bool file_nee, file_geodetic, do_nee, do_geodetic;
    std::deque<Answer> answers;
    std::vector<int> shown;
    bool expect_file_nee, expect_file_geodetic;
  } cases[] = {
      {"both in the file, both taken",
       true,
       true,
       true,
       true,
       {Answer::kYes, Answer::kYes},
       {kMsgUseFileNee, kMsgUseFileGeodetic},
       true,
       true},
      {"both in the file, both declined",
       true,
       true,
       true,
       true,
       {Answer::kNo, Answer::kNo},
       {kMsgUseFileNee, kMsgUseFileGeodetic},
       false,
       false},
      {"local taken, geodetic declined",
       true,
       true,
       true,
       true,
       {Answer::kYes, Answer::kNo},
       {kMsgUseFileNee, kMsgUseFileGeodetic},
       true,
       false},
      {"none in the file", false, false, true, true, {}, {}, false, false},
      {"local values not entered: the file's are used unasked",
       true,
       false,
       false,
       true,
       {},
       {},
       true,
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    NetworkBuilder net(EnteredFrame());
    SeededTraverse(net);
    ApproximateInputs in = EnteredSeed();
    in.do_nee = c.do_nee;
    in.do_geodetic = c.do_geodetic;
    in.file_has_nee = c.file_nee;
    in.file_north = 1000.0;
    in.file_east = 2000.0;
    in.file_elevation = 50.0;
    in.file_has_geodetic = c.file_geodetic;
    in.file_latitude = DmsToRadians(44.0);
    in.file_longitude = DmsToRadians(-119.0);
    in.file_height = 70.0;
    ScriptedUi ui;
    ui.answers = c.answers;
    ComputeApproximateCoordinates(net.data(), in, ui, nullptr);

    EXPECT_EQ(ui.MessageIds(), c.shown);
    for (const auto& shown : ui.messages) {
      EXPECT_EQ(shown.buttons, Buttons::kYesNo);
      EXPECT_NE(shown.text.find("'S'"), std::string::npos);
    }
    const StationRecord& seed = net.Record("S");
    EXPECT_NEAR(seed.north, c.expect_file_nee ? 1000.0 : 5000.0, kTenthMillimetre);
    EXPECT_NEAR(seed.elevation, c.expect_file_nee ? 50.0 : 100.0, kTenthMillimetre);
    EXPECT_NEAR(seed.latitude, DmsToRadians(c.expect_file_geodetic ? 44.0 : 45.3015), 1e-12);
    EXPECT_NEAR(seed.height, c.expect_file_geodetic ? 70.0 : 180.0, kTenthMillimetre);
    // The leg from the seed follows whichever local values it took.
    double shift = c.expect_file_nee ? 1000.0 - 5000.0 : 0.0;
    EXPECT_NEAR(net.Record("P1").north, 5200.0 + shift, kHorizontalTolerance);
  }
}

TEST(ApproximateCoordinatesTest, FeetSeedValuesAreDividedByTheUnitFactor) {
  NetworkBuilder net(EnteredFrame());
  SeededTraverse(net);
  ApproximateInputs in = EnteredSeed();
  in.unit_factor = kUsSurveyFeetPerMetre;
  // 5000 m and 100 m and 180 m in US survey feet, multiplied out by hand.
  in.seed_north = in.seed_east = 16404.16666666665;
  in.seed_elevation = 328.083333333333;
  in.seed_height = 590.5499999999994;
  ScriptedUi ui;
  StationReport report;
  ComputeApproximateCoordinates(net.data(), in, ui, &report);
  for (const char* name : {"S", "B", "P1", "P2"}) {
    SCOPED_TRACE(name);
    const NetworkBuilder::Truth& t = net.TrueCoordinates(name);
    EXPECT_NEAR(net.Record(name).north, t.north, kHorizontalTolerance);
    EXPECT_NEAR(net.Record(name).east, t.east, kHorizontalTolerance);
    EXPECT_NEAR(net.Record(name).elevation, t.elevation, kVerticalTolerance);
  }
  EXPECT_NEAR(net.Record("S").height, 180.0, kTenthMillimetre);

  // The report gives lengths in the file's unit: P1 north 5200 m is 17060.3333 US ft.
  std::ostringstream out;
  WriteStationReport(out, net.data().stations, report, kUnitUsSurveyFeet);
  EXPECT_NE(out.str().find("Lengths in US survey feet."), std::string::npos);
  EXPECT_NE(out.str().find("17060.3333"), std::string::npos) << out.str();
}

TEST(ApproximateCoordinatesTest, LocalOnlyStationGetsGeodeticValuesThatLeadBack) {
  NetworkBuilder net(EnteredFrame());
  SeededTraverse(net);
  struct Case {
    const char* name;
    double north, east, elevation;
  } cases[] = {
      {"L near", 5300, 4800, 120}, {"L far", 14000, -3000, 900}, {"L low", 4000, 6000, -30}};
  for (const Case& c : cases) {
    net.Station(c.name, c.north, c.east, c.elevation);
    net.KnownLocal(c.name);
  }
  ScriptedUi ui;
  ComputeApproximateCoordinates(net.data(), EnteredSeed(), ui, nullptr);
  const LocalFrame seed = EnteredFrame();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const StationRecord& s = net.Record(c.name);
    ASSERT_TRUE(s.has_geodetic);
    double x, y, z, e, n, u;
    GeodeticToEcef(kA, kE2, s.latitude, s.longitude, s.height, x, y, z);
    EcefDeltaToLocal(seed.seed_latitude, seed.seed_longitude, x - seed.seed_x, y - seed.seed_y,
                     z - seed.seed_z, e, n, u);
    EXPECT_NEAR(5000.0 + n, c.north, kMillimetre);
    EXPECT_NEAR(5000.0 + e, c.east, kMillimetre);
    EXPECT_NEAR(100.0 + u, c.elevation, kMillimetre);
#ifdef TROVISK_HAVE_GEOGRAPHICLIB
    // The same through an independent library's local tangent frame.
    GeographicLib::LocalCartesian frame(45.0 + 30.0 / 60 + 15.0 / 3600,
                                        -(120.0 + 22.0 / 60 + 33.0 / 3600), 180.0,
                                        GeographicLib::Geocentric(kA, 1.0 / kInverseFlattening));
    const double deg = 180.0 / kPi;
    frame.Forward(s.latitude * deg, s.longitude * deg, s.height, e, n, u);
    EXPECT_NEAR(5000.0 + n, c.north, kMillimetre);
    EXPECT_NEAR(5000.0 + e, c.east, kMillimetre);
    EXPECT_NEAR(100.0 + u, c.elevation, kMillimetre);
#endif
  }
}

TEST(ApproximateCoordinatesTest, DecliningTheFileLocalSeedRecomputesLocalFromGeodetic) {
#ifndef TROVISK_HAVE_GEOGRAPHICLIB
  GTEST_SKIP() << "needs GeographicLib for the independent geodetic positions";
#else
  // K carries the file's local values (a frame where the seed is at
  // 1000/2000/50) and geodetic values placing it 100 m north of the seed and
  // 3 m above, made with an independent library.
  const double deg = 180.0 / kPi;
  GeographicLib::LocalCartesian frame(45.0 + 30.0 / 60 + 15.0 / 3600,
                                      -(120.0 + 22.0 / 60 + 33.0 / 3600), 180.0,
                                      GeographicLib::Geocentric(kA, 1.0 / kInverseFlattening));
  double lat = 0, lon = 0, h = 0;
  frame.Reverse(0.0, 100.0, 3.0, lat, lon, h);
  for (Answer answer : {Answer::kYes, Answer::kNo}) {
    SCOPED_TRACE(answer == Answer::kYes ? "file values taken" : "file values declined");
    SurveyData data;
    int seed = data.stations.FindOrAdd("S", kUnitMetres);
    int k = data.stations.FindOrAdd("K", kUnitMetres);
    StationRecord& s = data.stations[static_cast<std::size_t>(seed)];
    s.north = 1000.0, s.east = 2000.0, s.elevation = 50.0, s.has_nee = true;
    StationRecord& kr = data.stations[static_cast<std::size_t>(k)];
    kr.north = 1100.0, kr.east = 2000.0, kr.elevation = 53.0, kr.has_nee = true;
    kr.latitude = lat / deg, kr.longitude = lon / deg, kr.height = h, kr.has_geodetic = true;
    ApproximateInputs in = EnteredSeed();
    in.file_has_nee = true;
    in.file_north = 1000.0, in.file_east = 2000.0, in.file_elevation = 50.0;
    ScriptedUi ui;
    ui.answers = {answer};
    ComputeApproximateCoordinates(data, in, ui, nullptr);
    const StationRecord& out = data.stations[static_cast<std::size_t>(k)];
    bool taken = answer == Answer::kYes;
    EXPECT_NEAR(out.north, taken ? 1100.0 : 5100.0, kMillimetre);
    EXPECT_NEAR(out.east, taken ? 2000.0 : 5000.0, kMillimetre);
    EXPECT_NEAR(out.elevation, taken ? 53.0 : 103.0, kMillimetre);
  }
#endif
}

TEST(ApproximateCoordinatesTest, CountAndReportAgreeOnStationsLeftOut) {
  NetworkBuilder net(EnteredFrame());
  SeededTraverse(net);
  net.Station("I1", 6000, 6000, 100);  // an island measured only among itself
  net.Station("I2", 6100, 6000, 100);
  net.Station("LONE", 7000, 7000, 100);  // named but never observed
  net.Station("P1-dup", 5200, 5150, 102);
  net.Angle("I1", "I2", "I2");
  net.Record("P1-dup").merge_link = net.Index("P1");
  ScriptedUi ui;
  StationReport report;
  int count = ComputeApproximateCoordinates(net.data(), EnteredSeed(), ui, &report);

  int without_geodetic = 0;
  for (std::size_t s = 1; s < net.data().stations.size(); ++s) {
    const StationRecord& station = net.data().stations[s];
    if (station.merge_link == kNotMerged && !station.has_geodetic) ++without_geodetic;
  }
  EXPECT_EQ(count, 3);
  EXPECT_EQ(count, without_geodetic);
  EXPECT_EQ(report.uncomputed_count, count);
  for (const char* name : {"I1", "I2", "LONE"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(net.Record(name).north, 0.0);
    EXPECT_EQ(net.Record(name).latitude, 0.0);
  }

  std::ostringstream out;
  WriteStationReport(out, net.data().stations, report, kUnitMetres);
  const std::string text = out.str();
  EXPECT_NE(text.find("Stations without approximate coordinates: 3\n"), std::string::npos);
  EXPECT_NE(text.find("no link to the seed"), std::string::npos);
  EXPECT_NE(text.find("no observation reaches it"), std::string::npos);
  EXPECT_NE(text.find("merged into P1"), std::string::npos);
  EXPECT_NE(text.find("polar from S (observation 3, line 13, SS)"), std::string::npos) << text;
}

}  // namespace
}  // namespace trovisk

namespace trovisk {
namespace {

TEST(ApproximateCoordinatesTest, GarbageObservationsNeitherCrashNorWriteNonFiniteCoordinates) {
  const double values[] = {kNullValue, std::nan(""), INFINITY, -INFINITY, 1e300, -1e300, 0.0,
                           -5.0,       1e-300,       0.7,      2.0,       100.0, 3.5e6};
  const ObservationKind kinds[] = {ObservationKind::kNone,
                                   ObservationKind::kHorizontalAngle,
                                   ObservationKind::kAzimuth,
                                   ObservationKind::kGpsVector,
                                   ObservationKind::kZenithDistance,
                                   ObservationKind::kHorizontalDistance,
                                   ObservationKind::kHeightDifference};
  std::mt19937 random(2024);
  auto pick = [&](auto& array) { return array[random() % (sizeof(array) / sizeof(array[0]))]; };
  for (int round = 0; round < 20; ++round) {
    SCOPED_TRACE(round);
    SurveyData data;
    for (int s = 0; s < 40; ++s) {
      data.stations.FindOrAdd(std::string("P").append(std::to_string(s)), 1);
    }
    // Known stations, some at absurd or broken coordinates; the broken ones
    // stay as the file gave them and are not checked below.
    std::vector<bool> broken(data.stations.size(), false);
    for (std::size_t s = 1; s < data.stations.size(); s += 7) {
      StationRecord& known = data.stations[s];
      known.north = pick(values), known.east = 100.0 * static_cast<double>(s);
      known.elevation = 10.0, known.has_nee = true;
      broken[s] = !std::isfinite(known.north);
    }
    data.stations[5].merge_link = 9;
    data.stations[9].merge_link = 5;  // a cycle of merge links
    for (int o = 0; o < 600; ++o) {
      ObservationRecord obs;
      obs.sequence = o + 1;
      obs.kind = pick(kinds);
      // Out-of-range and negative indices appear too.
      obs.from = static_cast<std::int32_t>(random() % 46) - 2;
      obs.to = static_cast<std::int32_t>(random() % 46) - 2;
      obs.backsight = static_cast<std::int32_t>(random() % 46) - 2;
      for (double* v : {&obs.horizontal_angle, &obs.azimuth, &obs.zenith, &obs.slope_distance,
                        &obs.horizontal_distance, &obs.height_difference, &obs.instrument_height,
                        &obs.target_height}) {
        *v = pick(values);
      }
      ObservationDetail& vector = data.observations.Detail(obs);
      for (double* v : {&vector.dx, &vector.dy, &vector.dz}) *v = pick(values);
      data.observations.push_back(obs);
    }
    ApproximateInputs in = EnteredSeed();
    in.seed_name = "P3";
    ScriptedUi ui;
    StationReport report;
    int count = ComputeApproximateCoordinates(data, in, ui, &report);
    int without_geodetic = 0;
    for (std::size_t s = 1; s < data.stations.size(); ++s) {
      const StationRecord& st = data.stations[s];
      if (st.merge_link == kNotMerged && !st.has_geodetic) ++without_geodetic;
      if (broken[s]) continue;
      if (st.has_nee) {
        EXPECT_TRUE(std::isfinite(st.north) && std::isfinite(st.east) &&
                    std::isfinite(st.elevation))
            << st.name;
      }
      if (st.has_geodetic) {
        EXPECT_TRUE(std::isfinite(st.latitude) && std::isfinite(st.longitude) &&
                    std::isfinite(st.height))
            << st.name;
      }
    }
    EXPECT_EQ(count, without_geodetic);
    EXPECT_EQ(report.uncomputed_count, count);
  }
}

}  // namespace
}  // namespace trovisk
