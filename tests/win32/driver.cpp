// UI test of trovisk-gui.exe: starts it, drives the dialog by control id from
// this process and checks what it shows. Prints PASS/FAIL lines and
// "N passed, N failed"; the exit status is 0 only when nothing failed.
// Usage: trovisk-ui-test GUI.exe [SCREENSHOT.bmp|-] [EXAMPLE.rw5]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <initializer_list>
#include <string>
#include <vector>

#include "app/win32/resource.h"

namespace {

constexpr wchar_t kMainTitle[] = L"Convert TDS Input File To Korvanta Input File";
constexpr wchar_t kMergeTitle[] = L"Found two stations with coordinates that are similar";
constexpr wchar_t kAboutTitle[] = L"About Trovisk";
constexpr DWORD kWindowWait = 20000;  // ms; the first start in a new prefix is slow
constexpr DWORD kBoxWait = 10000;
constexpr DWORD kMergeWait = 4000;
constexpr int kMessageBoxTextId = 0xFFFF;  // the text static of a message box
constexpr std::size_t kSettingsSize = 1120;

int g_passed = 0;
int g_failed = 0;

// msvcrt's printf("%ls") stops at the first character the console code page
// lacks, so text is printed as UTF-8.
std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  int length = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr,
                                   0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), length,
                      nullptr, nullptr);
  return out;
}

std::wstring Visible(std::wstring text) {
  std::wstring out;
  for (wchar_t c : text) out += c == L'\n' ? std::wstring(L"\\n") : std::wstring(1, c);
  return out;
}

bool Check(bool ok, const std::string& what, const std::wstring& detail = L"") {
  ++(ok ? g_passed : g_failed);
  std::printf("%s: %s", ok ? "PASS" : "FAIL", what.c_str());
  if (!ok && !detail.empty()) std::printf("  [%s]", Utf8(Visible(detail)).c_str());
  std::printf("\n");
  std::fflush(stdout);
  return ok;
}

bool CheckText(const std::wstring& got, const std::wstring& want, const std::string& what) {
  return Check(got == want, what, L"got \"" + got + L"\", want \"" + want + L"\"");
}

void Info(const std::string& text) {
  std::printf("INFO: %s\n", text.c_str());
  std::fflush(stdout);
}

// ---- the program's own string table ------------------------------------------

HMODULE g_resources = nullptr;

std::wstring TableString(UINT id) {
  wchar_t text[2048] = L"";
  LoadStringW(g_resources, id, text, 2048);
  return text;
}

// Fills %s and %d in order and %1, %2 by position, as the program's messages do.
std::wstring Format(const std::wstring& format, std::initializer_list<std::wstring> args) {
  std::vector<std::wstring> values(args);
  std::wstring out;
  std::size_t next = 0;
  for (std::size_t i = 0; i < format.size(); ++i) {
    wchar_t kind = i + 1 < format.size() ? format[i + 1] : L'\0';
    if (format[i] == L'%' && (kind == L's' || kind == L'd')) {
      if (next < values.size()) out += values[next];
      ++next;
      ++i;
    } else if (format[i] == L'%' && kind >= L'1' && kind <= L'9') {
      std::size_t position = static_cast<std::size_t>(kind - L'1');
      if (position < values.size()) out += values[position];
      ++i;
    } else {
      out += format[i];
    }
  }
  return out;
}

// ---- windows of the program under test ---------------------------------------

std::wstring Text(HWND window) {
  wchar_t text[4096] = L"";
  if (window == nullptr) return L"(no window)";
  // WM_GETTEXT is marshalled between processes by the window manager.
  SendMessageTimeoutW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                      5000, nullptr);
  return text;
}

struct OwnedSearch {
  HWND owner;
  const wchar_t* title;  // null: any
  HWND found;
};

// A captureless lambda is not a stdcall WNDENUMPROC on 32-bit, so a function.
BOOL CALLBACK FindOwnedDialog(HWND window, LPARAM lparam) {
  auto* search = reinterpret_cast<OwnedSearch*>(lparam);
  wchar_t class_name[64] = L"";
  GetClassNameW(window, class_name, 64);
  if (GetWindow(window, GW_OWNER) != search->owner || std::wcscmp(class_name, L"#32770") != 0 ||
      !IsWindowVisible(window)) {
    return TRUE;
  }
  if (search->title != nullptr && Text(window) != search->title) return TRUE;
  search->found = window;
  return FALSE;
}

HWND FindOwned(HWND owner, const wchar_t* title) {
  OwnedSearch search{owner, title, nullptr};
  EnumWindows(FindOwnedDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND WaitOwned(HWND owner, const wchar_t* title, DWORD ms) {
  for (DWORD waited = 0; waited < ms; waited += 50) {
    if (HWND found = FindOwned(owner, title)) return found;
    Sleep(50);
  }
  return nullptr;
}

bool WaitGone(HWND window, DWORD ms) {
  for (DWORD waited = 0; waited < ms; waited += 50) {
    if (!IsWindow(window)) return true;
    Sleep(50);
  }
  return false;
}

// Reads a message box's text and closes it with its first button.
std::wstring TakeMessageBox(HWND owner, DWORD ms = kBoxWait) {
  HWND box = WaitOwned(owner, nullptr, ms);
  if (box == nullptr) return L"(no message box)";
  std::wstring text = Text(GetDlgItem(box, kMessageBoxTextId));
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  WaitGone(box, 5000);
  return text;
}

// Closes any box still open (a warning list, say), so later cases start clean.
void DismissStrayBoxes(HWND owner) {
  while (HWND box = WaitOwned(owner, nullptr, 300)) {
    Info("closing an extra box: " + Utf8(Visible(Text(GetDlgItem(box, kMessageBoxTextId)))));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
    if (!WaitGone(box, 3000)) break;
  }
}

class App {
 public:
  explicit App(std::wstring exe) : exe_(std::move(exe)) {}
  ~App() { Kill(); }

  bool Start() {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    std::wstring command = L"\"" + exe_ + L"\"";
    if (!CreateProcessW(exe_.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process_)) {
      return false;
    }
    for (DWORD waited = 0; waited < kWindowWait; waited += 50) {
      HWND found = FindWindowW(L"#32770", kMainTitle);
      DWORD owner_process = 0;
      if (found != nullptr) GetWindowThreadProcessId(found, &owner_process);
      if (found != nullptr && owner_process == process_.dwProcessId && IsWindowVisible(found)) {
        dialog_ = found;
        return true;
      }
      Sleep(50);
    }
    return false;
  }

  // Waits for the program to end; its exit code, or -1 when it did not end.
  long WaitExit(DWORD ms) {
    if (process_.hProcess == nullptr) return -1;
    if (WaitForSingleObject(process_.hProcess, ms) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    Close();
    return static_cast<long>(code);
  }

  void Kill() {
    if (process_.hProcess == nullptr) return;
    TerminateProcess(process_.hProcess, 99);
    WaitForSingleObject(process_.hProcess, 5000);
    Close();
  }

  HWND dialog() const { return dialog_; }
  HWND Item(int id) const { return GetDlgItem(dialog_, id); }
  std::wstring ItemText(int id) const { return Text(Item(id)); }
  void SetItemText(int id, const std::wstring& text) const {
    SetDlgItemTextW(dialog_, id, text.c_str());
  }
  bool IsChecked(int id) const { return SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
  bool IsEnabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
  // A click whose handler returns at once (check box, radio button).
  void Click(int id) const { SendMessageW(Item(id), BM_CLICK, 0, 0); }
  // A click whose handler shows a modal window: posted, so the test goes on.
  void PostClick(int id) const { PostMessageW(Item(id), BM_CLICK, 0, 0); }
  HWND Focus() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    DWORD thread = GetWindowThreadProcessId(dialog_, nullptr);
    return GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
  }

 private:
  void Close() {
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
    process_ = PROCESS_INFORMATION{};
  }

  std::wstring exe_;
  PROCESS_INFORMATION process_{};
  HWND dialog_ = nullptr;
};

// ---- files ---------------------------------------------------------------------

std::vector<unsigned char> ReadAll(const std::wstring& path) {
  std::vector<unsigned char> bytes;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  unsigned char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0) {
    bytes.insert(bytes.end(), buffer, buffer + got);
  }
  CloseHandle(file);
  return bytes;
}

bool WriteText(const std::wstring& path, const char* text) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = WriteFile(file, text, static_cast<DWORD>(std::strlen(text)), &written, nullptr);
  CloseHandle(file);
  return ok && written == std::strlen(text);
}

std::string FieldText(const std::vector<unsigned char>& record, std::size_t offset,
                      std::size_t size) {
  std::string text;
  for (std::size_t i = offset; i < offset + size && i < record.size() && record[i] != 0; ++i) {
    text += static_cast<char>(record[i]);
  }
  return text;
}

double FieldDouble(const std::vector<unsigned char>& record, std::size_t offset) {
  double value = 0.0;
  if (record.size() >= offset + sizeof(value)) std::memcpy(&value, &record[offset], sizeof(value));
  return value;
}

// Saves the screen area of `window` as a 24-bit BMP.
bool SaveWindowBitmap(HWND window, const std::wstring& path) {
  RECT rect{};
  if (!GetWindowRect(window, &rect)) return false;
  int width = rect.right - rect.left;
  int height = rect.bottom - rect.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  GdiFlush();
  DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
  DWORD size = stride * static_cast<DWORD>(height);
  BITMAPFILEHEADER header{};
  header.bfType = 0x4D42;
  header.bfOffBits = sizeof(header) + sizeof(info.bmiHeader);
  header.bfSize = header.bfOffBits + size;
  bool saved = false;
  if (FILE* file = _wfopen(path.c_str(), L"wb")) {
    saved = std::fwrite(&header, sizeof(header), 1, file) == 1 &&
            std::fwrite(&info.bmiHeader, sizeof(info.bmiHeader), 1, file) == 1 &&
            std::fwrite(bits, size, 1, file) == 1;
    std::fclose(file);
  }
  SelectObject(memory, previous);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return saved;
}

// ---- the cases -------------------------------------------------------------------

constexpr char kMergeRw5[] =
    "MO,AD0,UN1,SF1.00000000,EC0,EO0.0,AU0\r\n"
    "OC,OPA1,N 1000.000,E 2000.000,EL100.000\r\n"
    "SP,PNA2,N 1000.010,E 2000.000,EL100.000\r\n";

// A mark with two check shots on it, each within 1.5 cm of the others.
constexpr char kMergeGroupRw5[] =
    "MO,AD0,UN1,SF1.00000000,EC0,EO0.0,AU0\r\n"
    "OC,OPM1,N 1000.000,E 2000.000,EL100.000\r\n"
    "SP,PNM2,N 1000.010,E 2000.000,EL100.000\r\n"
    "SP,PNM3,N 1000.000,E 2000.010,EL100.000\r\n";

// Used when the shipped example is not at hand.
constexpr char kSmallTraverseRw5[] =
    "JB,NMUITEST,DT01-15-2024,TM09:30:00\r\n"
    "MO,AD0,UN1,SF1.00000000,EC0,EO0.0,AU0\r\n"
    "SP,PN1,N 5000.000,E 5000.000,EL100.000,--start\r\n"
    "SP,PN2,N 5100.000,E 5000.000,EL101.000,--azimuth mark\r\n"
    "OC,OP1,N 5000.000,E 5000.000,EL100.000\r\n"
    "LS,HI1.500,HR1.600\r\n"
    "BK,OP1,BP2,BS0.0000,BC0.0000\r\n"
    "SS,OP1,FP3,AR90.0000,ZE90.0000,SD100.000,--P3\r\n";

struct Expected {
  int id;
  const wchar_t* text;
};

void FirstStart(App& app, const std::wstring& screenshot) {
  const Expected fields[] = {
      {IDC_NORTH, L"100000"},       {IDC_EAST, L"100000"},
      {IDC_ELEVATION, L"200"},      {IDC_LATITUDE, L"45"},
      {IDC_LONGITUDE, L"-120"},     {IDC_HEIGHT, L"200"},
      {IDC_TOLERANCE, L"0.05"},     {IDC_DATUM_NAME, L"WGS 84"},
      {IDC_MAJOR_AXIS, L"6378137"}, {IDC_INVERSE_FLATTENING, L"298.257223563"},
      {IDC_SEED_NAME, L""},         {IDC_INPUT_FILE, L""},
      {IDC_OUTPUT_FILE, L""},
  };
  for (const Expected& field : fields) {
    CheckText(app.ItemText(field.id), field.text,
              "first start: control " + std::to_string(field.id) + " shows its default");
  }
  Check(app.IsChecked(IDC_ANTENNA_TO_ANTENNA), "first start: GPS antenna-to-antenna is checked");
  Check(!app.IsChecked(IDC_APPROX_GEODETIC) && !app.IsChecked(IDC_APPROX_NEE) &&
            !app.IsChecked(IDC_LOCAL_NEE) && !app.IsChecked(IDC_CHECK_FILES),
        "first start: the other four checks are clear");
  Check(app.IsChecked(IDC_TOLERANCE_3D) && !app.IsChecked(IDC_TOLERANCE_2D),
        "first start: 3D tolerance check is selected");
  const int disabled[] = {IDC_SEED_NAME,  IDC_LATITUDE,   IDC_LONGITUDE,          IDC_HEIGHT,
                          IDC_DATUM_NAME, IDC_MAJOR_AXIS, IDC_INVERSE_FLATTENING, IDC_NORTH,
                          IDC_EAST,       IDC_ELEVATION};
  bool all_disabled = true;
  for (int id : disabled) all_disabled = all_disabled && !app.IsEnabled(id);
  Check(all_disabled, "first start: station name, coordinate and datum edits are disabled");
  Check(app.IsEnabled(IDC_INPUT_FILE) && app.IsEnabled(IDC_OUTPUT_FILE) &&
            app.IsEnabled(IDC_TOLERANCE),
        "first start: file names and tolerance are editable");

  const Expected labels[] = {
      {IDC_CONVERT, L"&Convert Data"},
      {IDOK, L"Close"},
      {IDC_BROWSE_INPUT, L"Browse..."},
      {IDC_BROWSE_OUTPUT, L"Browse..."},
      {IDC_TOLERANCE_2D, L"2D tolerance check"},
      {IDC_TOLERANCE_3D, L"3D tolerance check"},
      {IDC_APPROX_GEODETIC, L"Try to compute approx geodetic coordinates for each station."},
      {IDC_APPROX_NEE, L"Try to compute approx NEE coordinates for each unknown station."},
      {IDC_ANTENNA_TO_ANTENNA,
       L"GPS vectors (in the file) are from antenna to antenna. Convert them to mark-to-mark "
       L"for use in Korvanta."},
      {IDC_LOCAL_NEE,
       L"Coordinates are based on a Local NEE coordinate system (if not selected, State Plane or "
       L"a similar Projected coordinate system is assumed)."},
      {IDC_CHECK_FILES, L"Write a check report and a network plot beside the output file."},
  };
  for (const Expected& label : labels) {
    CheckText(app.ItemText(label.id), label.text, "label of control " + std::to_string(label.id));
  }
  if (!screenshot.empty()) {
    RedrawWindow(app.dialog(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Sleep(500);
    Check(SaveWindowBitmap(app.dialog(), screenshot), "screenshot of the dialog saved");
  }
}

void EnableRules(App& app) {
  struct Step {
    int click;
    bool name, geodetic, nee;
  };
  const Step steps[] = {
      {IDC_APPROX_GEODETIC, true, true, false},
      {IDC_APPROX_NEE, true, true, true},
      {IDC_APPROX_GEODETIC, true, false, true},
      {IDC_APPROX_NEE, false, false, false},
  };
  int step_number = 0;
  for (const Step& step : steps) {
    ++step_number;
    app.Click(step.click);
    bool geodetic = app.IsEnabled(IDC_LATITUDE) && app.IsEnabled(IDC_LONGITUDE) &&
                    app.IsEnabled(IDC_HEIGHT) && app.IsEnabled(IDC_DATUM_NAME) &&
                    app.IsEnabled(IDC_MAJOR_AXIS) && app.IsEnabled(IDC_INVERSE_FLATTENING);
    bool any_geodetic = app.IsEnabled(IDC_LATITUDE) || app.IsEnabled(IDC_INVERSE_FLATTENING);
    bool nee = app.IsEnabled(IDC_NORTH) && app.IsEnabled(IDC_EAST) && app.IsEnabled(IDC_ELEVATION);
    bool any_nee = app.IsEnabled(IDC_NORTH) || app.IsEnabled(IDC_ELEVATION);
    Check(app.IsEnabled(IDC_SEED_NAME) == step.name && (step.geodetic ? geodetic : !any_geodetic) &&
              (step.nee ? nee : !any_nee),
          "enable rules after click " + std::to_string(step_number));
  }
}

void About(App& app) {
  PostMessageW(app.dialog(), WM_SYSCOMMAND, IDM_ABOUT, 0);
  HWND about = WaitOwned(app.dialog(), kAboutTitle, kBoxWait);
  if (!Check(about != nullptr, "system-menu command 16 opens the About box")) return;
  CheckText(Text(GetDlgItem(about, IDC_ABOUT_VERSION)), L"Trovisk Version " TROVISK_VERSION,
            "About box names the version");
  PostMessageW(about, WM_COMMAND, IDOK, 0);
  Check(WaitGone(about, 5000), "About box closes with OK");
}

void ValidationRefusals(App& app) {
  struct Refusal {
    int control;
    const wchar_t* typed;
    const wchar_t* restore;
    std::wstring prompt;
    const char* what;
  };
  const Refusal refusals[] = {
      {IDC_LATITUDE, L"89.3", L"45", Format(TableString(IDS_ENTER_NUMBER_BETWEEN), {L"-89", L"89"}),
       "latitude 89.3"},
      {IDC_DATUM_NAME, L"ABCDEFGHIJKLMNOP", L"WGS 84",
       Format(TableString(IDS_ENTER_FEWER_CHARACTERS), {L"15"}), "a 16-character datum name"},
  };
  CheckText(refusals[0].prompt, L"Please enter a number between -89 and 89.",
            "the range prompt of the string table");
  app.Click(IDC_APPROX_GEODETIC);  // the fields can take the focus only when enabled
  for (const Refusal& refusal : refusals) {
    app.SetItemText(refusal.control, refusal.typed);
    app.PostClick(IDC_CONVERT);
    CheckText(TakeMessageBox(app.dialog()), refusal.prompt,
              std::string(refusal.what) + " is refused with the prompt");
    Sleep(200);
    Check(app.Focus() == app.Item(refusal.control),
          std::string(refusal.what) + ": the focus is on the refused field");
    app.SetItemText(refusal.control, refusal.restore);
    DismissStrayBoxes(app.dialog());
  }
  app.Click(IDC_APPROX_GEODETIC);
}

void Conversion(App& app, const std::wstring& input, const std::wstring& output,
                const std::string& what) {
  DeleteFileW(output.c_str());
  app.SetItemText(IDC_INPUT_FILE, input);
  app.SetItemText(IDC_OUTPUT_FILE, output);
  app.PostClick(IDC_CONVERT);
  CheckText(TakeMessageBox(app.dialog()), Format(TableString(IDS_SUCCESS), {output}),
            what + " ends in message 2213");
  Info("output file: " + std::to_string(ReadAll(output).size()) + " bytes");
  DismissStrayBoxes(app.dialog());
}

// With the check box checked, a conversion leaves the check report and the
// network plot beside its output, named after it.
void CheckFiles(App& app, const std::wstring& input, const std::wstring& folder) {
  const std::wstring output = folder + L"checked.txt";
  const std::wstring report = folder + L"checked-report.txt";
  const std::wstring plot = folder + L"checked-plot.svg";
  DeleteFileW(report.c_str());
  DeleteFileW(plot.c_str());
  app.Click(IDC_CHECK_FILES);
  Check(app.IsChecked(IDC_CHECK_FILES), "the check report and plot box checks");
  Conversion(app, input, output, "a conversion with the check report and plot");
  std::vector<unsigned char> report_bytes = ReadAll(report);
  std::vector<unsigned char> plot_bytes = ReadAll(plot);
  Check(!report_bytes.empty(), "the check report is written beside the output",
        report + L" " + std::to_wstring(report_bytes.size()) + L" bytes");
  const std::string svg_start = "<?xml";
  Check(plot_bytes.size() > svg_start.size() &&
            std::equal(svg_start.begin(), svg_start.end(), plot_bytes.begin()),
        "the network plot is written beside the output",
        plot + L" " + std::to_wstring(plot_bytes.size()) + L" bytes");
}

// The grid field refuses a code the program does not know, naming it, and
// leaves the focus there.
void GridField(App& app) {
  app.SetItemText(IDC_GRID_CODE, L"EPSG:1");
  app.PostClick(IDC_CONVERT);
  CheckText(TakeMessageBox(app.dialog()), Format(TableString(IDS_UNKNOWN_GRID), {L"EPSG:1"}),
            "an unknown grid code is refused by name");
  app.SetItemText(IDC_GRID_CODE, L"");
}

// The file dialog of a "Browse..." button: its title, filters and place, and
// the chosen name landing in the edit beside the button.
void Browse(App& app, int button, int edit, const wchar_t* title, int filters,
            const wchar_t* first_filter, const std::wstring& choose) {
  const std::string what = Utf8(title);
  // Away from the centre, so that a dialog placed over its owner would show.
  SetWindowPos(app.dialog(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  app.PostClick(button);
  HWND dialog = WaitOwned(app.dialog(), title, kBoxWait);
  if (!Check(dialog != nullptr, "\"" + what + "\" file dialog opens")) {
    DismissStrayBoxes(app.dialog());
    return;
  }
  Sleep(300);  // the hook moves the dialog once it is fully built
  RECT rect{};
  GetWindowRect(dialog, &rect);
  int width = rect.right - rect.left;
  int height = rect.bottom - rect.top;
  int screen_width = GetSystemMetrics(SM_CXSCREEN);
  int screen_height = GetSystemMetrics(SM_CYSCREEN);
  // Centred when it fits; otherwise kept 2 px inside the screen.
  bool fits = width + 4 <= screen_width && height + 4 <= screen_height;
  bool placed = fits ? std::abs(rect.left - (screen_width - width) / 2) <= 1 &&
                           std::abs(rect.top - (screen_height - height) / 2) <= 1
                     : rect.left >= 0 && rect.top >= 0;
  Check(placed, what + ": centred on the screen",
        std::to_wstring(rect.left) + L"," + std::to_wstring(rect.top) + L" size " +
            std::to_wstring(width) + L"x" + std::to_wstring(height));
  HWND types = GetDlgItem(dialog, 0x470);  // the file-type combo box of the common dialog
  wchar_t first[256] = L"";
  if (types != nullptr) SendMessageW(types, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(first));
  Check(types != nullptr && SendMessageW(types, CB_GETCOUNT, 0, 0) == filters &&
            std::wstring(first) == first_filter,
        what + ": file types offered", first);
  // The file name field: an edit in some versions, a combo box in others.
  HWND name = GetDlgItem(dialog, 0x480);
  if (name == nullptr) name = GetDlgItem(dialog, 0x47C);
  if (name != nullptr) SetWindowTextW(name, choose.c_str());
  PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  Check(WaitGone(dialog, 5000), what + ": OK closes the file dialog");
  DismissStrayBoxes(app.dialog());
  CheckText(app.ItemText(edit), choose, what + ": the chosen file is shown");
}

void Merge(App& app, const std::wstring& input, const std::wstring& output) {
  app.SetItemText(IDC_INPUT_FILE, input);
  app.SetItemText(IDC_OUTPUT_FILE, output);
  app.PostClick(IDC_CONVERT);
  HWND merge = WaitOwned(app.dialog(), kMergeTitle, kMergeWait);
  if (merge == nullptr) {
    std::printf("SKIP: merge dialog\n");
    std::fflush(stdout);
    DismissStrayBoxes(app.dialog());
    return;
  }
  std::wstring first = Text(GetDlgItem(merge, IDC_MERGE_NAME1));
  std::wstring second = Text(GetDlgItem(merge, IDC_MERGE_NAME2));
  bool names = (first.rfind(L"A1", 0) == 0 && second.rfind(L"A2", 0) == 0) ||
               (first.rfind(L"A2", 0) == 0 && second.rfind(L"A1", 0) == 0);
  Check(names, "merge dialog names both stations", first + L" / " + second);
  std::wstring norths =
      Text(GetDlgItem(merge, IDC_MERGE_NORTH1)) + L" " + Text(GetDlgItem(merge, IDC_MERGE_NORTH2));
  Check(norths == L"1000.0000 1000.0100" || norths == L"1000.0100 1000.0000",
        "merge dialog shows both North values", norths);
  Check(SendMessageW(GetDlgItem(merge, IDC_MERGE_USE1), BM_GETCHECK, 0, 0) == BST_CHECKED,
        "merge dialog offers the first station");
  PostMessageW(GetDlgItem(merge, IDC_MERGE_SAME), BM_CLICK, 0, 0);
  Check(WaitGone(merge, 5000), "\"Stations Are The Same\" closes the merge dialog");
  CheckText(TakeMessageBox(app.dialog()), Format(TableString(IDS_SUCCESS), {output}),
            "the run goes on to message 2213 after the merge");
  DismissStrayBoxes(app.dialog());
}

// Three stations, one group: "Same For All Remaining" at the first offer,
// keeping the second station, settles all three pairs with one dialog.
void MergeGroup(App& app, const std::wstring& input, const std::wstring& output) {
  DeleteFileW(output.c_str());
  app.SetItemText(IDC_INPUT_FILE, input);
  app.SetItemText(IDC_OUTPUT_FILE, output);
  app.PostClick(IDC_CONVERT);
  HWND merge = WaitOwned(app.dialog(), kMergeTitle, kMergeWait);
  if (!Check(merge != nullptr, "a group of three stations raises the merge dialog")) {
    DismissStrayBoxes(app.dialog());
    return;
  }
  CheckText(Text(GetDlgItem(merge, IDC_MERGE_GROUP)), L"Group of 3 stations: 3 pairs remain.",
            "merge dialog tells the group's size and its pairs left");
  CheckText(Text(GetDlgItem(merge, IDC_MERGE_SAME_FOR_ALL)), L"Same For All &Remaining",
            "label of the \"same for all remaining\" button");
  CheckText(Text(GetDlgItem(merge, IDC_MERGE_DIFFERENT_FOR_ALL)), L"Different For All Re&maining",
            "label of the \"different for all remaining\" button");
  const std::wstring kept = Text(GetDlgItem(merge, IDC_MERGE_NAME2));
  SendMessageW(GetDlgItem(merge, IDC_MERGE_USE2), BM_CLICK, 0, 0);
  PostMessageW(GetDlgItem(merge, IDC_MERGE_SAME_FOR_ALL), BM_CLICK, 0, 0);
  Check(WaitGone(merge, 5000), "\"Same For All Remaining\" closes the merge dialog");
  Check(WaitOwned(app.dialog(), kMergeTitle, 500) == nullptr,
        "no further merge dialog for the group");
  CheckText(TakeMessageBox(app.dialog()), Format(TableString(IDS_SUCCESS), {output}),
            "the run goes on to message 2213 after one answer for the group");
  DismissStrayBoxes(app.dialog());
  // Every station of the group is written as the one kept.
  const std::vector<unsigned char> bytes = ReadAll(output);
  const std::string written(bytes.begin(), bytes.end());
  int stations = 0;
  for (const char* name : {"M1", "M2", "M3"}) {
    if (written.find(std::string("; ") + name + ";") != std::string::npos) ++stations;
  }
  Check(stations == 1 && written.find("; " + Utf8(kept) + ";") != std::string::npos,
        "the output holds only the station kept", kept);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: trovisk-ui-test GUI.exe [SCREENSHOT.bmp|-] [EXAMPLE.rw5]\n");
    return 2;
  }
  wchar_t full[MAX_PATH] = L"";
  GetFullPathNameW(argv[1], MAX_PATH, full, nullptr);
  const std::wstring exe = full;
  const std::wstring screenshot = argc > 2 && std::wcscmp(argv[2], L"-") != 0 ? argv[2] : L"";
  const std::wstring example = argc > 3 ? argv[3] : L"";
  const std::wstring settings = exe.substr(0, exe.find_last_of(L"\\/:") + 1) + L"Trovisk.cfg";
  const std::wstring extra_settings = exe.substr(0, exe.find_last_of(L"\\/:") + 1) + L"Trovisk.ini";

  // Expected texts come from the program's own string table.
  g_resources = LoadLibraryExW(exe.c_str(), nullptr,
                               LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (!Check(g_resources != nullptr && !TableString(IDS_SUCCESS).empty(),
             "string table of the program is readable")) {
    std::printf("%d passed, %d failed\n", g_passed, g_failed);
    return 1;
  }

  wchar_t temp[MAX_PATH] = L"";
  GetTempPathW(MAX_PATH, temp);
  const std::wstring work = std::wstring(temp) + L"trovisk-ui\\";
  CreateDirectoryW(work.c_str(), nullptr);
  const std::wstring traverse = work + L"traverse.rw5";
  const std::wstring merge_input = work + L"merge.rw5";
  const std::wstring merge_group_input = work + L"merge-group.rw5";
  const std::wstring unusual_input = work + L"Stra\u00dfe \u00f8st \u0398.rw5";
  if (example.empty() || !CopyFileW(example.c_str(), traverse.c_str(), FALSE)) {
    Info("example file not at hand: converting a small file written here");
    WriteText(traverse, kSmallTraverseRw5);
  }
  WriteText(merge_input, kMergeRw5);
  WriteText(merge_group_input, kMergeGroupRw5);
  DeleteFileW(settings.c_str());
  DeleteFileW((work + L"traverse-plot.svg").c_str());
  DeleteFileW((work + L"traverse-report.txt").c_str());
  // A key of a later version, which the program must keep.
  WriteText(extra_settings, "later_key=7\r\n");

  {
    App app(exe);
    if (!Check(app.Start(), "main dialog appears on the first start")) {
      std::printf("%d passed, %d failed\n", g_passed, g_failed);
      return 1;
    }
    FirstStart(app, screenshot);
    EnableRules(app);
    About(app);
    ValidationRefusals(app);
    Conversion(app, traverse, work + L"traverse.txt", "conversion of the example");
    Check(ReadAll(work + L"traverse-plot.svg").empty() &&
              ReadAll(work + L"traverse-report.txt").empty(),
          "with the box clear, no check report or plot is written");
    CheckFiles(app, traverse, work);
    GridField(app);
    Merge(app, merge_input, work + L"merge.txt");
    MergeGroup(app, merge_group_input, work + L"merge-group.txt");
    Browse(app, IDC_BROWSE_INPUT, IDC_INPUT_FILE, L"Select TDS File", 3, L"TDS File (*.rw5)",
           merge_input);
    Browse(app, IDC_BROWSE_OUTPUT, IDC_OUTPUT_FILE, L"Enter/Select An Output File", 2,
           L"ASCII (Text) File (*.txt)", work + L"chosen.txt");
    // Names beyond ASCII travel as UTF-8 from the edits to the core and the record.
    CopyFileW(traverse.c_str(), unusual_input.c_str(), FALSE);
    Conversion(app, unusual_input, work + L"r\u00e9sultat \u0142.txt",
               "a file named with non-ASCII letters");

    // "Close" writes the settings record beside the program.
    app.SetItemText(IDC_SEED_NAME, L"SEED 7");
    app.SetItemText(IDC_TOLERANCE, L"0.02");
    app.Click(IDC_TOLERANCE_2D);
    app.Click(IDC_LOCAL_NEE);
    app.SetItemText(IDC_GRID_CODE, L" epsg:2953 ");
    app.PostClick(IDOK);
    Check(app.WaitExit(10000) == 0, "\"Close\" ends the program with exit code 0");
  }
  std::vector<unsigned char> record = ReadAll(settings);
  Check(record.size() == kSettingsSize, "\"Close\" writes a 1120-byte settings record",
        std::to_wstring(record.size()) + L" bytes");
  Check(FieldText(record, 40, 16) == "SEED 7", "the record holds the station name");
  Check(FieldText(record, 349, 260) == Utf8(unusual_input),
        "the record holds the input file name in UTF-8");
  Check(FieldDouble(record, 80) == 0.02, "the record holds the tolerance");
  Check(record.size() > 641 && record[88] == 1 && record[641] == 1,
        "the record holds 2D mode and the local NEE flag");
  std::vector<unsigned char> extra = ReadAll(extra_settings);
  std::string extra_text(extra.begin(), extra.end());
  Check(extra_text.find("check_report_and_plot=1") != std::string::npos &&
            extra_text.find("grid=EPSG:2953") != std::string::npos &&
            extra_text.find("later_key=7") != std::string::npos,
        "\"Close\" keeps the check box and the grid in Trovisk.ini beside the record, with the "
        "other keys",
        std::wstring(extra_text.begin(), extra_text.end()));

  {
    App app(exe);
    if (Check(app.Start(), "main dialog appears on the second start")) {
      CheckText(app.ItemText(IDC_SEED_NAME), L"SEED 7", "saved station name is shown again");
      CheckText(app.ItemText(IDC_TOLERANCE), L"0.02", "saved tolerance is shown again");
      CheckText(app.ItemText(IDC_INPUT_FILE), unusual_input, "saved input file is shown again");
      CheckText(app.ItemText(IDC_GRID_CODE), L"EPSG:2953", "saved grid is shown again");
      Check(app.IsChecked(IDC_TOLERANCE_2D) && app.IsChecked(IDC_LOCAL_NEE) &&
                app.IsChecked(IDC_CHECK_FILES),
            "saved mode and check boxes are shown again");
      // Esc closes without writing.
      app.SetItemText(IDC_SEED_NAME, L"CHANGED");
      HWND edit = app.Item(IDC_TOLERANCE);
      PostMessageW(edit, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
      PostMessageW(edit, WM_KEYUP, VK_ESCAPE, static_cast<LPARAM>(0xC0010001u));
      Check(app.WaitExit(10000) == 0, "Esc ends the program");
    }
  }
  Check(ReadAll(settings) == record, "Esc leaves the settings record unchanged");

  {
    App app(exe);
    if (Check(app.Start(), "main dialog appears on the third start")) {
      app.SetItemText(IDC_SEED_NAME, L"CHANGED");
      PostMessageW(app.dialog(), WM_SYSCOMMAND, SC_CLOSE, 0);
      Check(app.WaitExit(10000) == 0, "the close box ends the program");
    }
  }
  Check(ReadAll(settings) == record, "the close box leaves the settings record unchanged");

  // A name the record cannot keep is reported at Close, not dropped silently.
  {
    App app(exe);
    if (Check(app.Start(), "main dialog appears on the fourth start")) {
      const std::wstring long_name = work + std::wstring(300, L'x') + L".rw5";
      app.SetItemText(IDC_INPUT_FILE, long_name);
      app.PostClick(IDOK);
      CheckText(TakeMessageBox(app.dialog()),
                Format(TableString(IDS_FILE_NAME_TOO_LONG), {long_name}),
                "a 300-character input name is reported at Close");
      Check(app.WaitExit(10000) == 0, "\"Close\" still ends the program");
    }
  }
  record = ReadAll(settings);
  Check(record.size() == kSettingsSize && FieldText(record, 349, 260).empty() &&
            FieldText(record, 40, 16) == "SEED 7",
        "the record keeps the other options and leaves the long name out");
  extra = ReadAll(extra_settings);
  Check(std::string(extra.begin(), extra.end()) == extra_text,
        "the check box stays checked in Trovisk.ini after a restart");

  std::printf("%d passed, %d failed\n", g_passed, g_failed);
  return g_failed == 0 ? 0 : 1;
}
