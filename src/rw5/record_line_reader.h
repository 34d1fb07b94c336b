// Reads the raw file as trimmed logical record lines, skipping blank and note lines.
#pragma once

#include <array>
#include <cstddef>
#include <istream>
#include <string_view>
#include <vector>

namespace trovisk {

// Longest logical line; a longer physical line continues as the next one.
inline constexpr std::size_t kMaxRecordLineLength = 207;

class RecordLineReader {
 public:
  explicit RecordLineReader(std::istream& input, std::size_t block_size = 1 << 20);

  // Reads lines until one is neither empty nor a "--" note, counting every
  // line read in `line_counter`. The line is trimmed of bytes that are 32 or
  // less as signed chars (blanks, control bytes and every byte of 128 or
  // above) and stays valid until the next call. False at end of file, or on a
  // read error with `error_code` 1003; `error_code` is 0 otherwise.
  bool Next(std::string_view& line, int& line_counter, int& error_code);

  // How many "--MO," notes have been passed, and the text of the last one:
  // some collectors write their only mode record as a note.
  int mode_note_count() const { return mode_note_count_; }
  std::string_view last_mode_note() const {
    return std::string_view(mode_note_.data(), mode_note_length_);
  }

  // How the file's bytes map to the reader's bytes. A file saved as UTF-16
  // (recognised by its byte-order mark, or by text whose every second byte
  // is NUL) is read as the same text in single bytes.
  enum class Encoding { kUnknown, kBytes, kUtf16Le, kUtf16Be };

 private:
  enum class Fill { kData, kEnd, kError };
  // Reads the next logical line (at most 207 bytes) into line_; false at end
  // of input with nothing read.
  bool ReadLogicalLine(int& error_code);
  Fill FillBuffer();
  // Turns the UTF-16 code units of buffer_[position_, end_) into bytes in place.
  void DecodeUtf16();
  // Makes bytes available; false at end of input or on an error.
  bool Refill(int& error_code);

  std::istream& input_;
  std::vector<char> buffer_;
  std::size_t position_ = 0;
  std::size_t end_ = 0;
  bool at_end_ = false;
  Encoding encoding_ = Encoding::kUnknown;
  int carried_byte_ = -1;  // first byte of a UTF-16 code unit split between blocks
  std::array<char, 4> head_{};  // the first bytes, read ahead when blocks are smaller
  std::size_t head_length_ = 0;
  std::size_t head_position_ = 0;
  // A CR ended the last line; an LF right after it belongs to the same end.
  bool after_cr_ = false;
  std::array<char, kMaxRecordLineLength + 1> line_{};
  std::size_t line_length_ = 0;
  std::array<char, kMaxRecordLineLength + 1> mode_note_{};
  std::size_t mode_note_length_ = 0;
  int mode_note_count_ = 0;
};

// True for the bytes trimmed from both ends of a line and of a field.
inline constexpr bool IsTrimmedByte(char c) { return static_cast<signed char>(c) <= 32; }

// The text without trimmed bytes at either end.
std::string_view TrimRecordText(std::string_view text);

}  // namespace trovisk
