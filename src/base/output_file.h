// The output file of a run, written beside its final name and put in place
// only when the run succeeds, so that a failed or cancelled run never leaves
// a half-written file where a good one stood.
#pragma once

#include <fstream>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace trovisk {

class OutputFile {
 public:
  OutputFile() = default;
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Opens for writing. A regular file (or a new name) is written to a
  // temporary file in the same folder; "-" is standard output; any other
  // existing non-regular file (a device, a pipe) is written directly.
  // False when the file cannot be created.
  bool Open(const std::string& path);
  std::ostream& stream();

  // Flushes and puts the file in place; false on any write or rename error.
  bool Commit();
  // Closes and removes the temporary file; the final name stays untouched.
  void Abandon();

 private:
  std::string path_;
  std::string temporary_path_;  // empty when writing directly
  std::ofstream file_;
  std::vector<char> buffer_;
  bool to_standard_output_ = false;
  bool open_ = false;
};

// True when both names lead to one existing file, by any path.
bool IsSameFile(const std::string& first, const std::string& second);

}  // namespace trovisk
