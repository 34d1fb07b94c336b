// Dialog 102: settings, field transfer, enable rules, browsing and the run.
#include "app/win32/main_dialog.h"

#include <new>
#include <optional>
#include <vector>

#include "app/check_files.h"
#include "app/settings_record.h"
#include "app/win32/centered_file_dialog.h"
#include "app/win32/resource.h"
#include "app/win32/wide_text.h"
#include "base/epsg_code.h"
#include "base/message_table.h"
#include "base/option_fields.h"
#include "base/show_message.h"
#include "convert/conversion.h"
#include "geodesy/grid_system.h"

namespace trovisk {
namespace {

// The edit controls of the option texts.
struct EditField {
  int control_id;
  std::string OptionTexts::*text;
};

constexpr EditField kEditFields[] = {
    {IDC_SEED_NAME, &OptionTexts::seed_name},
    {IDC_LATITUDE, &OptionTexts::latitude},
    {IDC_LONGITUDE, &OptionTexts::longitude},
    {IDC_HEIGHT, &OptionTexts::height},
    {IDC_TOLERANCE, &OptionTexts::tolerance},
    {IDC_MAJOR_AXIS, &OptionTexts::major_axis},
    {IDC_DATUM_NAME, &OptionTexts::datum_name},
    {IDC_INVERSE_FLATTENING, &OptionTexts::inverse_flattening},
    {IDC_ELEVATION, &OptionTexts::elevation},
    {IDC_EAST, &OptionTexts::east},
    {IDC_NORTH, &OptionTexts::north},
};

constexpr int kGeodeticControls[] = {IDC_LATITUDE,   IDC_LONGITUDE,  IDC_HEIGHT,
                                     IDC_DATUM_NAME, IDC_MAJOR_AXIS, IDC_INVERSE_FLATTENING};
constexpr int kNeeControls[] = {IDC_NORTH, IDC_EAST, IDC_ELEVATION};

std::wstring ControlText(HWND dialog, int control_id) {
  HWND control = GetDlgItem(dialog, control_id);
  int length = GetWindowTextLengthW(control);
  if (length <= 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  int copied = GetWindowTextW(control, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return text;
}

void SetControlText(HWND dialog, int control_id, const std::string& utf8) {
  SetDlgItemTextW(dialog, control_id, WideFromUtf8(utf8).c_str());
}

bool Checked(HWND dialog, int control_id) {
  return IsDlgButtonChecked(dialog, control_id) == BST_CHECKED;
}

void SetChecked(HWND dialog, int control_id, bool checked) {
  CheckDlgButton(dialog, control_id, checked ? BST_CHECKED : BST_UNCHECKED);
}

// A string of the string table, or empty when it is absent.
std::wstring LoadTableString(HINSTANCE instance, UINT id) {
  const wchar_t* text = nullptr;
  // With a zero length LoadStringW hands back a pointer into the resource itself.
  int length = LoadStringW(instance, id, reinterpret_cast<LPWSTR>(&text), 0);
  return length > 0 && text != nullptr ? std::wstring(text, static_cast<std::size_t>(length))
                                       : std::wstring();
}

HICON LoadIconSized(HINSTANCE instance, int width_metric, int height_metric) {
  return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_ICON), IMAGE_ICON,
                                       GetSystemMetrics(width_metric),
                                       GetSystemMetrics(height_metric), 0));
}

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
  if (message == WM_INITDIALOG) return TRUE;
  if (message == WM_COMMAND && (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL)) {
    EndDialog(dialog, LOWORD(wparam));
    return TRUE;
  }
  return FALSE;
}

}  // namespace

ConverterDialog::ConverterDialog(HINSTANCE instance) : instance_(instance) {}

ConverterDialog::~ConverterDialog() {
  if (big_icon_ != nullptr) DestroyIcon(big_icon_);
  if (small_icon_ != nullptr) DestroyIcon(small_icon_);
}

INT_PTR ConverterDialog::DoModal() {
  return DialogBoxParamW(instance_, MAKEINTRESOURCEW(IDD_MAIN), nullptr, DialogProc,
                         reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK ConverterDialog::DialogProc(HWND window, UINT message, WPARAM wparam,
                                             LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(window, DWLP_USER, lparam);
    reinterpret_cast<ConverterDialog*>(lparam)->window_ = window;
  }
  auto* self = reinterpret_cast<ConverterDialog*>(GetWindowLongPtrW(window, DWLP_USER));
  if (self == nullptr) return FALSE;
  // No exception may unwind through the window manager's frames.
  try {
    return self->HandleMessage(message, wparam, lparam);
  } catch (const std::bad_alloc&) {
    MessageBoxW(window, WideFromUtf8(MessageText(kMsgOutOfMemory)).c_str(), L"Trovisk",
                MB_OK | MB_ICONEXCLAMATION);
  } catch (...) {
    MessageBoxW(window, WideFromUtf8(MessageText(kMsgCancelled)).c_str(), L"Trovisk",
                MB_OK | MB_ICONEXCLAMATION);
  }
  return TRUE;
}

INT_PTR ConverterDialog::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG:
      return OnInitDialog();
    case WM_COMMAND:
      OnCommand(LOWORD(wparam), HIWORD(wparam));
      return TRUE;
    case WM_SYSCOMMAND:
      if ((wparam & 0xFFF0) == IDM_ABOUT) {
        OnAbout();
        return TRUE;
      }
      return FALSE;
    case WM_SETCURSOR:
      if (ui_ != nullptr && ui_->busy()) {
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        SetWindowLongPtrW(window_, DWLP_MSGRESULT, TRUE);
        return TRUE;
      }
      return FALSE;
    case WM_PAINT:
      return OnPaintMinimised();
    case WM_QUERYDRAGICON:
      return reinterpret_cast<INT_PTR>(big_icon_);
    default:
      (void)lparam;
      return FALSE;
  }
}

BOOL ConverterDialog::OnInitDialog() {
  ui_ = std::make_unique<Win32Ui>(instance_, window_);
  // Absent or unreadable settings leave the defaults.
  ReadSettingsFile(SettingsPath(), options_);
  ReadExtraSettingsFile(ExtraSettingsPath(), extra_);
  ShowFields();

  HMENU system_menu = GetSystemMenu(window_, FALSE);
  std::wstring about = LoadTableString(instance_, IDS_ABOUT_MENU);
  if (system_menu != nullptr && !about.empty()) {
    AppendMenuW(system_menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(system_menu, MF_STRING, IDM_ABOUT, about.c_str());
  }

  big_icon_ = LoadIconSized(instance_, SM_CXICON, SM_CYICON);
  small_icon_ = LoadIconSized(instance_, SM_CXSMICON, SM_CYSMICON);
  SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big_icon_));
  SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_icon_));

  ApplyEnableRules();
  return TRUE;
}

void ConverterDialog::OnCommand(int control_id, int notification) {
  switch (control_id) {
    case IDC_CONVERT:
      OnConvert();
      break;
    case IDC_BROWSE_INPUT:
      OnBrowse(true);
      break;
    case IDC_BROWSE_OUTPUT:
      OnBrowse(false);
      break;
    case IDC_APPROX_GEODETIC:
    case IDC_APPROX_NEE:
      if (notification == BN_CLICKED) ApplyEnableRules();
      break;
    case IDOK:
      OnClose();
      break;
    case IDCANCEL:
      EndDialog(window_, IDCANCEL);
      break;
    default:
      break;
  }
}

void ConverterDialog::ShowFields() {
  OptionTexts texts = ShowOptionTexts(options_);
  for (const EditField& field : kEditFields) {
    SetControlText(window_, field.control_id, texts.*field.text);
  }
  SetControlText(window_, IDC_INPUT_FILE, options_.input_file);
  SetControlText(window_, IDC_OUTPUT_FILE, options_.output_file);
  CheckRadioButton(window_, IDC_TOLERANCE_2D, IDC_TOLERANCE_3D,
                   options_.tolerance_mode == 0 ? IDC_TOLERANCE_2D : IDC_TOLERANCE_3D);
  SetChecked(window_, IDC_APPROX_GEODETIC, options_.compute_approx_geodetic);
  SetChecked(window_, IDC_APPROX_NEE, options_.compute_approx_nee);
  SetChecked(window_, IDC_ANTENNA_TO_ANTENNA, options_.gps_antenna_to_antenna);
  SetChecked(window_, IDC_LOCAL_NEE, options_.local_nee_system);
  SetChecked(window_, IDC_CHECK_FILES, extra_.write_check_files);
  SetControlText(window_, IDC_GRID_CODE, EpsgCodeText(extra_.grid_code));
}

bool ConverterDialog::TakeFields() {
  OptionTexts texts;
  for (const EditField& field : kEditFields) {
    texts.*field.text = Utf8FromWide(ControlText(window_, field.control_id));
  }
  if (auto error = TakeOptionTexts(texts, options_)) {
    ui_->ShowMessage(error->message_id, error->text, Buttons::kOk);
    SelectField(error->control_id);
    return false;
  }
  options_.input_file = Utf8FromWide(ControlText(window_, IDC_INPUT_FILE));
  options_.output_file = Utf8FromWide(ControlText(window_, IDC_OUTPUT_FILE));
  options_.tolerance_mode = Checked(window_, IDC_TOLERANCE_2D) ? 0 : 1;
  options_.compute_approx_geodetic = Checked(window_, IDC_APPROX_GEODETIC);
  options_.compute_approx_nee = Checked(window_, IDC_APPROX_NEE);
  options_.gps_antenna_to_antenna = Checked(window_, IDC_ANTENNA_TO_ANTENNA);
  options_.local_nee_system = Checked(window_, IDC_LOCAL_NEE);
  extra_.write_check_files = Checked(window_, IDC_CHECK_FILES);
  const std::string grid = Utf8FromWide(ControlText(window_, IDC_GRID_CODE));
  const std::optional<int> code = ParseEpsgCode(grid);
  if (!code || (*code != 0 && FindGridSystem(*code) == nullptr)) {
    trovisk::ShowMessage(*ui_, kMsgUnknownGrid, Buttons::kOk, {grid});
    SelectField(IDC_GRID_CODE);
    return false;
  }
  extra_.grid_code = *code;
  return true;
}

void ConverterDialog::SelectField(int control_id) {
  HWND control = GetDlgItem(window_, control_id);
  if (control == nullptr) return;
  SendMessageW(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
  SendMessageW(control, EM_SETSEL, 0, -1);
}

void ConverterDialog::ApplyEnableRules() {
  EnabledControls enabled =
      EnableRules(Checked(window_, IDC_APPROX_GEODETIC), Checked(window_, IDC_APPROX_NEE));
  EnableWindow(GetDlgItem(window_, IDC_SEED_NAME), enabled.station_name);
  for (int id : kGeodeticControls) EnableWindow(GetDlgItem(window_, id), enabled.geodetic_fields);
  for (int id : kNeeControls) EnableWindow(GetDlgItem(window_, id), enabled.nee_fields);
}

void ConverterDialog::OnConvert() {
  if (!TakeFields()) return;
  // File names go to the core as UTF-8, which it opens as wide names.
  ConversionExtras extras;
  if (extra_.write_check_files) extras = CheckFilesBeside(options_.output_file);
  extras.grid_code = extra_.grid_code;
  RunConversion(options_, *ui_, data_, extras);
  ui_->ShowWarnings();
}

void ConverterDialog::OnBrowse(bool input_file) {
  if (!TakeFields()) return;
  std::string& name = input_file ? options_.input_file : options_.output_file;
  std::wstring current = WideFromUtf8(name);
  std::wstring start;
  std::size_t cut = current.find_last_of(L'\\');
  if (cut != std::wstring::npos) {
    start = current.substr(0, cut + 1);
  } else if (current.empty()) {
    std::wstring program = ProgramPath();
    std::size_t program_cut = program.find_last_of(L"\\:");
    if (program_cut != std::wstring::npos) start = program.substr(0, program_cut + 1);
  }
  CenteredFileDialog dialog(input_file ? CenteredFileDialog::Purpose::kInputFile
                                       : CenteredFileDialog::Purpose::kOutputFile,
                            start);
  std::wstring chosen;
  switch (dialog.Show(window_, chosen)) {
    case CenteredFileDialog::Result::kChosen:
      name = Utf8FromWide(chosen);
      ShowFields();
      break;
    case CenteredFileDialog::Result::kOutOfMemory:
      trovisk::ShowMessage(*ui_, kMsgOutOfMemory, Buttons::kOk);
      break;
    case CenteredFileDialog::Result::kCancelled:
      break;
  }
}

void ConverterDialog::OnClose() {
  if (!TakeFields()) return;
  // An unwritable settings file is passed over silently: the program may sit
  // in a folder the user cannot write to, and closing must still work.
  bool name_dropped = false;
  WriteSettingsFile(SettingsPath(), options_, &name_dropped);
  WriteExtraSettingsFile(ExtraSettingsPath(), extra_);
  if (name_dropped) {
    for (const std::string* name : {&options_.input_file, &options_.output_file}) {
      if (name->size() > kMaxStoredFileName) {
        trovisk::ShowMessage(*ui_, kMsgFileNameTooLong, Buttons::kOk, {*name});
      }
    }
  }
  EndDialog(window_, IDOK);
}

void ConverterDialog::OnAbout() {
  DialogBoxParamW(instance_, MAKEINTRESOURCEW(IDD_ABOUT), window_, AboutProc, 0);
}

bool ConverterDialog::OnPaintMinimised() {
  if (!IsIconic(window_)) return false;
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window_, &paint);
  SendMessageW(window_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  RECT client;
  GetClientRect(window_, &client);
  int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
  int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
  DrawIcon(dc, x, y, big_icon_);
  EndPaint(window_, &paint);
  return true;
}

std::wstring ConverterDialog::ProgramPath() const {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return std::wstring(buffer.data(), length);
    if (buffer.size() >= 32768) return {};
    buffer.resize(buffer.size() * 2);
  }
}

std::string ConverterDialog::SettingsPath() const {
  return SettingsPathBeside(Utf8FromWide(ProgramPath()));
}

std::string ConverterDialog::ExtraSettingsPath() const {
  return ExtraSettingsPathBeside(Utf8FromWide(ProgramPath()));
}

}  // namespace trovisk
