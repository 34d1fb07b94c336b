// The console's side of the user interface: messages on standard error,
// questions asked on a terminal or answered by the command line's choice.
#pragma once

#include <istream>
#include <ostream>
#include <string>

#include "base/user_interface.h"

namespace trovisk {

// How Yes/No questions are answered: asked, or always Yes / always No.
enum class QuestionPolicy { kAsk, kYes, kNo };
// How station-merge offers are answered.
enum class MergePolicy { kAsk, kSame, kDifferent, kCancel };

struct ConsoleSettings {
  QuestionPolicy questions = QuestionPolicy::kAsk;
  MergePolicy merges = MergePolicy::kAsk;
  bool quiet = false;        // no success message and no end-of-run counts
  bool interactive = false;  // someone at a terminal can answer
};

class ConsoleUi : public UserInterface {
 public:
  // Answers are read from `in`; everything is written to `out` (standard
  // error in the program).
  ConsoleUi(const ConsoleSettings& settings, std::istream& in, std::ostream& out);

  Answer ShowMessage(int message_id, const std::string& text, Buttons buttons) override;
  MergeAnswer AskMerge(const MergeOffer& offer) override;
  void SetBusy(bool) override {}  // a console run shows no busy indicator
  void Warn(const std::string& text) override;
  // On standard error like the warnings, unless quiet.
  void Inform(const std::string& text) override;

 private:
  Answer AskYesNo();
  MergeAnswer AskMergeChoice();

  ConsoleSettings settings_;
  std::istream& in_;
  std::ostream& out_;
  bool told_questions_answered_ = false;
  bool told_merges_answered_ = false;
};

// A typed answer to a merge offer, already trimmed and in lower case: "1" or
// "2" (same, keeping that station), "d" (different), "c" (cancel), "s1" or
// "s2" (same for all remaining pairs of the group, keeping that station) or
// "da" (different for all remaining). False for anything else.
bool ParseMergeChoice(const std::string& typed, MergeAnswer& answer);

// True when both standard input and standard error are a terminal.
bool ConsoleIsInteractive();

// The text with control characters (but newlines and tabs) shown as '?', so
// that names from a data file cannot drive the terminal.
std::string Printable(const std::string& text);

}  // namespace trovisk
