// Text gathered in memory and handed to the output stream in large chunks.
#pragma once

#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>

namespace trovisk {

// The writers build their records in one string and pass it on once it has
// grown past a chunk, so that a large file costs few stream calls.
class OutputBuffer {
 public:
  static constexpr std::size_t kChunkSize = 256 * 1024;

  explicit OutputBuffer(std::ostream& stream);
  // Text not yet flushed is dropped: callers flush to learn the stream state.
  ~OutputBuffer() = default;
  OutputBuffer(const OutputBuffer&) = delete;
  OutputBuffer& operator=(const OutputBuffer&) = delete;

  void Append(std::string_view text) { text_.append(text); }
  void Append(char c) { text_.push_back(c); }
  // Names and notes: a line break inside one would split its record, so each
  // CR or LF is written as a blank.
  void AppendText(std::string_view text);
  // printf "%1.<decimals>lf" of the value (zero when it is not finite).
  void AppendFixed(double value, int decimals);
  // A packed DDD.MMSS angle, its minutes and seconds carried below 60.
  void AppendPackedAngle(double packed, int decimals);

  // Hands the gathered text to the stream; false when the stream's error
  // indicator is set afterwards.
  bool Flush();
  // Flushes only once a chunk has gathered; false when the stream has failed.
  bool FlushIfFull() { return text_.size() < kChunkSize ? !stream_.fail() : Flush(); }

 private:
  std::ostream& stream_;
  std::string text_;
};

}  // namespace trovisk
