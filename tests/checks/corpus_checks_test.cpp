// The field checks on the real collector files: the faults the collectors'
// own notes show are found, with their lines.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "checks/field_checks.h"
#include "checks/orientation.h"
#include "geodesy/constants.h"
#include "rw5/corpus_helper.h"

namespace trovisk {
namespace {

using testing::CorpusDir;
using testing::ParseCorpusFile;
using testing::Parsed;

class CorpusChecks : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::is_directory(CorpusDir())) GTEST_SKIP() << "no corpus";
  }
};

TEST_F(CorpusChecks, TheCollectorsOwnFaultsAreFlaggedWithTheirLines) {
  struct Case {
    const char* file;
    CheckKind kind;
    int line;
    const char* fragment;
  } cases[] = {
      // The stale circle reading of line 940, settled by the shot of line 952.
      {"jl-test5.rw5", CheckKind::kOrientation, 940,
       "rotated by 78\xC2\xB0"
       "38'48\""},
      // 5279 shot again with the same zenith and distance at HR 1.633.
      {"jl-test5.rw5", CheckKind::kRepeatedPointing, 656, "target height was probably left over"},
      // The collector's own backsight check shows a delta Z of 0.321.
      {"jl-test5.rw5", CheckKind::kBacksight, 926, "height difference 0.322 m"},
      // The first set to 1009 inherits HR 5.50 where the second uses 5.33.
      {"tops-trav19leg.rw5", CheckKind::kRepeatedPointing, 163, "from 5.500 US ft to 5.330 US ft"},
      // A dummy setup at 123/123/123 shot to a point 1.10 m away.
      {"jl-ss.rw5", CheckKind::kBacksight, 39, "horizontal distance -7789947.601 m"},
      // The resection's own elevation residual is 0.2824.
      {"jl-test4.rw5", CheckKind::kCheckShot, 911, "height difference -0.283 m"},
  };
  // Checks that pass, with what they measured.
  struct Passing {
    const char* file;
    CheckKind kind;
    const char* fragment;
  } passing[] = {
      // The traverse round from 104 closes on 103 (occupied as 1087) and
      // 104 (pointed at as 1093): the collector's own closing shots.
      {"tops-trav19leg.rw5", CheckKind::kMisclosure,
       "over 18 legs, 13862.145 US ft, to '1087' on '103': linear misclosure 0.046 US ft"},
      {"tops-trav19leg.rw5", CheckKind::kMisclosure,
       "1:304101, angular misclosure 0\xC2\xB0"
       "00'09\""},
  };
  for (const auto& c : passing) {
    SCOPED_TRACE(c.fragment);
    Parsed p;
    ParseCorpusFile(c.file, p);
    bool found = false;
    for (const CheckFinding& f :
         RunFieldChecks(p.data, KnownStations(p.data.stations), nullptr, CheckTolerances{}, true)) {
      found |= !f.flagged && f.kind == c.kind && f.text.find(c.fragment) != std::string::npos;
    }
    EXPECT_TRUE(found);
  }
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.file) + ":" + std::to_string(c.line));
    Parsed p;
    ParseCorpusFile(c.file, p);
    const auto known = KnownStations(p.data.stations);
    std::vector<CheckFinding> findings = SettleOrientations(p.data, CheckTolerances{});
    for (CheckFinding& f : RunFieldChecks(p.data, known, nullptr, CheckTolerances{}, true)) {
      findings.push_back(f);
    }
    bool found = false;
    for (const CheckFinding& f : findings) {
      found |= f.flagged && f.kind == c.kind && f.line == c.line &&
               f.text.find(c.fragment) != std::string::npos;
    }
    EXPECT_TRUE(found);
  }
}

TEST_F(CorpusChecks, TheShotOntoTheBacksightMarkReadsZeroOnceTheOrientationIsSettled) {
  Parsed p;
  ParseCorpusFile("jl-test5.rw5", p);
  SettleOrientations(p.data, CheckTolerances{});
  bool seen = false;
  for (const auto& o : p.Observations()) {
    if (o.line != 952 || o.kind != ObservationKind::kHorizontalAngle) continue;
    seen = true;
    // 340°09'08" read against 340°09'06": 2" from the backsight.
    EXPECT_NEAR(o.horizontal_angle * 206264.80624709636, 2.0, 0.01);
  }
  EXPECT_TRUE(seen);
}

}  // namespace
}  // namespace trovisk
