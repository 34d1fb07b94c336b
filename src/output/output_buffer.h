// Text gathered in memory and handed to the output stream in large chunks.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <ostream>
#include <string_view>

#include "output/number_format.h"
#include "rw5/station_name.h"

namespace trovisk {

// The text of one number kept while the same value recurs: an instrument
// height over a whole setup, a constant standard deviation, the elevation a
// station's records carry three times. Values are told apart by their bits,
// so minus zero keeps its own text.
class RepeatedNumber {
 public:
  explicit RepeatedNumber(int decimals) : decimals_(decimals) {}

 private:
  friend class TextCursor;
  // Long enough for any survey number; a longer text is simply not kept.
  static constexpr std::size_t kCapacity = 32;
  static_assert(kCapacity <= kMaxFixedLength);

  int decimals_;
  std::uint64_t bits_ = 0;
  std::size_t length_ = 0;  // 0 while nothing is kept
  char text_[kCapacity] = {};
};

/// Copies `text` to `out` with each CR or LF written as a blank (a line break
/// inside a name or note would split its record); returns the end.
char* WriteLineText(char* out, std::string_view text);

// A word with `byte` in each of its bytes.
template <typename Word>
constexpr Word RepeatedByte(unsigned char byte) {
  return static_cast<Word>(~Word{0} / 0xff * byte);
}

// Whether a byte of the word is a CR or an LF: a byte of x - 0x01... & ~x
// has its high bit set for a zero byte of x (the first one exactly; later
// ones may be false, which a yes-or-no question does not mind).
template <typename Word>
bool HasLineBreak(Word word) {
  auto zero_bytes = [](Word x) {
    return static_cast<Word>(static_cast<Word>(x - RepeatedByte<Word>(0x01)) & ~x &
                             RepeatedByte<Word>(0x80));
  };
  return (zero_bytes(word ^ RepeatedByte<Word>('\r')) |
          zero_bytes(word ^ RepeatedByte<Word>('\n'))) != 0;
}

// A station's name as two overlapping words holding all its bytes (and
// more, of which only the name counts), and whether it has a line break to
// blank: loaded and checked once for a name written several times.
struct NameWords {
  static_assert(kMaxStationNameLength == 15);
  static constexpr std::size_t kTailOffset = 7;

  NameWords() = default;  // no name
  explicit NameWords(const StationName& name) : text(name.view()) {
    std::memcpy(&head, name.data(), sizeof head);
    std::memcpy(&tail, name.data() + kTailOffset, sizeof tail);
    has_line_break = HasLineBreak(head) || HasLineBreak(tail);
  }

  std::string_view text;
  std::uint64_t head = 0;
  std::uint64_t tail = 0;
  bool has_line_break = false;
};

// Writes into room reserved in an OutputBuffer, keeping its place in a
// register rather than in the buffer. The reservation must cover everything
// written: kMaxFixedLength for each number, the length of each text, and
// kMaxStationNameLength for each station's name, whose words are copied whole.
class TextCursor {
 public:
  explicit TextCursor(char* at) : at_(at) {}
  char* at() const { return at_; }

  void Put(char c) { *at_++ = c; }
  void Put(std::string_view text) {
    if (text.empty()) return;  // its data may be null, which memcpy may not take
    std::memcpy(at_, text.data(), text.size());
    at_ += text.size();
  }
  // `size` characters of a scratch text that has at least kScratchBlock
  // readable: a short one in one fixed-size copy rather than a call.
  static constexpr std::size_t kScratchBlock = 16;
  void PutScratch(const char* text, std::size_t size) {
    if (size <= kScratchBlock) {
      std::memcpy(at_, text, kScratchBlock);
    } else {
      std::memcpy(at_, text, size);
    }
    at_ += size;
  }
  // The first `size` characters, at most kScratchBlock, of a block of exactly
  // kScratchBlock bytes: never more than the block is read.
  void PutShortScratch(const char (&block)[kScratchBlock], std::size_t size) {
    std::memcpy(at_, block, kScratchBlock);
    at_ += size < kScratchBlock ? size : kScratchBlock;
  }
  // Names and notes, their line breaks written as blanks.
  void PutText(std::string_view text) { at_ = WriteLineText(at_, text); }
  // A station's name, which needs kMaxStationNameLength of room.
  void PutName(const StationName& name) { PutName(NameWords(name)); }
  void PutName(const NameWords& name) {
    if (name.has_line_break) {
      PutText(name.text);
      return;
    }
    std::memcpy(at_, &name.head, sizeof name.head);
    std::memcpy(at_ + NameWords::kTailOffset, &name.tail, sizeof name.tail);
    at_ += name.text.size();
  }
  // printf "%1.<decimals>lf" of the value (zero when it is not finite).
  void PutFixed(double value, int decimals) { at_ = WriteFixed(at_, value, decimals); }
  template <int kDecimals>
  void PutFixed(double value) {
    at_ = WriteFixed<kDecimals>(at_, value);
  }
  // The same, through the text kept for the value when it recurs.
  void PutFixed(RepeatedNumber& number, double value) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    if (number.length_ != 0 && bits == number.bits_) {
      // The whole array in one fixed-size copy; only its text counts.
      std::memcpy(at_, number.text_, RepeatedNumber::kCapacity);
      at_ += number.length_;
      return;
    }
    char* start = at_;
    at_ = WriteFixed(at_, value, number.decimals_);
    const auto length = static_cast<std::size_t>(at_ - start);
    number.length_ = length <= RepeatedNumber::kCapacity ? length : 0;
    if (number.length_ != 0) {
      // A fixed-size copy again: the room reserved for a number is longer.
      std::memcpy(number.text_, start, RepeatedNumber::kCapacity);
      number.bits_ = bits;
    }
  }
  // A packed DDD.MMSS angle, its minutes and seconds carried below 60.
  void PutPackedAngle(double packed, int decimals) {
    at_ = WritePackedAngle(at_, packed, decimals);
  }
  template <int kDecimals>
  void PutPackedAngle(double packed) {
    at_ = WritePackedAngle<kDecimals>(at_, packed);
  }
  // An angle in radians as its packed text, RadiansToDms then PutPackedAngle.
  template <int kDecimals>
  void PutRadiansAsPackedAngle(double radians) {
    at_ = WriteRadiansAsPackedAngle<kDecimals>(at_, radians);
  }

 private:
  char* at_;
};

// The writers build their records straight into one block of memory and pass
// it on once it has grown past a chunk, so that a large file costs few stream
// calls and no text is copied twice. The block grows rather than flushing in
// the middle of a record, so the stream sees whole records only.
class OutputBuffer {
 public:
  // Writing a large file costs the system less in larger pieces (32 KB ones
  // cost a fifth more than 256 KB, and 512 KB some 5% less again); the block
  // with its slack stays within the processor's second-level cache.
  static constexpr std::size_t kChunkSize = 512 * 1024;

  explicit OutputBuffer(std::ostream& stream);
  // Text not yet flushed is dropped: callers flush to learn the stream state.
  ~OutputBuffer() = default;
  OutputBuffer(const OutputBuffer&) = delete;
  OutputBuffer& operator=(const OutputBuffer&) = delete;

  // Room for `size` more characters, to be written through the cursor and
  // taken into the text by Commit.
  TextCursor Reserve(std::size_t size) { return TextCursor(Room(size)); }
  void Commit(const TextCursor& cursor) {
    used_ = static_cast<std::size_t>(cursor.at() - data_.get());
  }

  // One piece at a time, for the short blocks.
  void Append(std::string_view text) {
    TextCursor cursor = Reserve(text.size());
    cursor.Put(text);
    Commit(cursor);
  }
  void Append(char c) {
    TextCursor cursor = Reserve(1);
    cursor.Put(c);
    Commit(cursor);
  }
  void AppendText(std::string_view text) {
    TextCursor cursor = Reserve(text.size());
    cursor.PutText(text);
    Commit(cursor);
  }
  void AppendFixed(double value, int decimals) {
    TextCursor cursor = Reserve(kMaxFixedLength);
    cursor.PutFixed(value, decimals);
    Commit(cursor);
  }

  // Hands the gathered text to the stream; false when the stream's error
  // indicator is set afterwards.
  bool Flush();
  // Flushes only once a chunk has gathered; false when the stream has failed.
  // Only a flush writes to the stream, so the last one's answer stands until
  // the next.
  bool FlushIfFull() { return used_ < kChunkSize ? stream_good_ : Flush(); }

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
  bool stream_good_;  // the stream's state after the last flush
};

}  // namespace trovisk
