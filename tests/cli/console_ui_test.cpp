// The console's answers: chosen on the command line, asked on a terminal,
// or taken without one, and always said on the console.
#include "cli/console_ui.h"

#include <gtest/gtest.h>

#include <sstream>

#include "base/message_table.h"
#include "base/status.h"
#include "cli/exit_status.h"

namespace trovisk {
namespace {

struct Console {
  explicit Console(ConsoleSettings settings, const std::string& typed = "")
      : in(typed), ui(settings, in, out) {}
  std::istringstream in;
  std::ostringstream out;
  ConsoleUi ui;
};

ConsoleSettings Settings(QuestionPolicy questions, bool interactive) {
  ConsoleSettings settings;
  settings.questions = questions;
  settings.interactive = interactive;
  return settings;
}

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

TEST(ConsoleUi, YesNoQuestionsAreAnsweredAsChosen) {
  struct Case {
    const char* what;
    QuestionPolicy policy;
    bool interactive;
    const char* typed;
    Answer first, second;
    std::size_t warnings;
  };
  const Case kCases[] = {
      {"--yes", QuestionPolicy::kYes, true, "n\nn\n", Answer::kYes, Answer::kYes, 0},
      {"--no", QuestionPolicy::kNo, false, "", Answer::kNo, Answer::kNo, 0},
      {"no terminal", QuestionPolicy::kAsk, false, "n\nn\n", Answer::kYes, Answer::kYes, 1},
      {"typed", QuestionPolicy::kAsk, true, " Y \nno\n", Answer::kYes, Answer::kNo, 0},
      {"typed again after junk", QuestionPolicy::kAsk, true, "maybe\n\nyes\nN\n", Answer::kYes,
       Answer::kNo, 0},
      {"input ends", QuestionPolicy::kAsk, true, "y\n", Answer::kYes, Answer::kNo, 0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    Console console(Settings(c.policy, c.interactive), c.typed);
    std::string question = FormatMessageText(kMsgCodeNotSupported, {7, "XY"});
    EXPECT_EQ(console.ui.ShowMessage(kMsgCodeNotSupported, question, Buttons::kYesNo), c.first);
    EXPECT_EQ(console.ui.ShowMessage(kMsgCodeNotSupported, question, Buttons::kYesNo), c.second);
    std::string shown = console.out.str();
    EXPECT_EQ(Count(shown, question), 2u) << "every question is shown";
    EXPECT_EQ(Count(shown, "trovisk: warning: no terminal"), c.warnings) << shown;
  }
}

MergeOffer Offer() {
  MergeOffer offer;
  offer.first = {"CP1", "iron pin", 5000.0, 6000.0, 100.0};
  offer.second = {"CP1A", "", 5000.0123, 6000.004, 100.0};
  offer.separation = 0.013;
  return offer;
}

TEST(ConsoleUi, MergeOffersAreAnsweredAsChosen) {
  struct Case {
    const char* what;
    MergePolicy policy;
    bool interactive;
    const char* typed;
    MergeDecision decision;
    bool keep_first;
  };
  const Case kCases[] = {
      {"--merge same", MergePolicy::kSame, false, "", MergeDecision::kSame, true},
      {"--merge different", MergePolicy::kDifferent, true, "1\n", MergeDecision::kDifferent, true},
      {"--merge cancel", MergePolicy::kCancel, true, "1\n", MergeDecision::kCancel, true},
      {"no terminal", MergePolicy::kAsk, false, "1\n", MergeDecision::kDifferent, true},
      {"keep the second", MergePolicy::kAsk, true, "x\n2\n", MergeDecision::kSame, false},
      {"keep the first", MergePolicy::kAsk, true, "1\n", MergeDecision::kSame, true},
      {"typed different", MergePolicy::kAsk, true, "D\n", MergeDecision::kDifferent, true},
      {"typed cancel", MergePolicy::kAsk, true, "cancel\n", MergeDecision::kCancel, true},
      {"input ends", MergePolicy::kAsk, true, "", MergeDecision::kCancel, true},
      {"same for the rest, keep 1", MergePolicy::kAsk, true, "s1\n",
       MergeDecision::kSameForAllRemaining, true},
      {"same for the rest, keep 2", MergePolicy::kAsk, true, "S 2\n",
       MergeDecision::kSameForAllRemaining, false},
      {"different for the rest", MergePolicy::kAsk, true, "dx\nDA\n",
       MergeDecision::kDifferentForAllRemaining, true},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    ConsoleSettings settings;
    settings.merges = c.policy;
    settings.interactive = c.interactive;
    Console console(settings, c.typed);
    MergeAnswer answer = console.ui.AskMerge(Offer());
    EXPECT_EQ(answer.decision, c.decision);
    if (answer.decision == MergeDecision::kSame ||
        answer.decision == MergeDecision::kSameForAllRemaining) {
      EXPECT_EQ(answer.keep_first, c.keep_first);
    }
    std::string shown = console.out.str();
    EXPECT_NE(shown.find("CP1A"), std::string::npos) << "the offer is not shown: " << shown;
    EXPECT_NE(shown.find("0.013 m"), std::string::npos) << shown;
  }

  // On a terminal both stations are shown with their coordinates.
  ConsoleSettings settings;
  settings.interactive = true;
  Console console(settings, "d\n");
  console.ui.AskMerge(Offer());
  EXPECT_NE(console.out.str().find("2: CP1A  N 5000.0123  E 6000.0040  Elev 100.0000"),
            std::string::npos)
      << console.out.str();

  // The group the pair belongs to, and how much of it is left.
  MergeOffer grouped = Offer();
  grouped.group_stations = 5;
  grouped.group_pairs_left = 3;
  Console group_console(settings, "d\n");
  group_console.ui.AskMerge(grouped);
  EXPECT_NE(group_console.out.str().find("Group of 5 stations: 3 pairs remain."), std::string::npos)
      << group_console.out.str();

  // Without one, the warning comes once for many offers.
  settings.interactive = false;
  Console quiet_console(settings);
  for (int i = 0; i < 3; ++i) quiet_console.ui.AskMerge(Offer());
  EXPECT_EQ(Count(quiet_console.out.str(), "trovisk: warning:"), 1u);
}

TEST(ConsoleUi, MergeChoicesAreReadAsTyped) {
  struct Case {
    const char* typed;  // as ReadAnswer leaves it: trimmed, lower case
    bool known;
    MergeDecision decision;
    bool keep_first;
  };
  const Case kCases[] = {
      {"1", true, MergeDecision::kSame, true},
      {"2", true, MergeDecision::kSame, false},
      {"d", true, MergeDecision::kDifferent, true},
      {"different", true, MergeDecision::kDifferent, true},
      {"c", true, MergeDecision::kCancel, true},
      {"cancel", true, MergeDecision::kCancel, true},
      {"s1", true, MergeDecision::kSameForAllRemaining, true},
      {"s2", true, MergeDecision::kSameForAllRemaining, false},
      {"da", true, MergeDecision::kDifferentForAllRemaining, true},
      {"s", false, MergeDecision::kDifferent, true},
      {"s3", false, MergeDecision::kDifferent, true},
      {"3", false, MergeDecision::kDifferent, true},
      {"", false, MergeDecision::kDifferent, true},
      {"dd", false, MergeDecision::kDifferent, true},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.typed);
    MergeAnswer answer;
    EXPECT_EQ(ParseMergeChoice(c.typed, answer), c.known);
    if (!c.known) continue;
    EXPECT_EQ(answer.decision, c.decision);
    if (c.decision == MergeDecision::kSame || c.decision == MergeDecision::kSameForAllRemaining) {
      EXPECT_EQ(answer.keep_first, c.keep_first);
    }
  }
}

TEST(ConsoleUi, QuietHidesOnlyTheSuccessMessage) {
  ConsoleSettings settings;
  settings.quiet = true;
  Console console(settings);
  console.ui.ShowMessage(kMsgSuccess, "Success - the results are in out.txt.", Buttons::kOk);
  console.ui.ShowMessage(kMsgSuccessWithApprox, "Success - with 3 stations", Buttons::kOk);
  console.ui.ShowMessage(kMsgCannotOpen, "Cannot open file in.rw5", Buttons::kOk);
  console.ui.Warn("job.rw5:12: zenith angle beyond 180 degrees");
  EXPECT_EQ(console.out.str(),
            "Cannot open file in.rw5\n"
            "trovisk: warning: job.rw5:12: zenith angle beyond 180 degrees\n");
}

TEST(ConsoleUi, NamesFromTheFileCannotDriveTheTerminal) {
  EXPECT_EQ(Printable("CP\x1b[2J1\r\x7f"), "CP?[2J1??");
  EXPECT_EQ(Printable("line one\n\tline two"), "line one\n\tline two");
  EXPECT_EQ(Printable("Punkt M\xc3\xbcller"), "Punkt M\xc3\xbcller");  // UTF-8 kept
}

TEST(ExitStatus, FollowsTheFinalMessage) {
  struct Case {
    Status status;
    int message_id;
    int expected;
  };
  const Case kCases[] = {
      {Status::kOk, kMsgSuccess, 0},
      {Status::kOk, kMsgSuccessWithApprox, 0},
      {Status::kCancelled, kMsgCancelled, 3},
      {Status::kCannotStart, kMsgCannotOpen, 1},
      {Status::kCannotStart, kMsgNoInputName, 1},
      {Status::kWriteError, kMsgWriteError, 1},
      {Status::kReadError, kMsgReadError, 1},
      {Status::kInvalidOptions, 0, 2},
      {Status::kOk, 0, 1},  // no success message: not a success
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::to_string(static_cast<int>(c.status)) + "/" + std::to_string(c.message_id));
    ConversionOutcome outcome;
    outcome.status = c.status;
    outcome.message_id = c.message_id;
    EXPECT_EQ(ExitStatusFor(outcome), c.expected);
  }
}

}  // namespace
}  // namespace trovisk
