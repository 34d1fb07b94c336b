// Block-buffered reading of the raw file into trimmed logical record lines.
#include "rw5/record_line_reader.h"

#include <cstring>

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

bool RecordLineReader::Refill(int& error_code) {
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
  return true;
}

bool RecordLineReader::ReadLogicalLine(int& error_code) {
  line_length_ = 0;
  bool read_something = false;
  for (;;) {
    if (position_ == end_ && !Refill(error_code)) return read_something && error_code == 0;
    if (after_cr_) {
      after_cr_ = false;
      if (buffer_[position_] == '\n') {  // the LF of a CR LF pair
        ++position_;
        continue;
      }
    }
    // Copy up to the line end, the end of the block or the longest line.
    const char* start = buffer_.data() + position_;
    std::size_t limit = end_ - position_;
    if (limit > kMaxRecordLineLength - line_length_) limit = kMaxRecordLineLength - line_length_;
    std::size_t length = 0;
    while (length < limit && start[length] != '\n' && start[length] != '\r') ++length;
    std::memcpy(line_.data() + line_length_, start, length);
    line_length_ += length;
    position_ += length;
    if (length < limit) {
      after_cr_ = start[length] == '\r';
      ++position_;
      return true;
    }
    read_something = read_something || length > 0;
    if (line_length_ == kMaxRecordLineLength) {
      // A line end right after the last byte that fits closes this line
      // rather than making an empty one.
      if (Refill(error_code)) {
        char c = buffer_[position_];
        if (c == '\n' || c == '\r') {
          ++position_;
          after_cr_ = c == '\r';
        }
      }
      return error_code == 0;
    }
  }
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
