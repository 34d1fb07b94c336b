// Text gathered in memory and handed to the output stream in large chunks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <ostream>
#include <string_view>

#include "output/number_format.h"

namespace trovisk {

// The text of one number kept while the same value recurs: an instrument
// height over a whole setup, a constant standard deviation, the elevation a
// station's records carry three times. Values are told apart by their bits,
// so minus zero keeps its own text.
class RepeatedNumber {
 public:
  explicit RepeatedNumber(int decimals) : decimals_(decimals) {}

 private:
  friend class OutputBuffer;
  // Long enough for any survey number; a longer text is simply not kept.
  static constexpr std::size_t kCapacity = 32;

  int decimals_;
  std::uint64_t bits_ = 0;
  std::size_t length_ = 0;  // 0 while nothing is kept
  char text_[kCapacity] = {};
};

// The writers build their records straight into one block of memory and pass
// it on once it has grown past a chunk, so that a large file costs few stream
// calls and no text is copied twice. The block grows rather than flushing in
// the middle of a record, so the stream sees whole records only.
class OutputBuffer {
 public:
  static constexpr std::size_t kChunkSize = 256 * 1024;

  explicit OutputBuffer(std::ostream& stream);
  // Text not yet flushed is dropped: callers flush to learn the stream state.
  ~OutputBuffer() = default;
  OutputBuffer(const OutputBuffer&) = delete;
  OutputBuffer& operator=(const OutputBuffer&) = delete;

  void Append(std::string_view text) {
    if (text.empty()) return;  // its data may be null, which memcpy may not take
    std::memcpy(Room(text.size()), text.data(), text.size());
    used_ += text.size();
  }
  void Append(char c) {
    *Room(1) = c;
    ++used_;
  }
  // Names and notes: a line break inside one would split its record, so each
  // CR or LF is written as a blank.
  void AppendText(std::string_view text);
  // printf "%1.<decimals>lf" of the value (zero when it is not finite).
  void AppendFixed(double value, int decimals) {
    used_ = static_cast<std::size_t>(WriteFixed(Room(kMaxFixedLength), value, decimals) - data_.get());
  }
  // The same, through the text kept for the value when it recurs.
  void AppendFixed(RepeatedNumber& number, double value);
  // A packed DDD.MMSS angle, its minutes and seconds carried below 60.
  void AppendPackedAngle(double packed, int decimals) {
    used_ = static_cast<std::size_t>(WritePackedAngle(Room(kMaxFixedLength), packed, decimals) -
                                     data_.get());
  }

  // Hands the gathered text to the stream; false when the stream's error
  // indicator is set afterwards.
  bool Flush();
  // Flushes only once a chunk has gathered; false when the stream has failed.
  bool FlushIfFull() { return used_ < kChunkSize ? !stream_.fail() : Flush(); }

 private:
  // Where `size` more characters may be written.
  char* Room(std::size_t size) {
    if (capacity_ - used_ < size) Grow(size);
    return data_.get() + used_;
  }
  void Grow(std::size_t size);

  std::ostream& stream_;
  std::unique_ptr<char[]> data_;
  std::size_t used_ = 0;
  std::size_t capacity_ = 0;
};

}  // namespace trovisk
