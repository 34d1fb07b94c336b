// Block-buffered reading of the raw file into trimmed logical record lines.
#include "rw5/record_line_reader.h"

#include <cstring>

#include "base/status.h"

namespace trovisk {

RecordLineReader::RecordLineReader(std::istream& input, std::size_t block_size)
    : input_(input), buffer_(block_size == 0 ? 1 : block_size) {}

RecordLineReader::Fill RecordLineReader::ReadBlock(char* into, std::size_t size,
                                                   std::size_t& count) {
  count = 0;
  try {
    input_.read(into, static_cast<std::streamsize>(size));
    count = static_cast<std::size_t>(input_.gcount());
  } catch (...) {
    // A stream set to throw reports its failure here like any other.
    return Fill::kError;
  }
  if (count > 0) return Fill::kData;
  if (input_.bad() || !input_.eof()) return Fill::kError;
  return Fill::kEnd;
}

RecordLineReader::Fill RecordLineReader::FirstFill() {
  encoding_known_ = true;
  // Two bytes at least, to see a byte-order mark; a block of one byte hands
  // the second out on the next fill.
  const bool into_lead = buffer_.size() < lead_.size();
  char* into = into_lead ? lead_.data() : buffer_.data();
  std::size_t count = 0;
  Fill fill = ReadBlock(into, into_lead ? lead_.size() : buffer_.size(), count);
  if (fill != Fill::kData) return fill;
  const auto first = static_cast<unsigned char>(into[0]);
  const auto second = count >= 2 ? static_cast<unsigned char>(into[1]) : 0u;
  const bool little_endian_mark = count >= 2 && first == 0xFF && second == 0xFE;
  const bool big_endian_mark = count >= 2 && first == 0xFE && second == 0xFF;
  if (little_endian_mark || big_endian_mark) {
    decoder_.emplace(big_endian_mark);
    raw_.resize(buffer_.size());
    std::size_t rest = count - 2;
    if (rest > 0) std::memcpy(raw_.data(), into + 2, rest);
    // A raw block decodes to at most half its size and two bytes more.
    if (buffer_.size() < raw_.size() / 2 + 2) buffer_.resize(raw_.size() / 2 + 2);
    end_ = decoder_->Decode(raw_.data(), rest, buffer_.data());
    return Fill::kData;
  }
  if (into_lead) {
    lead_count_ = count;
    buffer_[0] = lead_[0];
    lead_position_ = 1;
    end_ = 1;
  } else {
    end_ = count;
  }
  return Fill::kData;
}

RecordLineReader::Fill RecordLineReader::FillDecoded() {
  std::size_t count = 0;
  Fill fill = ReadBlock(raw_.data(), raw_.size(), count);
  if (fill == Fill::kError) return fill;
  if (fill == Fill::kEnd) {
    end_ = decoder_->Finish(buffer_.data());
    return end_ > 0 ? Fill::kData : Fill::kEnd;
  }
  // A block may decode to nothing (half a code unit); the caller reads on.
  end_ = decoder_->Decode(raw_.data(), count, buffer_.data());
  return Fill::kData;
}

RecordLineReader::Fill RecordLineReader::FillBuffer() {
  position_ = 0;
  end_ = 0;
  if (!encoding_known_) return FirstFill();
  if (lead_position_ < lead_count_) {
    buffer_[end_++] = lead_[lead_position_++];
    return Fill::kData;
  }
  if (decoder_) return FillDecoded();
  std::size_t count = 0;
  Fill fill = ReadBlock(buffer_.data(), buffer_.size(), count);
  end_ = count;
  return fill;
}

bool RecordLineReader::Refill(Status& error_code) {
  while (position_ == end_) {
    if (at_end_) return false;
    Fill fill = FillBuffer();
    if (fill == Fill::kError) {
      at_end_ = true;
      error_code = Status::kReadError;
      return false;
    }
    if (fill == Fill::kEnd) at_end_ = true;
  }
  return true;
}

namespace {

// True for the bytes trimmed from both ends of a line: blanks, control bytes
// and every byte of 128 or above (32 or less as signed chars).
bool IsTrimmedByte(char c) { return static_cast<signed char>(c) <= 32; }

// The text without trimmed bytes at either end.
std::string_view TrimRecordText(std::string_view text) {
  std::size_t first = 0;
  std::size_t last = text.size();
  while (first < last && IsTrimmedByte(text[first])) ++first;
  while (last > first && IsTrimmedByte(text[last - 1])) --last;
  return text.substr(first, last - first);
}

// The first line end ('\n' or '\r') of the `size` bytes at `text`, or size.
std::size_t LineEndIn(const char* text, std::size_t size) {
  const void* newline = std::memchr(text, '\n', size);
  std::size_t end =
      newline ? static_cast<std::size_t>(static_cast<const char*>(newline) - text) : size;
  const void* carriage_return = std::memchr(text, '\r', end);
  return carriage_return
             ? static_cast<std::size_t>(static_cast<const char*>(carriage_return) - text)
             : end;
}

}  // namespace

bool RecordLineReader::ReadLogicalLine(Status& error_code) {
  line_length_ = 0;
  line_start_ = line_.data();
  bool read_something = false;
  for (;;) {
    if (position_ == end_ && !Refill(error_code))
      return read_something && error_code == Status::kOk;
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
    std::size_t length = LineEndIn(start, limit);
    if (length < limit && line_length_ == 0) {
      // The whole line lies in the block: no copy.
      line_start_ = start;
      line_length_ = length;
      position_ += length;
      after_cr_ = start[length] == '\r';
      ++position_;
      return true;
    }
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
      return error_code == Status::kOk;
    }
  }
}

bool RecordLineReader::Next(std::string_view& line, int& line_counter, Status& error_code) {
  error_code = Status::kOk;
  line = std::string_view();
  is_note_ = false;
  for (;;) {
    if (!ReadLogicalLine(error_code)) {
      // The line that could not be read is the one the message names.
      if (error_code != Status::kOk) ++line_counter;
      return false;
    }
    ++line_counter;
    std::string_view text = TrimRecordText(std::string_view(line_start_, line_length_));
    if (text.empty()) continue;
    if (text.substr(0, 2) == "--") {
      if (!keep_data_notes_ || !IsDataNote(text)) continue;
      is_note_ = true;
    }
    line = text;
    return true;
  }
}

}  // namespace trovisk
