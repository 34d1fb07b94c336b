// Eight bytes at a time: every load and match agrees with a byte-by-byte reading.
#include "rw5/byte_words.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace trovisk {
namespace {

// Commas and the bytes a carry could confuse with them: '-' and '+' one
// away, the same low half with other high halves, bytes of 128 and above.
constexpr char kAlphabet[] = {',', ',',  '-',    '+',    '.',    '0',    'A',
                              ' ', '\0', '\x0C', '\x3C', '\xAC', '\xAD', '\xFF'};

TEST(ByteWords, LoadsAndMatchesAgreeWithABytewiseReading) {
  std::mt19937 random(20261210);
  const std::string whole_words[] = {",,,,,,,,", "-,-,-,-,-", ",", ",+", "\xAC\x2C"};
  for (int i = 0; i < 50000; ++i) {
    std::string text(random() % 12, ' ');
    for (char& c : text) c = kAlphabet[random() % sizeof kAlphabet];
    if (i < 5) text = whole_words[i];
    SCOPED_TRACE(testing::PrintToString(text));
    const std::uint64_t word = LoadWord(text.data(), text.size());
    for (std::size_t b = 0; b < kWordBytes; ++b) {
      const auto byte = b < text.size() ? static_cast<unsigned char>(text[b]) : 0u;
      ASSERT_EQ(word >> (8 * b) & 0xFF, byte) << "byte " << b;
      ASSERT_EQ((MatchingByteBits(word, ',') >> (8 * b + 7)) & 1, byte == ',' ? 1u : 0u)
          << "byte " << b;
    }
  }
}

}  // namespace
}  // namespace trovisk
