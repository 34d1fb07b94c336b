// The reader over the real collector files of the shared corpus.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "rw5/parse_helper.h"

namespace trovisk {
namespace {

using testing::Dms;
using testing::kHundredthSecond;
using testing::kTenthMillimetre;

constexpr double kUsFeet = 3.28083333333333;

// The corpus folder: the environment may point elsewhere than the build's default.
std::filesystem::path CorpusDir() {
  if (const char* dir = std::getenv("TROVISK_CORPUS_DIR")) return dir;
  return TROVISK_CORPUS_DIR;
}

// Both passes over one corpus file, answering Yes to every question.
bool ParseCorpusFile(const std::string& name, testing::Parsed& p) {
  std::filesystem::path path = CorpusDir() / name;
  std::ifstream input(path, std::ios::binary);
  if (!input) return false;
  ReaderOptions options;
  options.input_name = name;
  ReadStationCoordinates(input, options, p.data, p.ui, p.line_counter, p.status);
  ParseRecords(input, options, p.data, p.ui, p.line_counter, p.status);
  return true;
}

bool HaveCorpus() { return std::filesystem::is_directory(CorpusDir()); }

TEST(Corpus, EveryFileReadsWithoutQuestionsBeyondUnsupportedCodes) {
  if (!HaveCorpus()) {
    GTEST_SKIP() << "no corpus at " << CorpusDir();
  }
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(CorpusDir())) {
    if (entry.path().extension() != ".rw5") continue;
    ++files;
    std::string name = entry.path().filename().string();
    SCOPED_TRACE(name);
    testing::Parsed p;
    ASSERT_TRUE(ParseCorpusFile(name, p));
    EXPECT_EQ(p.status, 0);
    EXPECT_GT(p.line_counter, 0);
    for (const auto& shown : p.ui.messages) EXPECT_EQ(shown.id, 2121);
    auto observations = p.Observations();
    for (std::size_t i = 0; i < observations.size(); ++i) {
      const auto& o = observations[i];
      EXPECT_EQ(o.sequence, static_cast<std::int64_t>(i + 1));
      EXPECT_NE(o.kind, ObservationKind::kNone);
      for (int station : {o.from, o.backsight, o.to}) {
        EXPECT_TRUE(station >= 0 && static_cast<std::size_t>(station) < p.data.stations.size());
      }
      for (double v : {o.horizontal_angle, o.azimuth, o.zenith, o.slope_distance,
                       o.horizontal_distance, o.height_difference, o.dx, o.dy, o.dz}) {
        EXPECT_TRUE(std::isfinite(v));
      }
      if (IsPresent(o.zenith)) {
        EXPECT_TRUE(o.zenith >= 0 && o.zenith <= 3.141592653589793);
      }
    }
  }
  EXPECT_GT(files, 0);
}

TEST(Corpus, TraverseWithDirectionSets) {
  if (!HaveCorpus()) {
    GTEST_SKIP() << "no corpus at " << CorpusDir();
  }
  testing::Parsed p;
  ASSERT_TRUE(ParseCorpusFile("tops-trav19leg.rw5", p));
  ASSERT_EQ(p.status, 0);
  EXPECT_EQ(p.line_counter, 1478);
  // Units only from the note "--MO,AD0,UN2,...".
  EXPECT_EQ(p.data.distance_units, 2);
  // 81 setups (their azimuth field empty); 76 set rounds and 77 sideshots;
  // 76 round references and 43 backsight checks.
  EXPECT_EQ(p.OfKind(ObservationKind::kAzimuth).size(), 81u);
  EXPECT_EQ(p.OfKind(ObservationKind::kHorizontalAngle).size(), 153u);
  EXPECT_EQ(p.OfKind(ObservationKind::kZenithDistance).size(), 119u);
  EXPECT_EQ(p.Observations().size(), 353u);
  for (const auto& o : p.OfKind(ObservationKind::kAzimuth)) EXPECT_TRUE(IsMissing(o.azimuth));

  const ObservationRecord* check = nullptr;
  const ObservationRecord* first_round = nullptr;
  const ObservationRecord* first_reference = nullptr;
  for (const auto& o : p.data.observations) {
    if (o.line == 20) check = &o;
    if (o.line == 44) first_round = &o;
    if (o.line == 42) first_reference = &o;
  }
  // Line 20: SS,OP104,FP1000,AR359.5959,ZE90.5404,SD1085.996 after a BD on 103 at 0.
  ASSERT_NE(check, nullptr);
  EXPECT_EQ(p.Name(check->backsight), "103");
  EXPECT_NEAR(check->horizontal_angle, Dms(359, 59, 59), kHundredthSecond);
  EXPECT_NEAR(check->zenith, Dms(90, 54, 4), kHundredthSecond);
  EXPECT_NEAR(check->slope_distance, 1085.996 / kUsFeet, kTenthMillimetre);
  EXPECT_NEAR(check->instrument_height, 5.330 / kUsFeet, kTenthMillimetre);
  EXPECT_NEAR(check->target_height, 5.690 / kUsFeet, kTenthMillimetre);
  // Lines 42-47: reference 0°00'00" / 179°59'58" -> 359°59'59"; 105 at
  // 189°14'20" / 9°14'18" -> 189°14'19", so 189°14'20" from 103.
  ASSERT_NE(first_round, nullptr);
  EXPECT_EQ(p.Name(first_round->to), "105");
  EXPECT_NEAR(first_round->horizontal_angle, Dms(189, 14, 20), kHundredthSecond);
  EXPECT_NEAR(first_round->zenith, Dms(89, 22, 35), kHundredthSecond);
  EXPECT_NEAR(first_round->slope_distance, 619.475 / kUsFeet, kTenthMillimetre);
  ASSERT_NE(first_reference, nullptr);
  EXPECT_NEAR(first_reference->zenith, Dms(90, 54, 13.5), kHundredthSecond);
  // The corrupt set keeps its angle to "CK." but no zenith.
  int corrupt = p.data.stations.Find("CK.");
  ASSERT_NE(corrupt, 0);
  for (const auto& o : p.Observations()) {
    if (o.to == corrupt) {
      EXPECT_TRUE(IsMissing(o.zenith));
    }
  }
  // The first coordinates of 104 are those of its SP record.
  const StationRecord& s104 = p.Station("104");
  EXPECT_NEAR(s104.east, 21085.86 / kUsFeet, kTenthMillimetre);
  EXPECT_NEAR(s104.elevation, 0.0, kTenthMillimetre);
}

TEST(Corpus, SideshotsAgreeWithTheCollectorsCoordinates) {
  if (!HaveCorpus()) {
    GTEST_SKIP() << "no corpus at " << CorpusDir();
  }
  testing::Parsed p;
  ASSERT_TRUE(ParseCorpusFile("jl-ss.rw5", p));
  ASSERT_EQ(p.status, 0);
  EXPECT_EQ(p.ui.MessageIds(), std::vector<int>{2121});  // "GPS"
  auto azimuths = p.OfKind(ObservationKind::kAzimuth);
  auto angles = p.OfKind(ObservationKind::kHorizontalAngle);
  ASSERT_EQ(azimuths.size(), 1u);
  ASSERT_EQ(angles.size(), 3u);
  EXPECT_EQ(p.OfKind(ObservationKind::kZenithDistance).size(), 1u);
  // BK,OP1,BPG1,BS18.5823 and SS,OP1,FP2,AR12.4721,ZE87.0237,SD3.107000.
  EXPECT_NEAR(azimuths[0].azimuth, Dms(18, 58, 23), kHundredthSecond);
  EXPECT_NEAR(angles[0].horizontal_angle, Dms(12, 47, 21), kHundredthSecond);
  EXPECT_NEAR(angles[0].zenith, Dms(87, 2, 37), kHundredthSecond);

  // The collector's coordinate file holds the shot points, from station 1
  // at 123/123/123 with HI 1.0 and HR 0 (N, E, Z).
  struct Point {
    const char* name;
    double north, east, height;
  };
  const Point points[] = {{"2", 125.638181, 124.633332, 124.160246},
                          {"3", 122.972846, 122.865774, 124.003884},
                          {"4", 120.047749, 119.02918, 124.138932}};
  const StationRecord& from = p.Station("1");
  ASSERT_TRUE(from.has_nee);
  for (const auto& point : points) {
    SCOPED_TRACE(point.name);
    const ObservationRecord* shot = nullptr;
    for (const auto& o : angles) {
      if (p.Name(o.to) == point.name) shot = &o;
    }
    ASSERT_NE(shot, nullptr);
    double azimuth = azimuths[0].azimuth + shot->horizontal_angle;
    double horizontal = shot->slope_distance * std::sin(shot->zenith);
    EXPECT_NEAR(from.north + horizontal * std::cos(azimuth), point.north, kTenthMillimetre);
    EXPECT_NEAR(from.east + horizontal * std::sin(azimuth), point.east, kTenthMillimetre);
    EXPECT_NEAR(from.elevation + shot->instrument_height +
                    shot->slope_distance * std::cos(shot->zenith) - shot->target_height,
                point.height, kTenthMillimetre);
  }
  // The base point: LA45.153015028946, LN-66.034997236824, EL-10.4410 at
  // the antenna, AG2.0000 + PA0.1319 above the mark.
  const StationRecord& base = p.Station("967");
  ASSERT_TRUE(base.has_geodetic);
  EXPECT_NEAR(base.latitude, Dms(45, 15, 30.15028946), 4.85e-10);
  EXPECT_NEAR(base.longitude, -Dms(66, 3, 49.97236824), 4.85e-10);
  EXPECT_NEAR(base.height, -12.5729, kTenthMillimetre);
}

}  // namespace
}  // namespace trovisk
