// A user interface for tests: records everything the core shows and answers
// from queues (Yes, and merge_answer_when_dry, "different" unless set, when a
// queue runs dry).
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "base/user_interface.h"

namespace trovisk::testing {

class ScriptedUi : public UserInterface {
 public:
  struct Shown {
    int id;
    std::string text;
    Buttons buttons;
  };

  Answer ShowMessage(int message_id, const std::string& text, Buttons buttons) override {
    messages.push_back({message_id, text, buttons});
    if (buttons == Buttons::kOk) return Answer::kOk;
    if (answers.empty()) return Answer::kYes;
    Answer answer = answers.front();
    answers.pop_front();
    return answer;
  }

  MergeAnswer AskMerge(const MergeOffer& offer) override {
    merge_offers.push_back(offer);
    if (merge_answers.empty()) return merge_answer_when_dry;
    MergeAnswer answer = merge_answers.front();
    merge_answers.pop_front();
    return answer;
  }

  void SetBusy(bool busy) override { busy_changes.push_back(busy); }
  void Warn(const std::string& text) override { warnings.push_back(text); }
  void Inform(const std::string& text) override { information.push_back(text); }

  // Message numbers shown, in order.
  std::vector<int> MessageIds() const {
    std::vector<int> ids;
    for (const auto& shown : messages) ids.push_back(shown.id);
    return ids;
  }

  std::deque<Answer> answers;
  std::deque<MergeAnswer> merge_answers;
  MergeAnswer merge_answer_when_dry;
  std::vector<Shown> messages;
  std::vector<MergeOffer> merge_offers;
  std::vector<bool> busy_changes;
  std::vector<std::string> warnings;
  std::vector<std::string> information;
};

}  // namespace trovisk::testing
