// UTF-16 code units to single bytes, carried across block boundaries.
#include "rw5/utf16_decoder.h"

namespace trovisk {
namespace {

constexpr unsigned kHighSurrogateFirst = 0xD800;
constexpr unsigned kLowSurrogateFirst = 0xDC00;
constexpr unsigned kSurrogateEnd = 0xE000;
constexpr unsigned kSingleByteEnd = 0x100;

}  // namespace

std::size_t Utf16Decoder::Unit(unsigned unit, char* out) {
  std::size_t written = 0;
  const bool high = unit >= kHighSurrogateFirst && unit < kLowSurrogateFirst;
  const bool low = unit >= kLowSurrogateFirst && unit < kSurrogateEnd;
  if (after_high_surrogate_) {
    after_high_surrogate_ = false;
    // A pair stands for one code point beyond a byte; a lone high surrogate
    // is a character of its own that cannot be shown either.
    out[written++] = kUndecodableByte;
    if (low) return written;
  }
  if (high) {
    after_high_surrogate_ = true;
  } else if (unit < kSingleByteEnd) {
    out[written++] = static_cast<char>(static_cast<unsigned char>(unit));
  } else {
    out[written++] = kUndecodableByte;
  }
  return written;
}

std::size_t Utf16Decoder::Decode(const char* in, std::size_t count, char* out) {
  std::size_t written = 0;
  std::size_t i = 0;
  auto byte = [&](std::size_t k) { return static_cast<unsigned char>(in[k]); };
  auto combine = [&](unsigned char first, unsigned char second) {
    return big_endian_ ? (unsigned{first} << 8 | second) : (unsigned{second} << 8 | first);
  };
  if (has_half_unit_ && count > 0) {
    has_half_unit_ = false;
    written += Unit(combine(half_unit_, byte(0)), out + written);
    i = 1;
  }
  for (; i + 1 < count; i += 2) written += Unit(combine(byte(i), byte(i + 1)), out + written);
  if (i < count) {
    has_half_unit_ = true;
    half_unit_ = byte(i);
  }
  return written;
}

std::size_t Utf16Decoder::Finish(char* out) {
  std::size_t written = 0;
  if (after_high_surrogate_) {
    after_high_surrogate_ = false;
    out[written++] = kUndecodableByte;
  }
  if (has_half_unit_) {
    has_half_unit_ = false;
    out[written++] = kUndecodableByte;
  }
  return written;
}

}  // namespace trovisk
