// The line reader: line ends, trimming, long lines, counting and bad input.
#include "rw5/record_line_reader.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "support/failing_buffer.h"

namespace trovisk {
namespace {

struct ReadResult {
  std::vector<std::string> lines;
  int counter = 0;
  Status error_code = Status::kOk;
};

ReadResult ReadAll(std::istream& input, std::size_t block_size) {
  RecordLineReader reader(input, block_size);
  ReadResult result;
  std::string_view line;
  while (reader.Next(line, result.counter, result.error_code)) result.lines.emplace_back(line);
  return result;
}

ReadResult ReadAll(const std::string& content, std::size_t block_size) {
  std::istringstream input(content);
  return ReadAll(input, block_size);
}

TEST(RecordLineReader, LinesAreTrimmedAndCountedWhateverTheBlockSize) {
  const std::string full(kMaxRecordLineLength, 'a');
  struct Case {
    const char* name;
    std::string content;
    std::vector<std::string> lines;
    int counter;  // every physical line, blank and note lines too
  };
  const std::vector<Case> cases = {
      {"only blanks and notes", "\n  \n--JB,NM1\n\t\n-- note\n", {}, 5},
      {"no final newline", "--a\n\nSS,OP1", {"SS,OP1"}, 3},
      {"leading and trailing blanks", "  \t SS,OP1,FP2 \t \n", {"SS,OP1,FP2"}, 1},
      {"CR LF", "MO,UN1\r\n\r\nSS,OP1\r\n", {"MO,UN1", "SS,OP1"}, 3},
      {"CR only", "MO,UN1\r\rSS,OP1\r", {"MO,UN1", "SS,OP1"}, 3},
      {"CR CR CR LF", "JB,NM1\r\r\r\nSS,OP1\r\r\r\n", {"JB,NM1", "SS,OP1"}, 6},
      {"high bytes at both ends", "\xEF\xBB\xBFSS,OP1,--IRON \xB0\n", {"SS,OP1,--IRON"}, 1},
      {"NUL bytes", std::string("SS,A\0B\0\n\0\nSS,C", 15), {std::string("SS,A\0B", 6), "SS,C"}, 3},
      {"300 characters",
       full + std::string(93, 'b') + "\nSS",
       {full, std::string(93, 'b'), "SS"},
       3},
      {"exactly 207 and CR LF", full + "\r\nSS", {full, "SS"}, 2},
      {"exactly 414", full + full + "\n", {full, full}, 2},
  };
  for (const auto& c : cases) {
    for (std::size_t block : {std::size_t{1} << 20, std::size_t{3}, std::size_t{1}}) {
      SCOPED_TRACE(std::string(c.name) + ", block " + std::to_string(block));
      ReadResult result = ReadAll(c.content, block);
      EXPECT_EQ(result.error_code, Status::kOk);
      EXPECT_EQ(result.lines, c.lines);
      EXPECT_EQ(result.counter, c.counter);
    }
  }
}

TEST(RecordLineReader, TenMegabyteLineIsReadInPieces) {
  const std::size_t size = 10u << 20;
  ReadResult result = ReadAll(std::string(size, 'x') + "\nSS,OP1\n", 1 << 20);
  const std::size_t pieces = (size + kMaxRecordLineLength - 1) / kMaxRecordLineLength;
  ASSERT_EQ(result.lines.size(), pieces + 1);
  EXPECT_EQ(result.lines.back(), "SS,OP1");
  EXPECT_EQ(result.counter, static_cast<int>(pieces + 1));
}

TEST(RecordLineReader, RandomBytesNeverBreakTheReader) {
  std::mt19937 random(20240917);
  for (int round = 0; round < 50; ++round) {
    std::string content(random() % 3000, '\0');
    for (char& c : content) c = static_cast<char>(random() % 256);
    ReadResult result = ReadAll(content, 1 + random() % 64);
    EXPECT_EQ(result.error_code, Status::kOk);
    for (const auto& line : result.lines) {
      ASSERT_FALSE(line.empty());
      EXPECT_LE(line.size(), kMaxRecordLineLength);
      EXPECT_GT(static_cast<signed char>(line.back()), 32);
      EXPECT_NE(line.substr(0, 2), "--");
    }
  }
}

using testing::FailingBuffer;

TEST(RecordLineReader, ReadErrorGives1003AndNamesTheLine) {
  const std::string data = "MO,UN1\nSS,OP1,FP2\nSS,OP";
  FailingBuffer buffer(data);
  std::istream failing(&buffer);
  // One block takes all the good bytes; the next read fails inside line 3.
  ReadResult result = ReadAll(failing, data.size());
  EXPECT_EQ(result.error_code, Status::kReadError);
  EXPECT_EQ(result.lines, (std::vector<std::string>{"MO,UN1", "SS,OP1,FP2"}));
  EXPECT_EQ(result.counter, 3);

  std::istringstream broken("SS,OP1\n");
  broken.setstate(std::ios::badbit);
  EXPECT_EQ(ReadAll(broken, 1 << 20).error_code, Status::kReadError);
}

}  // namespace
}  // namespace trovisk
