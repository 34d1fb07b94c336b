// The record lines of a large raw file, read and cut on a second thread while
// the records before them are being handled.
#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <memory>
#include <string_view>

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
  bool Next(std::string_view& line, int& line_counter, int& error_code);
  bool is_note() const;
  // The lines that follow the last one given within its batch, each ended by
  // a line feed: a look ahead that may end early, valid until the next call.
  std::string_view Ahead() const;

 private:
  class Pipeline;
  std::unique_ptr<Pipeline> pipeline_;
};

}  // namespace trovisk
