// Text of the adjustment file gathered in memory and handed to the stream in
// large writes.
#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <ostream>
#include <string_view>

#include "output/number_format.h"

namespace trovisk {

class OutputBuffer {
 public:
  // Few large writes cost the system less than many small ones.
  static constexpr std::size_t kWriteSize = 512 * 1024;

  explicit OutputBuffer(std::ostream& stream) : stream_(stream) {}
  // Text not yet flushed is dropped: callers flush to learn the stream's state.
  ~OutputBuffer() = default;
  OutputBuffer(const OutputBuffer&) = delete;
  OutputBuffer& operator=(const OutputBuffer&) = delete;

  void Append(std::string_view text) {
    if (text.empty()) return;  // its data may be null, which memcpy may not take
    std::memcpy(Room(text.size()), text.data(), text.size());
    size_ += text.size();
  }
  void Append(char c) {
    *Room(1) = c;
    ++size_;
  }
  // A name or note, each CR or LF written as a blank: a line break inside it
  // would split its record.
  void AppendText(std::string_view text) {
    char* out = Room(text.size());
    for (char c : text) *out++ = c == '\r' || c == '\n' ? ' ' : c;
    size_ += text.size();
  }
  // printf "%1.<decimals>lf" of the value (zero when it is not finite).
  void AppendFixed(double value, int decimals) {
    char* start = Room(kMaxFixedLength);
    size_ += static_cast<std::size_t>(WriteFixed(start, value, decimals) - start);
  }
  // A packed DDD.MMSS angle, its printed minutes and seconds carried below 60.
  void AppendPackedAngle(double packed, int decimals) {
    char* start = Room(kMaxFixedLength);
    size_ += static_cast<std::size_t>(WritePackedAngle(start, packed, decimals) - start);
  }

  // Hands the gathered text to the stream; false when the stream has failed.
  bool Flush();
  // Flushes once kWriteSize has gathered, so that whole records reach the
  // stream; false when the stream has failed.
  bool FlushIfFull() { return size_ < kWriteSize || Flush(); }

 private:
  // Where `size` more characters may be written.
  char* Room(std::size_t size) {
    if (capacity_ - size_ < size) Grow(size);
    return data_.get() + size_;
  }
  void Grow(std::size_t size);

  std::ostream& stream_;
  std::unique_ptr<char[]> data_;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
};

}  // namespace trovisk
