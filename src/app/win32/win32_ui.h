// The user interface of the Windows dialog: message boxes, the merge dialog,
// the wait cursor and the warnings of a run.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "app/win32/windows_api.h"
#include "base/user_interface.h"

namespace trovisk {

class Win32Ui : public UserInterface {
 public:
  Win32Ui(HINSTANCE instance, HWND owner);

  // A message box owned by the dialog with the text, OK or Yes/No, the
  // message number as help context; returns the button pressed.
  Answer ShowMessage(int message_id, const std::string& text, Buttons buttons) override;
  // Dialog 103.
  MergeAnswer AskMerge(const MergeOffer& offer) override;
  // The wait cursor; calls nest.
  void SetBusy(bool busy) override;
  // Kept until ShowWarnings: a run's warnings are shown together, once, after
  // its final message, so that a file with many doubtful lines does not ask
  // for a click per line.
  void Warn(const std::string& text) override;
  // Kept like the warnings and shown after them, every line of it.
  void Inform(const std::string& text) override;

  bool busy() const { return busy_depth_ > 0; }
  // Shows the warnings gathered since the last call in one message box (the
  // first kShownWarnings of them and the count of the rest) and forgets them.
  void ShowWarnings();

  static constexpr std::size_t kShownWarnings = 20;

 private:
  HINSTANCE instance_;
  HWND owner_;
  int busy_depth_ = 0;
  HCURSOR cursor_before_busy_ = nullptr;
  std::vector<std::string> warnings_;
  std::size_t warnings_not_kept_ = 0;
  std::vector<std::string> information_;
};

}  // namespace trovisk
