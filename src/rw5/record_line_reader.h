// Reads the raw file as trimmed logical record lines, skipping blank and note lines.
#pragma once

#include <array>
#include <cstddef>
#include <istream>
#include <optional>
#include <string_view>
#include <vector>

#include "base/status.h"
#include "rw5/utf16_decoder.h"

namespace trovisk {

// Longest logical line; a longer physical line continues as the next one.
inline constexpr std::size_t kMaxRecordLineLength = 207;

// True for the notes that hold data some collectors keep nowhere else: a
// mode ("--MO,"), a point's grid coordinates ("--GS,"), the accuracy of a
// receiver position ("--HRMS:"), a resection and its readings ("--Resection:",
// "--Reading "), and the points deleted from the coordinate file.
inline bool IsDataNote(std::string_view text) {
  if (text.size() < 5 || text[2] == ' ') return false;
  const std::string_view head = text.substr(2, 3);
  return head == "MO," || head == "GS," || text.substr(0, 7) == "--HRMS:" ||
         text.substr(0, 12) == "--Resection:" || text.substr(0, 10) == "--Reading " ||
         text.substr(0, 22) == "--Deleted Point ID(s):";
}

// A file that begins with a UTF-16 byte-order mark (either byte order) is
// read as UTF-16 turned into single bytes (see Utf16Decoder); any other file
// is read byte for byte.
class RecordLineReader {
 public:
  explicit RecordLineReader(std::istream& input, std::size_t block_size = 1 << 20);

  // Reads lines until one is neither empty nor a "--" note, counting every
  // line read in `line_counter`. The line is trimmed of bytes that are 32 or
  // less as signed chars (blanks, control bytes and every byte of 128 or
  // above) and stays valid until the next call. False at end of file, or on a
  // read error with `error_code` 1003; `error_code` is 0 otherwise.
  bool Next(std::string_view& line, int& line_counter, Status& error_code);

  // From now on Next also gives the data notes (IsDataNote), with is_note()
  // set, in their place among the records.
  void KeepDataNotes() { keep_data_notes_ = true; }
  // The last line given is a data note.
  bool is_note() const { return is_note_; }

 private:
  enum class Fill { kData, kEnd, kError };
  // Reads the next logical line (at most 207 bytes); false at end of input
  // with nothing read. A line that lies in the block is left there, one that
  // crosses blocks is gathered in line_.
  bool ReadLogicalLine(Status& error_code);
  Fill FillBuffer();
  // Reads up to `size` bytes of the stream; kData when any came.
  Fill ReadBlock(char* into, std::size_t size, std::size_t& count);
  // Reads the first block and looks at its first two bytes for a UTF-16
  // byte-order mark.
  Fill FirstFill();
  Fill FillDecoded();
  // Makes bytes available; false at end of input or on an error.
  bool Refill(Status& error_code);

  std::istream& input_;
  std::vector<char> buffer_;
  std::size_t position_ = 0;
  std::size_t end_ = 0;
  bool at_end_ = false;
  // A CR ended the last line; an LF right after it belongs to the same end.
  bool after_cr_ = false;
  std::array<char, kMaxRecordLineLength + 1> line_{};
  std::size_t line_length_ = 0;
  // The line read: line_, or the block itself when the whole line lies in it.
  const char* line_start_ = nullptr;
  bool keep_data_notes_ = false;
  bool is_note_ = false;
  // With blocks of one byte: the first two bytes, read to look for a
  // byte-order mark and handed out one by one when there is none.
  bool encoding_known_ = false;
  std::array<char, 2> lead_{};
  std::size_t lead_count_ = 0;
  std::size_t lead_position_ = 0;
  // UTF-16 input: raw blocks are decoded into buffer_.
  std::optional<Utf16Decoder> decoder_;
  std::vector<char> raw_;
};

}  // namespace trovisk
