// The running program's own file: /proc/self/exe on Linux, the module file
// name on Windows (argv[0] there is only what was typed, often without folder).
#include "cli/program_path.h"

#ifdef _WIN32
#include <windows.h>

#include <vector>
#else
#include <filesystem>
#include <system_error>
#endif

namespace trovisk {

#ifdef _WIN32
std::string ProgramPath(const char* argv0) {
  std::vector<wchar_t> name(MAX_PATH);
  for (;;) {
    DWORD length = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
    if (length == 0) break;
    if (length < name.size()) {
      int size = WideCharToMultiByte(CP_UTF8, 0, name.data(), static_cast<int>(length), nullptr, 0,
                                     nullptr, nullptr);
      std::string text(static_cast<std::size_t>(size), '\0');
      WideCharToMultiByte(CP_UTF8, 0, name.data(), static_cast<int>(length), text.data(), size,
                          nullptr, nullptr);
      return text;
    }
    name.resize(name.size() * 2);
  }
  return argv0 != nullptr ? argv0 : "";
}
#else
std::string ProgramPath(const char* argv0) {
  std::error_code error;
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error && !self.empty()) return self.string();
  return argv0 != nullptr ? argv0 : "";
}
#endif

}  // namespace trovisk
