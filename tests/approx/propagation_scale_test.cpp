// A long traverse with a sideshot at every station: the propagation reaches
// its far end in one pass, without work growing with the square of its size.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <string>

#include "approx/propagation.h"
#include "geodesy/constants.h"
#include "geodesy/local_frame.h"

namespace trovisk {
namespace {

constexpr double kHorizontalTolerance = 0.005;

TEST(PropagationScaleTest, HundredThousandStationTraverseWithSideshots) {
  // Traverse stations T0..T49999 zigzag eastwards in 100 m legs turning
  // alternately 30 degrees left and right; every station shoots a sideshot
  // 20 m due north of itself. T0 and its backsight BS are known.
  constexpr int kLegs = 50000;
  SurveyData data;
  auto add = [&](const std::string& name) { return data.stations.FindOrAdd(name, kUnitMetres); };
  int backsight = add("BS");
  StationRecord& bs = data.stations[static_cast<std::size_t>(backsight)];
  bs.north = 0.0, bs.east = -100.0, bs.elevation = 50.0, bs.has_nee = true;
  std::vector<int> traverse(kLegs);
  std::vector<int> sideshots(kLegs);
  for (int i = 0; i < kLegs; ++i) {
    std::string number = std::to_string(i);
    traverse[static_cast<std::size_t>(i)] = add(std::string("T").append(number));
    sideshots[static_cast<std::size_t>(i)] = add(std::string("S").append(number));
  }
  StationRecord& t0 = data.stations[static_cast<std::size_t>(traverse[0])];
  t0.north = 0.0, t0.east = 0.0, t0.elevation = 50.0, t0.has_nee = true;
  data.observations.reserve(2 * kLegs + 1);
  const double leg_azimuth[2] = {kPi / 3.0, 2.0 * kPi / 3.0};  // 60 and 120 degrees
  for (int i = 0; i < kLegs; ++i) {
    // Back azimuth to the previous station, azimuth on to the next.
    double back = i == 0 ? 3.0 * kHalfPi : leg_azimuth[(i - 1) % 2] + kPi;
    double ahead = leg_azimuth[i % 2];
    auto observe = [&](int to, double azimuth, double distance) {
      ObservationRecord o;
      o.sequence = static_cast<std::int64_t>(data.observations.size());
      o.kind = ObservationKind::kHorizontalAngle;
      o.from = traverse[static_cast<std::size_t>(i)];
      o.backsight = i == 0 ? backsight : traverse[static_cast<std::size_t>(i - 1)];
      o.to = to;
      o.horizontal_angle = std::fmod(azimuth - back + 2.0 * kTwoPi, kTwoPi);
      o.zenith = kHalfPi;
      o.slope_distance = distance;
      data.observations.push_back(o);
    };
    observe(sideshots[static_cast<std::size_t>(i)], 0.0, 20.0);
    if (i + 1 < kLegs) observe(traverse[static_cast<std::size_t>(i + 1)], ahead, 100.0);
  }

  LocalFrame frame =
      MakeLocalFrame(6378137.0, 0.0066943799901413165, 0.8, -2.1, 100.0, 0.0, 0.0, 50.0);
  auto start = std::chrono::steady_clock::now();
  PropagationSummary summary = PropagateCoordinates(data, frame);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  RecordProperty("propagation_seconds", std::to_string(seconds));

  EXPECT_EQ(summary.fixed, 2 * kLegs - 1);
  EXPECT_EQ(summary.passes, 1);
  // Legs alternate 60 and 120 degrees: each pair of legs goes 173.2 m east.
  const StationRecord& last = data.stations[static_cast<std::size_t>(traverse.back())];
  const StationRecord& last_side = data.stations[static_cast<std::size_t>(sideshots.back())];
  ASSERT_TRUE(last.has_nee);
  double expected_east = (kLegs - 1) * 100.0 * std::sin(kPi / 3.0);
  EXPECT_NEAR(last.east, expected_east, kHorizontalTolerance);
  EXPECT_NEAR(last.north, 50.0, kHorizontalTolerance);  // odd leg count: one 60° leg unpaired
  EXPECT_NEAR(last_side.north, last.north + 20.0, kHorizontalTolerance);
}

}  // namespace
}  // namespace trovisk
