// Entry point of the Windows program: runs the main dialog and exits.
#include "app/win32/main_dialog.h"
#include "app/win32/windows_api.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  InitCommonControls();
  trovisk::ConverterDialog dialog(instance);
  dialog.DoModal();
  return 0;
}
