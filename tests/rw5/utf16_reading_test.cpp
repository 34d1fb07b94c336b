// Raw files saved as UTF-16 read as the same records as their single-byte
// originals, however the blocks split the code units.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "rw5/record_line_reader.h"

namespace trovisk {
namespace {

struct Read {
  std::vector<std::string> lines;
  int counter = 0;
  int error_code = 0;
};

Read ReadAll(const std::string& content, std::size_t block_size) {
  std::istringstream input(content);
  RecordLineReader reader(input, block_size);
  Read result;
  std::string_view line;
  while (reader.Next(line, result.counter, result.error_code)) result.lines.emplace_back(line);
  return result;
}

// The code units of `units`, each written in two bytes.
std::string Utf16(const std::u16string& units, bool big_endian, bool mark) {
  std::string bytes;
  if (mark) bytes = big_endian ? "\xFE\xFF" : "\xFF\xFE";
  for (char16_t unit : units) {
    char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
    bytes += big_endian ? std::string{high, low} : std::string{low, high};
  }
  return bytes;
}

TEST(Utf16Reading, GivesTheSameLinesAsTheSingleByteFile) {
  const std::u16string text =
      u"JB,NMJOB1\r\n--note\r\n\r\nSS,OP1,FP2,AR1.0000,--45\u00B0N \u4E2D X\r\nLS,HR1.5";
  // The degree sign keeps its single byte; a character beyond one byte is '?'.
  const std::vector<std::string> expected = {"JB,NMJOB1", "SS,OP1,FP2,AR1.0000,--45\xB0N ? X",
                                             "LS,HR1.5"};
  struct Case {
    const char* name;
    bool big_endian;
    bool mark;
  };
  for (const Case& c :
       {Case{"LE with mark", false, true}, Case{"BE with mark", true, true},
        Case{"LE without mark", false, false}, Case{"BE without mark", true, false}}) {
    for (std::size_t block : {1, 2, 3, 5, 64, 1 << 20}) {
      SCOPED_TRACE(std::string(c.name) + ", block " + std::to_string(block));
      Read read = ReadAll(Utf16(text, c.big_endian, c.mark), block);
      EXPECT_EQ(read.lines, expected);
      EXPECT_EQ(read.counter, 5);
      EXPECT_EQ(read.error_code, 0);
    }
  }
}

// Single-byte files that merely hold NUL bytes, or begin like a mark in part,
// stay single-byte.
TEST(Utf16Reading, LeavesSingleByteFilesAlone) {
  struct Case {
    std::string content;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {std::string("JB,NM\0X\nSS,OP1", 14), {std::string("JB,NM\0X", 7), "SS,OP1"}},
      {std::string("JB\0\0,NM\nSS\0\n", 13), {std::string("JB\0\0,NM", 7), "SS"}},
      {"\xFFJB\n", {"JB"}},
      {"\xEF\xBB\xBFJB,NM1\n", {"JB,NM1"}},  // a UTF-8 mark is trimmed away
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lines.front());
    EXPECT_EQ(ReadAll(c.content, 1 << 20).lines, c.lines);
  }
}

}  // namespace
}  // namespace trovisk
