// Streaming UTF-16 to single-byte decoding for raw files saved as UTF-16.
#pragma once

#include <cstddef>

namespace trovisk {

// Character given for a code point that has no single-byte form.
inline constexpr char kUndecodableByte = '?';

// Turns UTF-16 code units (little- or big-endian) into single bytes: code
// points below 256 are kept as their byte, every other one (a surrogate pair
// included) becomes '?'. Input may be cut anywhere, even inside a code unit or
// a surrogate pair; the decoder carries the piece over to the next call.
class Utf16Decoder {
 public:
  explicit Utf16Decoder(bool big_endian) : big_endian_(big_endian) {}

  // Decodes `count` bytes of `in` into `out`, which must hold count / 2 + 2
  // bytes; returns the number of bytes written.
  std::size_t Decode(const char* in, std::size_t count, char* out);
  // At the end of input: a '?' for a half code unit or an unpaired high
  // surrogate left over (at most two bytes); returns the number written.
  std::size_t Finish(char* out);

 private:
  // Writes what one whole code unit stands for; returns the bytes written.
  std::size_t Unit(unsigned unit, char* out);

  bool big_endian_;
  bool has_half_unit_ = false;
  unsigned char half_unit_ = 0;
  bool after_high_surrogate_ = false;
};

}  // namespace trovisk
