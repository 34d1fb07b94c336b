// The chunked output buffer.
#include "output/output_buffer.h"

#include "output/number_format.h"

namespace trovisk {

OutputBuffer::OutputBuffer(std::ostream& stream) : stream_(stream) {}

void OutputBuffer::AppendText(std::string_view text) {
  std::size_t start = text_.size();
  text_.append(text);
  for (std::size_t i = start; i < text_.size(); ++i) {
    if (text_[i] == '\r' || text_[i] == '\n') text_[i] = ' ';
  }
}

void OutputBuffer::AppendFixed(double value, int decimals) {
  trovisk::AppendFixed(text_, value, decimals);
}

void OutputBuffer::AppendPackedAngle(double packed, int decimals) {
  trovisk::AppendPackedAngle(text_, packed, decimals);
}

bool OutputBuffer::Flush() {
  if (!text_.empty()) {
    stream_.write(text_.data(), static_cast<std::streamsize>(text_.size()));
    text_.clear();
  }
  return !stream_.fail();
}

}  // namespace trovisk
