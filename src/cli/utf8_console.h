// The console speaks UTF-8, as the core does: file names on the command line
// arrive as UTF-8 and messages are shown as UTF-8. On Linux both already are;
// Windows hands main() its arguments in the ANSI code page, which cannot hold
// every file name, and its console shows that code page.
#pragma once

#include <string>
#include <vector>

namespace trovisk {

class Utf8Console {
 public:
  // Takes main()'s arguments; on Windows they are read again from the
  // system's wide command line, and the console's output code page is set to
  // UTF-8 until this object goes.
  Utf8Console(int argc, char** argv);
  ~Utf8Console();
  Utf8Console(const Utf8Console&) = delete;
  Utf8Console& operator=(const Utf8Console&) = delete;

  int argc() const { return static_cast<int>(arguments_.size()); }
  char** argv() { return pointers_.data(); }

 private:
  std::vector<std::string> arguments_;
  std::vector<char*> pointers_;  // into arguments_, with the closing null
  unsigned previous_output_code_page_ = 0;
};

}  // namespace trovisk
