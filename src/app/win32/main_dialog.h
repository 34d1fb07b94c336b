// The main dialog: copies values between its controls and the options, and
// starts conversions.
#pragma once

#include <memory>
#include <string>

#include "app/extra_settings.h"
#include "app/win32/win32_ui.h"
#include "app/win32/windows_api.h"
#include "base/options.h"
#include "rw5/survey_data.h"

namespace trovisk {

class ConverterDialog {
 public:
  explicit ConverterDialog(HINSTANCE instance);
  ~ConverterDialog();
  ConverterDialog(const ConverterDialog&) = delete;
  ConverterDialog& operator=(const ConverterDialog&) = delete;

  // Runs dialog 102 modally; IDOK after "Close", IDCANCEL after Esc or the
  // close box, -1 when the dialog could not be created.
  INT_PTR DoModal();

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  INT_PTR HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);

  BOOL OnInitDialog();
  void OnCommand(int control_id, int notification);
  void OnConvert();
  void OnBrowse(bool input_file);
  void OnClose();
  void OnAbout();
  bool OnPaintMinimised();

  // Options to controls.
  void ShowFields();
  // Controls to options, with validation; on failure the prompt is shown,
  // the focus goes to the failing field and false is returned.
  bool TakeFields();
  // Puts the focus on a refused field with its text selected for retyping.
  void SelectField(int control_id);
  void ApplyEnableRules();

  std::wstring ProgramPath() const;
  std::string SettingsPath() const;
  std::string ExtraSettingsPath() const;

  HINSTANCE instance_;
  HWND window_ = nullptr;
  HICON big_icon_ = nullptr;
  HICON small_icon_ = nullptr;
  ConverterOptions options_;
  ExtraSettings extra_;  // kept beside the record, which has no room for them
  SurveyData data_;
  std::unique_ptr<Win32Ui> ui_;
};

}  // namespace trovisk
