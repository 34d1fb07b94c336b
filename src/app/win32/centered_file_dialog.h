// The open-file dialog used by both "Browse..." buttons, centred on the desktop.
#pragma once

#include <string>

#include "app/win32/windows_api.h"

namespace trovisk {

class CenteredFileDialog {
 public:
  enum class Purpose { kInputFile, kOutputFile };
  enum class Result { kChosen, kCancelled, kOutOfMemory };

  // `start_directory` may be empty (the system's choice).
  CenteredFileDialog(Purpose purpose, std::wstring start_directory);

  // Shows the dialog modally over `owner`; on kChosen `path` holds the full path.
  Result Show(HWND owner, std::wstring& path);

 private:
  static UINT_PTR CALLBACK Hook(HWND child, UINT message, WPARAM wparam, LPARAM lparam);

  Purpose purpose_;
  std::wstring start_directory_;
};

// A filter written with '|' separators, as NUL-separated pairs for the dialog.
std::wstring FilterFromPipes(const std::wstring& filter);

}  // namespace trovisk
