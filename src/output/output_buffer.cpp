// The output buffer.
#include "output/output_buffer.h"

#include <algorithm>

namespace trovisk {

void OutputBuffer::Grow(std::size_t size) {
  const std::size_t capacity = std::max({size_ + size, 2 * capacity_, std::size_t{4096}});
  auto data = std::make_unique_for_overwrite<char[]>(capacity);
  if (size_ != 0) std::memcpy(data.get(), data_.get(), size_);
  data_ = std::move(data);
  capacity_ = capacity;
}

bool OutputBuffer::Flush() {
  if (size_ != 0) stream_.write(data_.get(), static_cast<std::streamsize>(size_));
  size_ = 0;
  return !stream_.fail();
}

}  // namespace trovisk
