// UTF-8 arguments and console output (see utf8_console.h).
#include "cli/utf8_console.h"

#ifdef _WIN32
#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>
#endif

namespace trovisk {

#ifdef _WIN32
namespace {

std::string Utf8(const wchar_t* text) {
  int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return {};
  std::string utf8(static_cast<std::size_t>(size - 1), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), size, nullptr, nullptr);
  return utf8;
}

}  // namespace
#endif

Utf8Console::Utf8Console(int argc, char** argv) {
#ifdef _WIN32
  int count = 0;
  if (LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count); wide != nullptr) {
    for (int i = 0; i < count; ++i) arguments_.push_back(Utf8(wide[i]));
    LocalFree(wide);
  }
  previous_output_code_page_ = GetConsoleOutputCP();
  if (previous_output_code_page_ != 0) SetConsoleOutputCP(CP_UTF8);
#endif
  if (arguments_.empty()) arguments_.assign(argv, argv + argc);
  for (std::string& argument : arguments_) pointers_.push_back(argument.data());
  pointers_.push_back(nullptr);
}

Utf8Console::~Utf8Console() {
#ifdef _WIN32
  if (previous_output_code_page_ != 0) SetConsoleOutputCP(previous_output_code_page_);
#endif
}

}  // namespace trovisk
