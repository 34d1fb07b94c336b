// The one boundary through which the core talks to the person at the
// keyboard: message boxes, the station-merge choice and the busy indicator.
// The console, the Windows dialog and the tests each implement it.
#pragma once

#include <string>

namespace trovisk {

enum class Buttons { kOk = 0, kYesNo = 4 };
// Values of the buttons as the Windows message box returns them.
enum class Answer { kOk = 1, kCancel = 2, kYes = 6, kNo = 7 };

// One of the two stations offered for merging, as the merge dialog shows it.
struct MergeCandidate {
  std::string name;
  std::string description;
  double north = 0.0;  // metres
  double east = 0.0;
  double elevation = 0.0;
};

struct MergeOffer {
  MergeCandidate first;
  MergeCandidate second;
  bool geodetic = false;    // found by the geodetic check, not the local one
  double separation = 0.0;  // metres, rounded for display
  // The group of stations linked by close pairs that this pair belongs to:
  // how many stations, and how many of its pairs are still to be answered,
  // this one included.
  int group_stations = 2;
  int group_pairs_left = 1;
};

// The merge dialog's results: "Stations Are The &Same" 6, "&Different" 7,
// Cancel 2, and the two answers for every pair of the group still to come,
// this one included, which end the dialog with their button's id.
enum class MergeDecision {
  kSame = 6,
  kDifferent = 7,
  kCancel = 2,
  kSameForAllRemaining = 1034,
  kDifferentForAllRemaining = 1035,
};

struct MergeAnswer {
  MergeDecision decision = MergeDecision::kDifferent;
  // With kSame and kSameForAllRemaining: which of the two stations survives.
  bool keep_first = true;
};

class UserInterface {
 public:
  virtual ~UserInterface() = default;

  // Shows message `message_id` with its text already formatted; returns the
  // button pressed (kOk for an OK-only message).
  virtual Answer ShowMessage(int message_id, const std::string& text, Buttons buttons) = 0;
  // Offers two near-coincident stations for merging.
  virtual MergeAnswer AskMerge(const MergeOffer& offer) = 0;
  // Shows or removes the busy (wait) indicator.
  virtual void SetBusy(bool busy) = 0;
  // A warning about the input that does not stop the run (a questionable
  // value, a unit taken from a note); `text` names the file and line.
  virtual void Warn(const std::string& text) = 0;
  // A line of information at the end of a run (what was written); shown
  // beside the warnings, and by default not at all.
  virtual void Inform(const std::string& text) { static_cast<void>(text); }
};

// Shows the busy indicator for the life of the object, also when a step
// returns early.
class BusyScope {
 public:
  explicit BusyScope(UserInterface& ui) : ui_(ui) { ui_.SetBusy(true); }
  ~BusyScope() { ui_.SetBusy(false); }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  UserInterface& ui_;
};

}  // namespace trovisk
