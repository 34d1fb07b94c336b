// Eight bytes of text at a time: loading them as one word and finding the
// bytes of one value among them, without a byte loop.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace trovisk {

inline constexpr std::size_t kWordBytes = 8;
inline constexpr std::uint64_t kEveryByte = 0x0101010101010101ULL;
inline constexpr std::uint64_t kLowSevenBits = 0x7F * kEveryByte;
inline constexpr std::uint64_t kTopBits = 0x80 * kEveryByte;

// The first min(8, available) bytes of `text` as a word, first byte lowest;
// bytes past `available` are 0. Never reads past `available`: a short tail
// is read as two overlapping pieces, whose shared bytes agree.
inline std::uint64_t LoadWord(const char* text, std::size_t available) {
  if constexpr (std::endian::native == std::endian::little) {
    std::uint64_t word = 0;
    if (available >= kWordBytes) {
      std::memcpy(&word, text, kWordBytes);
      return word;
    }
    if (available >= 4) {
      std::uint32_t low = 0;
      std::uint32_t high = 0;
      std::memcpy(&low, text, 4);
      std::memcpy(&high, text + available - 4, 4);
      return low | std::uint64_t{high} << (8 * (available - 4));
    }
    if (available == 0) return 0;
    auto byte = [text](std::size_t i) {
      return std::uint64_t{static_cast<unsigned char>(text[i])} << (8 * i);
    };
    return byte(0) | byte(available / 2) | byte(available - 1);
  } else {
    std::uint64_t word = 0;
    const std::size_t bytes = available < kWordBytes ? available : kWordBytes;
    for (std::size_t i = 0; i < bytes; ++i) {
      word |= std::uint64_t{static_cast<unsigned char>(text[i])} << (8 * i);
    }
    return word;
  }
}

// The top bit of every byte of `word` that is zero, and no other bit: each
// byte is tested on its own, so no carry makes a false match.
inline std::uint64_t ZeroByteBits(std::uint64_t word) {
  return ~(((word & kLowSevenBits) + kLowSevenBits) | word | kLowSevenBits);
}

// The top bit of every byte of `word` that equals `byte`.
inline std::uint64_t MatchingByteBits(std::uint64_t word, unsigned char byte) {
  return ZeroByteBits(word ^ (byte * kEveryByte));
}

// The byte of a word that holds the lowest set bit (of a non-zero word).
inline std::size_t ByteOfLowestBit(std::uint64_t bits) {
  return static_cast<std::size_t>(std::countr_zero(bits)) / 8;
}

}  // namespace trovisk
