// The chunked output buffer.
#include "output/output_buffer.h"

#include <algorithm>
#include <bit>

namespace trovisk {
namespace {

// Room beyond a chunk for the record that crosses it, so that the block
// rarely has to grow.
constexpr std::size_t kInitialCapacity = OutputBuffer::kChunkSize + 64 * 1024;

}  // namespace

OutputBuffer::OutputBuffer(std::ostream& stream) : stream_(stream) { Grow(0); }

void OutputBuffer::AppendText(std::string_view text) {
  char* out = Room(text.size());
  for (char c : text) *out++ = c == '\r' || c == '\n' ? ' ' : c;
  used_ += text.size();
}

void OutputBuffer::AppendFixed(RepeatedNumber& number, double value) {
  const auto bits = std::bit_cast<std::uint64_t>(value);
  if (number.length_ != 0 && bits == number.bits_) {
    // The whole array in one fixed-size copy; only its text counts.
    std::memcpy(Room(RepeatedNumber::kCapacity), number.text_, RepeatedNumber::kCapacity);
    used_ += number.length_;
    return;
  }
  char* start = Room(kMaxFixedLength);
  const auto length = static_cast<std::size_t>(WriteFixed(start, value, number.decimals_) - start);
  used_ += length;
  number.length_ = length <= RepeatedNumber::kCapacity ? length : 0;
  if (number.length_ != 0) {
    std::memcpy(number.text_, start, length);
    number.bits_ = bits;
  }
}

void OutputBuffer::Grow(std::size_t size) {
  // A short-lived buffer (one header block) starts small; a section's soon
  // holds a whole chunk.
  std::size_t capacity = std::max({used_ + size, 2 * capacity_, std::size_t{4096}});
  if (capacity_ != 0) capacity = std::max(capacity, kInitialCapacity);
  auto data = std::make_unique_for_overwrite<char[]>(capacity);
  if (used_ != 0) std::memcpy(data.get(), data_.get(), used_);
  data_ = std::move(data);
  capacity_ = capacity;
}

bool OutputBuffer::Flush() {
  if (used_ != 0) {
    stream_.write(data_.get(), static_cast<std::streamsize>(used_));
    used_ = 0;
  }
  return !stream_.fail();
}

}  // namespace trovisk
