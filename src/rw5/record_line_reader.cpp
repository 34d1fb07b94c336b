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

namespace {

// The encoding the first bytes of a file show, and the length of its
// byte-order mark.
RecordLineReader::Encoding Recognise(const char* bytes, std::size_t count, std::size_t& mark) {
  using Encoding = RecordLineReader::Encoding;
  const auto byte = [bytes](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  const auto text = [](unsigned char c) {
    return (c >= 0x20 && c < 0x7F) || c == '\r' || c == '\n' || c == '\t';
  };
  mark = 0;
  if (count >= 2 && byte(0) == 0xFF && byte(1) == 0xFE) {
    mark = 2;
    return Encoding::kUtf16Le;
  }
  if (count >= 2 && byte(0) == 0xFE && byte(1) == 0xFF) {
    mark = 2;
    return Encoding::kUtf16Be;
  }
  // Without a mark: text whose every second byte is NUL.
  if (count >= 4 && text(byte(0)) && byte(1) == 0 && text(byte(2)) && byte(3) == 0) {
    return Encoding::kUtf16Le;
  }
  if (count >= 4 && byte(0) == 0 && text(byte(1)) && byte(2) == 0 && text(byte(3))) {
    return Encoding::kUtf16Be;
  }
  return Encoding::kBytes;
}

}  // namespace

RecordLineReader::Fill RecordLineReader::FillBuffer() {
  position_ = 0;
  end_ = 0;
  std::streamsize count = 0;
  try {
    if (encoding_ == Encoding::kUnknown && buffer_.size() < head_.size()) {
      // Blocks too small to show the encoding: read the first bytes ahead.
      input_.read(head_.data(), static_cast<std::streamsize>(head_.size()));
      head_length_ = static_cast<std::size_t>(input_.gcount());
      encoding_ = Recognise(head_.data(), head_length_, head_position_);
    }
    if (head_position_ < head_length_) {
      while (head_position_ < head_length_ && end_ < buffer_.size()) {
        buffer_[end_++] = head_[head_position_++];
      }
      count = static_cast<std::streamsize>(end_);
    } else {
      input_.read(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
      count = input_.gcount();
    }
  } catch (...) {
    // A stream set to throw reports its failure here like any other.
    return Fill::kError;
  }
  if (count > 0) {
    end_ = static_cast<std::size_t>(count);
    if (encoding_ == Encoding::kUnknown) encoding_ = Recognise(buffer_.data(), end_, position_);
    if (encoding_ == Encoding::kUtf16Le || encoding_ == Encoding::kUtf16Be) DecodeUtf16();
    return Fill::kData;  // possibly with no byte yet: the caller reads on
  }
  if (input_.bad() || !input_.eof()) return Fill::kError;
  return Fill::kEnd;
}

void RecordLineReader::DecodeUtf16() {
  // Each code unit becomes one byte: the byte itself below 256 (the
  // collectors' own single-byte characters, such as the degree sign), '?'
  // above. The output never overtakes the input, so this works in place.
  const bool little_endian = encoding_ == Encoding::kUtf16Le;
  std::size_t out = 0;
  std::size_t in = position_;
  auto put = [&](unsigned char first, unsigned char second) {
    unsigned int unit = little_endian ? (first | second << 8) : (first << 8 | second);
    buffer_[out++] = unit < 0x100 ? static_cast<char>(unit) : '?';
  };
  if (carried_byte_ >= 0 && in < end_) {
    put(static_cast<unsigned char>(carried_byte_), static_cast<unsigned char>(buffer_[in++]));
    carried_byte_ = -1;
  }
  for (; in + 1 < end_; in += 2) {
    put(static_cast<unsigned char>(buffer_[in]), static_cast<unsigned char>(buffer_[in + 1]));
  }
  if (in < end_) carried_byte_ = static_cast<unsigned char>(buffer_[in]);
  position_ = 0;
  end_ = out;
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
