// Block-buffered reading of the raw file into trimmed logical record lines.
#include "rw5/record_line_reader.h"

#include "convert/status.h"

namespace trovisk {

std::string_view TrimRecordText(std::string_view text) {
  std::size_t first = 0;
  std::size_t last = text.size();
  while (first < last && IsTrimmedByte(text[first])) ++first;
  while (last > first && IsTrimmedByte(text[last - 1])) --last;
  return text.substr(first, last - first);
}

RecordLineReader::RecordLineReader(std::istream& input, std::size_t block_size)
    : input_(input), buffer_(block_size == 0 ? 1 : block_size) {}

RecordLineReader::Fill RecordLineReader::FillBuffer() {
  position_ = 0;
  end_ = 0;
  std::streamsize count = 0;
  try {
    input_.read(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    count = input_.gcount();
  } catch (...) {
    // A stream set to throw reports its failure here like any other.
    return Fill::kError;
  }
  if (count > 0) {
    end_ = static_cast<std::size_t>(count);
    return Fill::kData;
  }
  if (input_.bad() || !input_.eof()) return Fill::kError;
  return Fill::kEnd;
}

bool RecordLineReader::ReadLogicalLine(int& error_code) {
  line_length_ = 0;
  bool read_something = false;
  // Takes the next byte into `c`, refilling the block when it runs out;
  // false at the end of the input or on an error.
  auto next_byte = [&](char& c) {
    while (position_ == end_) {
      if (at_end_) return false;
      Fill fill = FillBuffer();
      if (fill == Fill::kError) {
        at_end_ = true;
        error_code = kStatusReadError;
        return false;
      }
      if (fill == Fill::kEnd) at_end_ = true;
    }
    c = buffer_[position_];
    return true;
  };

  char c = 0;
  while (next_byte(c)) {
    ++position_;
    if (after_cr_) {
      after_cr_ = false;
      if (c == '\n') continue;  // the LF of a CR LF pair
    }
    read_something = true;
    if (c == '\n') return true;
    if (c == '\r') {
      after_cr_ = true;
      return true;
    }
    line_[line_length_++] = c;
    if (line_length_ == kMaxRecordLineLength) {
      // A line end right after the last byte that fits closes this line
      // rather than making an empty one.
      if (next_byte(c) && (c == '\n' || c == '\r')) {
        ++position_;
        after_cr_ = (c == '\r');
      }
      return error_code == 0;
    }
  }
  return read_something && error_code == 0;
}

bool RecordLineReader::Next(std::string_view& line, int& line_counter, int& error_code) {
  error_code = 0;
  line = std::string_view();
  for (;;) {
    if (!ReadLogicalLine(error_code)) {
      // The line that could not be read is the one the message names.
      if (error_code != 0) ++line_counter;
      return false;
    }
    ++line_counter;
    std::string_view text = TrimRecordText(std::string_view(line_.data(), line_length_));
    if (text.empty()) continue;
    if (text.substr(0, 2) == "--") {
      if (text.substr(0, 5) == "--MO,") {
        mode_note_length_ = text.size();
        for (std::size_t i = 0; i < text.size(); ++i) mode_note_[i] = text[i];
        ++mode_note_count_;
      }
      continue;
    }
    line = text;
    return true;
  }
}

}  // namespace trovisk
