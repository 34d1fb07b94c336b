// The conversion run: its final messages, its statuses and what it leaves on disk.
#include "convert/conversion.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "base/message_table.h"
#include "base/status.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

namespace trovisk {
namespace {

using testing::ScriptedUi;
using testing::TempDir;

const char* const kSmallJob =
    "MO,AD0,UN1,SF1.00000000,EC0,EO0.0,AU0\n"
    "OC,OP1,N 1000.000,E 2000.000,EL50.000\n"
    "LS,HI1.500,HR2.000\n"
    "BK,OP1,BP2,BS0.0000,BC0.0000\n"
    "SS,OP1,FP3,AR90.0000,ZE90.0000,SD100.000\n";

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

struct Job {
  TempDir dir;
  ConverterOptions options;
  ScriptedUi ui;
  SurveyData data;

  explicit Job(const std::string& rw5) {
    options.input_file = dir.Write("job.rw5", rw5);
    options.output_file = dir.File("job.txt");
  }
  ConversionOutcome Run() { return RunConversion(options, ui, data); }
};

TEST(Conversion, FinalMessageTellsWhetherApproximateCoordinatesWereComputed) {
  struct Case {
    const char* name;
    bool approx_geodetic;
    const char* seed;
    std::vector<int> messages;
  } cases[] = {
      {"no approximate coordinates asked", false, "1", {kMsgSuccess}},
      {"seed not in the file", true, "99", {kMsgStationNotFound, kMsgSuccess}},
      {"seed found", true, "1", {kMsgSuccessWithApprox}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Job job(kSmallJob);
    job.options.compute_approx_geodetic = c.approx_geodetic;
    job.options.seed_name = c.seed;
    job.ui.answers = {Answer::kNo};  // keep the entered seed coordinates
    ConversionOutcome outcome = job.Run();
    EXPECT_EQ(outcome.status, Status::kOk);
    EXPECT_EQ(job.ui.MessageIds(), c.messages);
    EXPECT_EQ(outcome.message_id, c.messages.back());
  }
}

TEST(Conversion, ApproximateCountIsTheStationsLeftWithoutCoordinates) {
  // Station 9 is named by nothing that ties it to the seed.
  Job job(std::string(kSmallJob) + "SP,PN8,N 0,E 0\nBK,OP9,BP10\n");
  job.options.compute_approx_geodetic = true;
  job.options.seed_name = "1";
  job.ui.answers = {Answer::kYes};
  ConversionOutcome outcome = job.Run();
  ASSERT_EQ(outcome.message_id, kMsgSuccessWithApprox);
  int without = 0;
  for (std::size_t i = 1; i < job.data.stations.size(); ++i) {
    if (!job.data.stations[i].has_geodetic) ++without;
  }
  EXPECT_EQ(outcome.uncomputed_count, without);
  // Backsight 2 has no distance; 9 and 10 have no link to the seed.
  EXPECT_EQ(outcome.uncomputed_count, 3);
  EXPECT_NE(job.ui.messages.back().text.find("could not be computed for 3 stations"),
            std::string::npos);
}

TEST(Conversion, TheRunSaysWhatItWroteAndWarnsWhenItWroteNothing) {
  struct Case {
    const char* name;
    std::string rw5;
    std::vector<std::size_t> counts;  // angles, azimuths, zenith/distance, HD, CE, GPS, out
    bool nothing_warned;
  } cases[] = {
      // The backsight's given azimuth is written commented out.
      {"a sideshot", kSmallJob, {1, 0, 0, 0, 0, 0, 1}, false},
      {"a horizontal distance and a height difference",
       std::string(kSmallJob) + "SS,OP1,FP4,AR10.0000,HD50.000,CE-1.000\n",
       {2, 0, 0, 1, 1, 0, 1},
       false},
      {"coordinates only", "SP,PN1,N 1,E 2,EL3\nSP,PN2,N 4,E 5,EL6\n", {0, 0, 0, 0, 0, 0, 0}, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Job job(c.rw5);
    ASSERT_EQ(job.Run().message_id, kMsgSuccess);
    const char* kinds[] = {"horizontal angles written: ",
                           "azimuths written: ",
                           "zeniths and slope distances without an angle written: ",
                           "horizontal distances written: ",
                           "height differences written: ",
                           "GPS vectors written: ",
                           "observations written commented out (computed or not usable): "};
    std::vector<std::string> expected;
    for (std::size_t i = 0; i < c.counts.size(); ++i) {
      expected.push_back(kinds[i] + std::to_string(c.counts[i]));
    }
    EXPECT_EQ(job.ui.information, expected);
    const bool warned =
        !job.ui.warnings.empty() &&
        job.ui.warnings.back() ==
            job.options.input_file +
                ": no observation written: the file holds no supported measurement records "
                "(angles, distances, GPS vectors, or GPS positions under a base)";
    EXPECT_EQ(warned, c.nothing_warned);
  }
}

TEST(Conversion, FilesThatCannotBeOpenedAreNamed) {
  Job job(kSmallJob);
  job.options.output_file = job.dir.File("no-such-folder/out.txt");
  ConversionOutcome outcome = job.Run();
  EXPECT_EQ(outcome.message_id, kMsgCannotOpen);
  EXPECT_EQ(job.ui.messages.back().text, "Cannot open file " + job.options.output_file);

  Job missing(kSmallJob);
  missing.options.input_file = missing.dir.File("absent.rw5");
  EXPECT_EQ(missing.Run().message_id, kMsgCannotOpen);
  EXPECT_EQ(missing.ui.messages.back().text, "Cannot open file " + missing.options.input_file);
}

TEST(Conversion, RefusesToWriteOverTheInputFile) {
  Job job(kSmallJob);
  // The same file by another path.
  job.options.output_file = job.dir.File(".") + "/job.rw5";
  ConversionOutcome outcome = job.Run();
  EXPECT_EQ(outcome.message_id, kMsgOutputIsInput);
  EXPECT_EQ(ReadFile(job.options.input_file), kSmallJob);
}

TEST(Conversion, CancelledRunLeavesTheEarlierOutputUntouched) {
  Job job(std::string(kSmallJob) + "XX,unknown record\n");
  std::ofstream(job.options.output_file) << "earlier good output\n";
  job.ui.answers = {Answer::kNo};  // do not skip the unknown code
  ConversionOutcome outcome = job.Run();
  EXPECT_EQ(outcome.message_id, kMsgCancelled);
  EXPECT_EQ(ReadFile(job.options.output_file), "earlier good output\n");
  // No temporary file is left beside it.
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(job.dir.path())) {
    (void)entry;
    ++files;
  }
  EXPECT_EQ(files, 2);
}

TEST(Conversion, UnsupportedCodeIsAskedOncePerRun) {
  Job job(std::string(kSmallJob) + "XX,one\nXX,two\nYY,three\n");
  ConversionOutcome outcome = job.Run();
  EXPECT_EQ(outcome.message_id, kMsgSuccess);
  std::vector<int> expected = {kMsgCodeNotSupported, kMsgCodeNotSupported, kMsgSuccess};
  EXPECT_EQ(job.ui.MessageIds(), expected);
  EXPECT_NE(job.ui.messages[0].text.find("line '6', code 'XX'"), std::string::npos);
}

TEST(Conversion, OnlyLocalCoordinatesWritesEachStationOnce) {
  Job job(kSmallJob);
  job.options.compute_approx_nee = true;
  job.options.seed_name = "1";
  job.ui.answers = {Answer::kYes};
  ASSERT_EQ(job.Run().message_id, kMsgSuccessWithApprox);
  std::string text = ReadFile(job.options.output_file);
  std::size_t first = text.find("$STATE_ELEV_COMPACT; 3;");
  ASSERT_NE(first, std::string::npos);
  EXPECT_EQ(text.find("$STATE_ELEV_COMPACT; 3;", first + 1), std::string::npos);
  // Station 3 lies 100 m east of station 1, the instrument and target heights cancel
  // to -0.5 m: its approximate coordinates are computed from the sideshot.
  EXPECT_NE(text.find("$STATE_ELEV_COMPACT; 3; 1000.00000; 2100.00000; 49.50000"),
            std::string::npos)
      << text;
}

TEST(Conversion, EnteredDatumOutOfRangeFallsBackToWgs84) {
  ConverterOptions options;
  options.datum_name = "";
  EXPECT_EQ(ChooseWorkingDatum(options).name, "WGS 84");
  options.datum_name = "GRS 80";
  options.datum_inverse_flattening = 298.257222101;
  WorkingDatum grs80 = ChooseWorkingDatum(options);
  EXPECT_EQ(grs80.name, "GRS 80");
  // GRS 80: b = 6356752.314140 m, e2 = 0.00669438002290.
  EXPECT_NEAR(grs80.b, 6356752.314140, 1e-4);
  EXPECT_NEAR(grs80.e2, 0.00669438002290, 1e-14);
}

}  // namespace
}  // namespace trovisk

namespace trovisk {
namespace {

TEST(Conversion, PairCalledDifferentIsNotOfferedAgain) {
  // 1 cm apart; after the approximate coordinates both also have geodetic
  // positions, and the merge runs again with its geodetic check.
  Job job(
      "OC,OPA1,N 1000.000,E 2000.000,EL100.000\n"
      "SP,PNA2,N 1000.010,E 2000.000,EL100.000\n");
  job.options.compute_approx_geodetic = true;
  job.options.seed_name = "A1";
  job.ui.answers = {Answer::kYes};
  job.ui.merge_answers = {MergeAnswer{MergeDecision::kDifferent, true}};
  ASSERT_EQ(job.Run().message_id, kMsgSuccessWithApprox);
  ASSERT_EQ(job.ui.merge_offers.size(), 1u);
  EXPECT_EQ(job.ui.merge_offers[0].first.name, "A1");
  EXPECT_DOUBLE_EQ(job.ui.merge_offers[0].separation, 0.01);
}

TEST(Conversion, MergedStationIsNamedByTheSurvivorEverywhere) {
  Job job(
      "OC,OPA1,N 1000.000,E 2000.000,EL100.000\n"
      "SP,PNA2,N 1000.010,E 2000.000,EL100.000\n"
      "LS,HI1.5,HR1.5\n"
      "BK,OPA2,BPB,BS0.0000\n"
      "SS,OPA2,FPC,AR10.0000,ZE90.0000,SD5.000\n");
  job.ui.merge_answers = {MergeAnswer{MergeDecision::kSame, true}};  // keep A1
  ASSERT_EQ(job.Run().message_id, kMsgSuccess);
  std::string text = ReadFile(job.options.output_file);
  EXPECT_EQ(text.find("A2"), std::string::npos) << text;
  EXPECT_NE(text.find("$HOR_COMPACT; A1; B; C;"), std::string::npos);
}

}  // namespace
}  // namespace trovisk
