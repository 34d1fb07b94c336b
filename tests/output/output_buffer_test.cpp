// The output buffer: names and notes with their line breaks blanked, and text
// reaching the stream whole and in order.
#include "output/output_buffer.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "output/failing_stream.h"

namespace trovisk {
namespace {

TEST(OutputBuffer, LineBreaksInNamesAndNotesBecomeBlanks) {
  const struct {
    std::string text;
    std::string written;
  } cases[] = {
      {"", ""},
      {"P9", "P9"},
      {"P\r9", "P 9"},
      {"\nTWO\r\nLINES\n", " TWO  LINES "},
      {"IRON PIN FOUND 0.2 BELOW GRADE\r", "IRON PIN FOUND 0.2 BELOW GRADE "},
      {std::string("NUL\0AND\tTAB", 11), std::string("NUL\0AND\tTAB", 11)},  // only CR and LF
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.written);
    std::ostringstream stream;
    OutputBuffer out(stream);
    out.Append('[');
    out.AppendText(c.text);
    out.Append("]");
    ASSERT_TRUE(out.Flush());
    EXPECT_EQ(stream.str(), "[" + c.written + "]");
  }
}

TEST(OutputBuffer, LongTextArrivesWholeAndInOrder) {
  // Pieces past the first size of the buffer, one longer than a write.
  std::ostringstream stream;
  std::string expected;
  OutputBuffer out(stream);
  for (std::size_t size : {std::size_t{10}, std::size_t{5000}, OutputBuffer::kWriteSize * 3}) {
    const std::string piece(size, static_cast<char>('a' + size % 26));
    out.Append(piece);
    out.AppendFixed(-0.5, 3);
    out.AppendPackedAngle(10.0459999999, 6);
    expected += piece + "-0.50010.050000";
    ASSERT_TRUE(out.FlushIfFull());
  }
  ASSERT_TRUE(out.Flush());
  EXPECT_EQ(stream.str(), expected);
}

TEST(OutputBuffer, AFullDeviceFailsTheFlush) {
  testing::FailingStream stream(100);
  OutputBuffer out(stream);
  out.Append(std::string(OutputBuffer::kWriteSize, 'x'));
  EXPECT_FALSE(out.FlushIfFull());
  EXPECT_EQ(stream.written().size(), 100u);
}

}  // namespace
}  // namespace trovisk
