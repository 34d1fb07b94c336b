// The reader over the real collector files of the shared corpus.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "rw5/corpus_helper.h"
#include "rw5/parse_helper.h"

namespace trovisk {
namespace {

using testing::CorpusDir;
using testing::Dms;
using testing::kHundredthSecond;
using testing::kTenthMillimetre;
using testing::ParseCorpusFile;
using testing::Parsed;

constexpr double kUsFeet = 3.28083333333333;

// The observation made from the record on `line`.
const ObservationRecord* AtLine(const Parsed& p, int line) {
  for (const auto& o : p.data.observations) {
    if (o.line == line) return &o;
  }
  return nullptr;
}

class Corpus : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::is_directory(CorpusDir())) {
      GTEST_SKIP() << "no corpus at " << CorpusDir();
    }
  }
};

TEST_F(Corpus, EveryFileReadsWithoutAQuestion) {
  for (const auto& entry : std::filesystem::directory_iterator(CorpusDir())) {
    if (entry.path().extension() != ".rw5") continue;
    SCOPED_TRACE(entry.path().filename());
    Parsed p;
    ParseCorpusFile(entry.path().filename().string(), p);
    // Every code the collectors write is known, "GPS" and "G0" to "G4" included.
    EXPECT_TRUE(p.ui.messages.empty());
    auto observations = p.Observations();
    for (std::size_t i = 0; i < observations.size(); ++i) {
      const auto& o = observations[i];
      EXPECT_EQ(o.sequence, static_cast<std::int64_t>(i + 1));
      EXPECT_NE(o.kind, ObservationKind::kNone);
      EXPECT_LT(static_cast<std::size_t>(std::max({o.from, o.backsight, o.to})),
                p.data.stations.size());
      for (double v : {o.horizontal_angle, o.azimuth, o.zenith, o.slope_distance, o.dx}) {
        EXPECT_TRUE(std::isfinite(v));
      }
    }
  }
}

TEST_F(Corpus, TheCoordinatesTheCollectorStoredLastWin) {
  // 104 is stored at elevation 0 on lines 11 and 13; the collector's later
  // setups on it carry 517.439 US ft.
  Parsed traverse;
  ParseCorpusFile("tops-trav19leg.rw5", traverse);
  EXPECT_NEAR(traverse.Station("104").elevation * 3.28083333333333, 517.439, 0.0001);
  EXPECT_NE(std::find(traverse.ui.warnings.begin(), traverse.ui.warnings.end(),
                      "tops-trav19leg.rw5:25: '104' stored here lies 0.000 US ft across and "
                      "517.439 US ft in height from its north, east and elevation of lines 11 "
                      "and 13; the later ones are used"),
            traverse.ui.warnings.end());
  // 6006: "SP" (line 869), "--GS" of its "GPS" record (876), then the "OC"
  // occupied (923). 5389: an "SP" deleted on line 2628, stored again by
  // "GPS" and its "--GS" note.
  Parsed job;
  ParseCorpusFile("jl-test5.rw5", job);
  const StationRecord& occupied = job.Station("6006");
  EXPECT_NEAR(occupied.north, 7363380.72737, kTenthMillimetre);
  EXPECT_NEAR(occupied.east, 2534856.89371, kTenthMillimetre);
  EXPECT_NEAR(occupied.elevation, 24.738, kTenthMillimetre);
  const StationRecord& restored = job.Station("5389");
  EXPECT_NEAR(restored.north, 7363326.0425, kTenthMillimetre);
  EXPECT_NEAR(restored.east, 2534730.6887, kTenthMillimetre);
  std::size_t moves = 0;
  for (const std::string& warning : job.ui.warnings) {
    moves += warning.find("stored here lies") != std::string::npos;
  }
  EXPECT_EQ(moves, 3u);  // 6006 twice, 5389 once
}

TEST_F(Corpus, TraverseWithDirectionSets) {
  Parsed p;
  ParseCorpusFile("tops-trav19leg.rw5", p);
  EXPECT_EQ(p.line_counter, 1478);
  EXPECT_EQ(p.data.distance_units, 2);  // only from the note "--MO,AD0,UN2,..."
  // 81 setups with an empty azimuth; 74 set rounds, 77 sideshots and the
  // four garbled pointings to CK. (lines 547-548, 555-556), not usable; 76
  // round references and 42 backsight checks: the manual instrument's at
  // line 1398 measured neither zenith nor distance.
  EXPECT_EQ(p.OfKind(ObservationKind::kAzimuth).size(), 81u);
  auto angles = p.OfKind(ObservationKind::kHorizontalAngle);
  EXPECT_EQ(angles.size(), 155u);
  std::vector<int> rejected_lines;
  for (const auto& angle : angles) {
    if (!angle.rejected_because.empty()) rejected_lines.push_back(angle.line);
  }
  EXPECT_EQ(rejected_lines, (std::vector<int>{547, 548, 555, 556}));
  EXPECT_EQ(p.OfKind(ObservationKind::kZenithDistance).size(), 118u);
  EXPECT_EQ(AtLine(p, 1398), nullptr);
  EXPECT_EQ(p.Observations().size(), 354u);

  // Line 20: SS,OP104,FP1000,AR359.5959,ZE90.5404,SD1085.996 after a BD on 103 at 0.
  const ObservationRecord* check = AtLine(p, 20);
  ASSERT_NE(check, nullptr);
  EXPECT_EQ(p.Name(check->backsight), "103");
  EXPECT_NEAR(check->horizontal_angle, Dms(359, 59, 59), kHundredthSecond);
  EXPECT_NEAR(check->zenith, Dms(90, 54, 4), kHundredthSecond);
  EXPECT_NEAR(check->slope_distance, 1085.996 / kUsFeet, kTenthMillimetre);
  EXPECT_NEAR(check->instrument_height, 5.330 / kUsFeet, kTenthMillimetre);
  // Lines 42-47: 103 at 0°00'00" / 179°59'58" gives 359°59'59"; 105 at
  // 189°14'20" / 9°14'18" gives 189°14'19", so 189°14'20" from 103, with
  // zenith (89°22'29" + 360° - 270°37'19") / 2.
  const ObservationRecord* round = AtLine(p, 44);
  ASSERT_NE(round, nullptr);
  EXPECT_EQ(p.Name(round->to), "105");
  EXPECT_NEAR(round->horizontal_angle, Dms(189, 14, 20), kHundredthSecond);
  EXPECT_NEAR(round->zenith, Dms(89, 22, 35), kHundredthSecond);
  EXPECT_NEAR(round->slope_distance, 619.475 / kUsFeet, kTenthMillimetre);
  ASSERT_NE(AtLine(p, 42), nullptr);
  EXPECT_NEAR(AtLine(p, 42)->zenith, Dms(90, 54, 13.5), kHundredthSecond);
  // The corrupt set at 110 keeps its angle to "CK." but no zenith.
  const ObservationRecord* corrupt = AtLine(p, 547);
  ASSERT_NE(corrupt, nullptr);
  EXPECT_EQ(p.Name(corrupt->to), "CK.");
  EXPECT_TRUE(IsMissing(corrupt->zenith));
}

TEST_F(Corpus, SideshotsAgreeWithTheCollectorsCoordinates) {
  Parsed p;
  ParseCorpusFile("jl-ss.rw5", p);
  EXPECT_TRUE(p.ui.messages.empty());
  auto azimuths = p.OfKind(ObservationKind::kAzimuth);
  auto angles = p.OfKind(ObservationKind::kHorizontalAngle);
  ASSERT_EQ(azimuths.size(), 1u);
  ASSERT_EQ(angles.size(), 3u);
  EXPECT_EQ(p.OfKind(ObservationKind::kZenithDistance).size(), 1u);
  // BK,OP1,BPG1,BS18.5823 and SS,OP1,FP2,AR12.4721,ZE87.0237.
  EXPECT_NEAR(azimuths[0].azimuth, Dms(18, 58, 23), kHundredthSecond);
  EXPECT_NEAR(angles[0].horizontal_angle, Dms(12, 47, 21), kHundredthSecond);
  EXPECT_NEAR(angles[0].zenith, Dms(87, 2, 37), kHundredthSecond);

  // The collector's own coordinate file (jl-ss.crdb) holds the shot points 2,
  // 3 and 4 (N, E, Z), shot from 1 at 123/123/123.
  const double points[3][3] = {{125.638181, 124.633332, 124.160246},
                               {122.972846, 122.865774, 124.003884},
                               {120.047749, 119.02918, 124.138932}};
  const StationRecord& from = p.Station("1");
  for (std::size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(i + 2);
    const ObservationRecord& shot = angles[i];
    double azimuth = azimuths[0].azimuth + shot.horizontal_angle;
    double horizontal = shot.slope_distance * std::sin(shot.zenith);
    EXPECT_NEAR(from.north + horizontal * std::cos(azimuth), points[i][0], kTenthMillimetre);
    EXPECT_NEAR(from.east + horizontal * std::sin(azimuth), points[i][1], kTenthMillimetre);
    EXPECT_NEAR(from.elevation + shot.instrument_height +
                    shot.slope_distance * std::cos(shot.zenith) - shot.target_height,
                points[i][2], kTenthMillimetre);
  }
  // BP,PN967,LA45.153015028946,LN-66.034997236824,EL-10.4410 at the antenna,
  // AG2.0000 + PA0.1319 above the mark.
  const StationRecord& base = p.Station("967");
  ASSERT_TRUE(base.has_geodetic);
  EXPECT_NEAR(base.latitude, Dms(45, 15, 30.15028946), 4.85e-10);
  EXPECT_NEAR(base.longitude, -Dms(66, 3, 49.97236824), 4.85e-10);
  EXPECT_NEAR(base.height, -12.5729, kTenthMillimetre);
}

}  // namespace
}  // namespace trovisk
