// The record lines of a large raw file, read and cut on a second thread while
// the records before them are being handled.
#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <memory>
#include <string_view>

#include "base/status.h"

namespace trovisk {

// Gives exactly the lines, counts and errors a RecordLineReader over the same
// input gives (see there), but reads the file, finds the line ends and trims
// the lines on a thread of its own, a batch of lines ahead of the caller. On
// a platform without threads, or when no thread can be had, it is a plain
// RecordLineReader.
class PipelinedLineReader {
 public:
  // `keep_data_notes`: as RecordLineReader::KeepDataNotes. `batch_bytes`:
  // the text of one batch of lines (a smaller batch hands lines over sooner
  // and more often).
  PipelinedLineReader(std::istream& input, bool keep_data_notes,
                      std::size_t batch_bytes = 256 * 1024);
  // Stops the reading thread, wherever it is.
  ~PipelinedLineReader();
  PipelinedLineReader(const PipelinedLineReader&) = delete;
  PipelinedLineReader& operator=(const PipelinedLineReader&) = delete;

  // As RecordLineReader::Next. An exception of the reading thread (out of
  // memory) is thrown here, in its place among the lines.
  bool Next(std::string_view& line, int& line_counter, Status& error_code) {
    // The common case, a line of the batch in hand, without a call.
    if (next_line_ < line_count_) {
      const LineEntry& entry = lines_[next_line_++];
      line = std::string_view(text_ + entry.offset, entry.length);
      line_counter = entry.line_counter;
      error_code = Status::kOk;
      is_note_ = entry.is_note;
      return true;
    }
    return NextSlow(line, line_counter, error_code);
  }
  bool is_note() const { return is_note_; }

  // One line of a batch: where its text lies in the batch's text.
  struct LineEntry {
    std::size_t offset = 0;
    std::size_t length = 0;
    int line_counter = 0;
    bool is_note = false;
  };

 private:
  class Pipeline;
  bool NextSlow(std::string_view& line, int& line_counter, Status& error_code);

  std::unique_ptr<Pipeline> pipeline_;
  // The batch in hand (none while the lines are read on this thread).
  const char* text_ = nullptr;
  std::size_t text_size_ = 0;
  const LineEntry* lines_ = nullptr;
  std::size_t line_count_ = 0;
  std::size_t next_line_ = 0;
  bool is_note_ = false;
};

}  // namespace trovisk
