// Message boxes, merge dialog, wait cursor and warnings for the Windows dialog.
#include "app/win32/win32_ui.h"

#include "app/win32/merge_dialog.h"
#include "app/win32/wide_text.h"
#include "base/message_table.h"

namespace trovisk {
namespace {

constexpr wchar_t kCaption[] = L"Trovisk";

UINT IconFor(int message_id, Buttons buttons) {
  if (buttons == Buttons::kYesNo) return MB_ICONQUESTION;
  if (message_id == kMsgSuccess || message_id == kMsgSuccessWithApprox) return MB_ICONINFORMATION;
  return MB_ICONEXCLAMATION;
}

}  // namespace

Win32Ui::Win32Ui(HINSTANCE instance, HWND owner) : instance_(instance), owner_(owner) {}

Answer Win32Ui::ShowMessage(int message_id, const std::string& text, Buttons buttons) {
  std::wstring wide = WideFromCoreText(text);
  MSGBOXPARAMSW box{};
  box.cbSize = sizeof(box);
  box.hwndOwner = owner_;
  box.hInstance = instance_;
  box.lpszText = wide.c_str();
  box.lpszCaption = kCaption;
  box.dwStyle = (buttons == Buttons::kYesNo ? MB_YESNO : MB_OK) | IconFor(message_id, buttons);
  box.dwContextHelpId = static_cast<DWORD_PTR>(message_id);
  switch (MessageBoxIndirectW(&box)) {
    case IDYES:
      return Answer::kYes;
    case IDNO:
      return Answer::kNo;
    case IDCANCEL:
      return Answer::kCancel;
    default:
      // A Yes/No box that could not be shown answers No: nothing is skipped unasked.
      return buttons == Buttons::kYesNo ? Answer::kNo : Answer::kOk;
  }
}

MergeAnswer Win32Ui::AskMerge(const MergeOffer& offer) {
  return RunMergeDialog(instance_, owner_, offer);
}

void Win32Ui::SetBusy(bool busy) {
  if (busy) {
    if (busy_depth_++ == 0) cursor_before_busy_ = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    return;
  }
  if (busy_depth_ == 0) return;
  if (--busy_depth_ == 0) {
    SetCursor(cursor_before_busy_ != nullptr ? cursor_before_busy_
                                             : LoadCursorW(nullptr, IDC_ARROW));
  }
}

void Win32Ui::Warn(const std::string& text) {
  if (warnings_.size() < kShownWarnings) {
    warnings_.push_back(text);
  } else {
    ++warnings_not_kept_;
  }
}

void Win32Ui::Inform(const std::string& text) { information_.push_back(text); }

void Win32Ui::ShowWarnings() {
  if (warnings_.empty() && information_.empty()) return;
  const bool warned = !warnings_.empty();
  std::string text;
  for (const auto& warning : warnings_) text += warning + "\n";
  if (warnings_not_kept_ > 0) {
    text += "\n... and " + std::to_string(warnings_not_kept_) + " more warnings.\n";
  }
  if (warned && !information_.empty()) text += "\n";
  for (const auto& line : information_) text += line + "\n";
  warnings_.clear();
  information_.clear();
  warnings_not_kept_ = 0;
  std::wstring wide = WideFromCoreText(text);
  MessageBoxW(owner_, wide.c_str(), warned ? L"Trovisk - warnings" : L"Trovisk",
              MB_OK | (warned ? MB_ICONWARNING : MB_ICONINFORMATION));
}

}  // namespace trovisk
