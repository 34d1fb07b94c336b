// The chunked output buffer and the copying of names and notes.
#include "output/output_buffer.h"

#include <algorithm>

namespace trovisk {
namespace {

// Room beyond a chunk for the record that crosses it, so that the block
// rarely has to grow.
constexpr std::size_t kInitialCapacity = OutputBuffer::kChunkSize + 128 * 1024;

char Blanked(char c) { return c == '\r' || c == '\n' ? ' ' : c; }

template <typename Word>
void CopyWord(char* out, const char* text) {
  Word word;
  std::memcpy(&word, text, sizeof word);
  if (!HasLineBreak(word)) {
    std::memcpy(out, &word, sizeof word);
    return;
  }
  for (std::size_t i = 0; i < sizeof word; ++i) out[i] = Blanked(text[i]);
}

}  // namespace

char* WriteLineText(char* out, std::string_view text) {
  const std::size_t size = text.size();
  const char* in = text.data();
  // Whole words, the last one overlapping the one before rather than reading
  // past the end; overlapping bytes are written twice with the same value.
  if (size >= 8) {
    for (std::size_t i = 0; i + 8 < size; i += 8) CopyWord<std::uint64_t>(out + i, in + i);
    CopyWord<std::uint64_t>(out + size - 8, in + size - 8);
  } else if (size >= 4) {
    CopyWord<std::uint32_t>(out, in);
    CopyWord<std::uint32_t>(out + size - 4, in + size - 4);
  } else {
    for (std::size_t i = 0; i < size; ++i) out[i] = Blanked(in[i]);
  }
  return out + size;
}

OutputBuffer::OutputBuffer(std::ostream& stream) : stream_(stream), stream_good_(!stream.fail()) {
  Grow(0);
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
  stream_good_ = !stream_.fail();
  return stream_good_;
}

}  // namespace trovisk
