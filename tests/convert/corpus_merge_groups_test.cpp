// A real traverse with check shots on every mark: how many merge dialogs a
// run raises when each group is settled at its first offer.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "convert/conversion.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

namespace trovisk {
namespace {

std::filesystem::path CorpusDir() {
  if (const char* dir = std::getenv("TROVISK_CORPUS_DIR")) return dir;
  return TROVISK_CORPUS_DIR;
}

struct TraverseRun {
  testing::ScriptedUi ui;
  ConversionOutcome outcome;
  std::size_t offers = 0;
  std::size_t groups_ended = 0;  // offers that were the last open pair of their group
};

// Converts the traverse with approximate coordinates from mark 104, every
// merge offer answered `answer`.
void ConvertTraverse(const std::filesystem::path& file, MergeDecision answer, TraverseRun& run) {
  testing::TempDir dir;
  ConverterOptions options;
  options.input_file = file.string();
  options.output_file = dir.File("trav19leg.txt");
  options.compute_approx_nee = true;
  options.seed_name = "104";
  run.ui.answers = {Answer::kYes};  // the seed's coordinates from the file
  run.ui.merge_answer_when_dry = {answer, true};
  SurveyData data;
  run.outcome = RunConversion(options, run.ui, data);
  run.offers = run.ui.merge_offers.size();
  for (const MergeOffer& offer : run.ui.merge_offers) {
    if (offer.group_pairs_left == 1) ++run.groups_ended;
  }
}

TEST(CorpusMergeGroups, OneDialogPerGroupWhenTheFirstAnswerCoversTheRest) {
  const std::filesystem::path file = CorpusDir() / "tops-trav19leg.rw5";
  if (!std::filesystem::exists(file)) GTEST_SKIP() << "no corpus file " << file;
  struct Case {
    const char* what;
    MergeDecision answer;
  };
  const Case cases[] = {
      {"pair by pair", MergeDecision::kDifferent},
      {"different for all remaining", MergeDecision::kDifferentForAllRemaining},
  };
  TraverseRun runs[2];
  for (std::size_t i = 0; i < 2; ++i) {
    SCOPED_TRACE(cases[i].what);
    ConvertTraverse(file, cases[i].answer, runs[i]);
    EXPECT_EQ(runs[i].outcome.status, Status::kOk);
  }
  const TraverseRun& pairwise = runs[0];
  const TraverseRun& grouped = runs[1];
  // Answered pair by pair, each group's offers count down to its last pair.
  ASSERT_GT(pairwise.groups_ended, 19u);  // at least one group per traverse mark
  EXPECT_EQ(grouped.offers, pairwise.groups_ended);
  EXPECT_LT(grouped.offers * 5, pairwise.offers);
  RecordProperty("offers_pair_by_pair", std::to_string(pairwise.offers));
  RecordProperty("offers_different_for_all_remaining", std::to_string(grouped.offers));
  std::printf("merge offers: %zu pair by pair, %zu with \"different for all remaining\"\n",
              pairwise.offers, grouped.offers);
}

}  // namespace
}  // namespace trovisk
