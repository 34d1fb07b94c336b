// The output block: names copied with their line breaks blanked, recurring
// numbers, and text reaching the stream whole.
#include "output/output_buffer.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace trovisk {
namespace {

std::string Blanked(std::string text) {
  for (char& c : text) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return text;
}

TEST(LineText, EveryCrAndLfBlankedAtEveryPlaceAndLength) {
  // Bytes next to CR and LF, and with the high bit set, must pass unchanged:
  // a word-at-a-time search that confuses them blanks the wrong bytes.
  const char neighbours[] = {'\x09', '\x0b', '\x0c', '\x0e', '\x8a', '\x8d',
                             '\x80', '\xff', '\x00', '\x01', 'A',    ' '};
  for (std::size_t length = 0; length <= 20; ++length) {
    for (char filler : neighbours) {
      for (std::size_t at = 0; at <= length; ++at) {
        for (char line_break : {'\r', '\n'}) {
          std::string text(length, filler);
          if (at < length) text[at] = line_break;
          // A second break further on, where a first match can hide one.
          if (at + 3 < length) text[at + 3] = '\n';
          SCOPED_TRACE(testing::Message() << "length " << length << " filler "
                                          << static_cast<int>(filler) << " at " << at);
          std::vector<char> out(length + 8, '#');
          char* end = WriteLineText(out.data(), text);
          ASSERT_EQ(end, out.data() + length);
          EXPECT_EQ(std::string(out.data(), length), Blanked(text));
          EXPECT_EQ(out[length], '#');  // nothing written past the text
        }
      }
    }
  }
}

TEST(RepeatedNumbers, SameTextAsFormattingEachTime) {
  // Values recur, change, and come back; minus zero has its own text.
  const double values[] = {1.4402, 1.4402, 1.5682, 1.4402,  0.0,          -0.0,        -0.0,
                           0.0,    1e15,   1e15,   -2.5e-6, 12345.678901, 12345.678901};
  std::ostringstream stream;
  OutputBuffer buffer(stream);
  RepeatedNumber kept(5);
  std::string expected;
  for (double value : values) {
    TextCursor cursor = buffer.Reserve(kMaxFixedLength + 1);
    cursor.PutFixed(kept, value);
    cursor.Put('|');
    buffer.Commit(cursor);
    expected += FormatFixed(value, 5) + "|";
  }
  ASSERT_TRUE(buffer.Flush());
  EXPECT_EQ(stream.str(), expected);
}

TEST(OutputBlock, LongTextsGrowTheBlockAndArriveWhole) {
  // Pieces past the block's first size, one of them longer than a chunk.
  std::ostringstream stream;
  std::string expected;
  {
    OutputBuffer buffer(stream);
    for (std::size_t size :
         {std::size_t{10}, std::size_t{5000}, OutputBuffer::kChunkSize * 3, std::size_t{7}}) {
      std::string piece(size, static_cast<char>('a' + size % 26));
      buffer.AppendText(piece);
      buffer.AppendFixed(-0.5, 3);
      expected += piece + "-0.500";
      ASSERT_TRUE(buffer.FlushIfFull());
    }
    ASSERT_TRUE(buffer.Flush());
  }
  EXPECT_EQ(stream.str(), expected);
}

}  // namespace
}  // namespace trovisk
