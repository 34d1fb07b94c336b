// Open-file dialog with a hook that centres it on the desktop.
#include "app/win32/centered_file_dialog.h"

#include <cderr.h>
#include <commdlg.h>

#include <new>
#include <vector>

#include "app/win32/window_placement.h"

namespace trovisk {
namespace {

constexpr wchar_t kInputFilter[] =
    L"TDS File (*.rw5)|*.rw5|TDS File (*.raw)|*.raw|All Files (*.*)| *.*||";
constexpr wchar_t kOutputFilter[] = L"ASCII (Text) File (*.txt)|*.txt|All Files (*.*)| *.*||";
constexpr wchar_t kInputTitle[] = L"Select TDS File";
constexpr wchar_t kOutputTitle[] = L"Enter/Select An Output File";
// Room for long paths; the settings file keeps names of up to 259 bytes.
constexpr DWORD kPathCapacity = 4096;

void CenterOnDesktop(HWND window) {
  RECT own{};
  RECT desktop{};
  if (!GetWindowRect(window, &own) || !GetWindowRect(GetDesktopWindow(), &desktop)) return;
  ScreenRect placed =
      CenterOnScreen(own.right - own.left, own.bottom - own.top,
                     ScreenRect{desktop.left, desktop.top, desktop.right, desktop.bottom},
                     GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  SetWindowPos(window, nullptr, placed.left, placed.top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

std::wstring FilterFromPipes(const std::wstring& filter) {
  std::wstring pairs = filter;
  for (wchar_t& c : pairs) {
    if (c == L'|') c = L'\0';
  }
  // The dialog reads up to a double NUL; make sure there is one.
  pairs.push_back(L'\0');
  pairs.push_back(L'\0');
  return pairs;
}

CenteredFileDialog::CenteredFileDialog(Purpose purpose, std::wstring start_directory)
    : purpose_(purpose), start_directory_(std::move(start_directory)) {}

UINT_PTR CALLBACK CenteredFileDialog::Hook(HWND child, UINT message, WPARAM, LPARAM lparam) {
  // The hook receives the messages of a child of the explorer-style dialog;
  // the dialog itself is its parent and exists in full once CDN_INITDONE comes.
  if (message == WM_NOTIFY) {
    const auto* notify = reinterpret_cast<const OFNOTIFYW*>(lparam);
    if (notify->hdr.code == CDN_INITDONE) CenterOnDesktop(GetParent(child));
  }
  return 0;
}

CenteredFileDialog::Result CenteredFileDialog::Show(HWND owner, std::wstring& path) {
  std::wstring filter;
  std::vector<wchar_t> file;
  try {
    filter = FilterFromPipes(purpose_ == Purpose::kInputFile ? kInputFilter : kOutputFilter);
    file.assign(kPathCapacity, L'\0');
  } catch (const std::bad_alloc&) {
    return Result::kOutOfMemory;
  }
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filter.c_str();
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = kPathCapacity;
  dialog.lpstrInitialDir = start_directory_.empty() ? nullptr : start_directory_.c_str();
  dialog.lpstrTitle = purpose_ == Purpose::kInputFile ? kInputTitle : kOutputTitle;
  // Only "hide read-only" chooses behaviour; the other two flags just let the hook run.
  dialog.Flags = OFN_HIDEREADONLY | OFN_EXPLORER | OFN_ENABLEHOOK;
  dialog.lpfnHook = &CenteredFileDialog::Hook;
  if (GetOpenFileNameW(&dialog)) {
    path.assign(file.data());
    return Result::kChosen;
  }
  return CommDlgExtendedError() == CDERR_MEMALLOCFAILURE ? Result::kOutOfMemory
                                                         : Result::kCancelled;
}

}  // namespace trovisk
