// The line reader: line ends, trimming, continuation of long lines, counting and bad input.
#include "rw5/record_line_reader.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

namespace trovisk {
namespace {

struct ReadLine {
  std::string text;
  int counter;
};

struct ReadResult {
  std::vector<ReadLine> lines;
  int final_counter = 0;
  int error_code = 0;
};

ReadResult ReadAll(const std::string& content, std::size_t block_size = 1 << 20) {
  std::istringstream input(content);
  RecordLineReader reader(input, block_size);
  ReadResult result;
  std::string_view line;
  int counter = 0;
  while (reader.Next(line, counter, result.error_code)) {
    result.lines.push_back({std::string(line), counter});
  }
  result.final_counter = counter;
  return result;
}

std::vector<std::string> Texts(const ReadResult& result) {
  std::vector<std::string> texts;
  for (const auto& line : result.lines) texts.push_back(line.text);
  return texts;
}

TEST(RecordLineReader, SkipsBlankAndNoteLinesAndCountsEveryPhysicalLine) {
  struct Case {
    const char* name;
    std::string content;
    std::vector<std::string> lines;
    int final_counter;
  };
  const std::vector<Case> cases = {
      {"only blanks and notes", "\n  \n--JB,NM1\n\t\n-- note\n", {}, 5},
      {"no final newline", "--a\n\nSS,OP1", {"SS,OP1"}, 3},
      {"empty file", "", {}, 0},
      {"leading and trailing blanks", "  \t SS,OP1,FP2 \t \n", {"SS,OP1,FP2"}, 1},
      {"CR LF ends", "MO,UN1\r\n\r\nSS,OP1\r\n", {"MO,UN1", "SS,OP1"}, 3},
      {"CR-only ends", "MO,UN1\r\rSS,OP1\r", {"MO,UN1", "SS,OP1"}, 3},
      {"CR CR CR LF ends", "JB,NM1\r\r\r\nSS,OP1\r\r\r\n", {"JB,NM1", "SS,OP1"}, 6},
      {"byte of 128 or more at both ends",
       "\xEF\xBB\xBFSS,OP1,--IRON \xB0\n",
       {"SS,OP1,--IRON"},
       1},
      {"control bytes trimmed, inner ones kept",
       "\x01SS,A\x02"
       "B\x7F\n",
       {"SS,A\x02"
        "B\x7F"},
       1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ReadResult result = ReadAll(c.content);
    EXPECT_EQ(result.error_code, 0);
    EXPECT_EQ(Texts(result), c.lines);
    EXPECT_EQ(result.final_counter, c.final_counter);
  }
}

TEST(RecordLineReader, LineNumbersNameThePhysicalLine) {
  ReadResult result = ReadAll("--note\n\nMO,UN1\r\n--x\r\nSS,OP1");
  ASSERT_EQ(result.lines.size(), 2u);
  EXPECT_EQ(result.lines[0].counter, 3);
  EXPECT_EQ(result.lines[1].counter, 5);
}

TEST(RecordLineReader, LongLinesContinueIn207ByteLogicalLines) {
  const std::string first(kMaxRecordLineLength, 'a');
  struct Case {
    const char* name;
    std::string content;
    std::vector<std::string> lines;
  };
  const std::vector<Case> cases = {
      {"300 characters",
       first + std::string(93, 'b') + "\nSS,OP1",
       {first, std::string(93, 'b'), "SS,OP1"}},
      {"exactly 207 and a line end", first + "\nSS,OP1", {first, "SS,OP1"}},
      {"exactly 207 and CR LF", first + "\r\nSS,OP1", {first, "SS,OP1"}},
      {"exactly 414", first + first + "\n", {first, first}},
      {"207 at end of file", first, {first}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    // A small block puts the 207-byte boundary across refills too.
    for (std::size_t block : {std::size_t{1} << 20, std::size_t{5}, std::size_t{1}}) {
      SCOPED_TRACE(block);
      ReadResult result = ReadAll(c.content, block);
      EXPECT_EQ(Texts(result), c.lines);
      EXPECT_EQ(result.final_counter, static_cast<int>(c.lines.size()));
    }
  }
}

TEST(RecordLineReader, CrLfSplitAcrossBlocksIsOneLineEnd) {
  ReadResult result = ReadAll("AB\r\nCD\r\n", 3);
  EXPECT_EQ(Texts(result), (std::vector<std::string>{"AB", "CD"}));
  EXPECT_EQ(result.final_counter, 2);
}

TEST(RecordLineReader, NulBytesNeitherEndTheFileNorTheLine) {
  std::string content("SS,OP1\0\0\nSS,A\0B\n\0\0\nSS,OP2", 26);
  ReadResult result = ReadAll(content);
  EXPECT_EQ(Texts(result),
            (std::vector<std::string>{"SS,OP1", std::string("SS,A\0B", 6), "SS,OP2"}));
  EXPECT_EQ(result.final_counter, 4);
}

TEST(RecordLineReader, TenMegabyteLineIsReadInPiecesWithoutQuadraticWork) {
  const std::size_t size = 10u << 20;
  std::string content(size, 'x');
  content += "\nSS,OP1\n";
  ReadResult result = ReadAll(content);
  const std::size_t pieces = (size + kMaxRecordLineLength - 1) / kMaxRecordLineLength;
  ASSERT_EQ(result.lines.size(), pieces + 1);
  EXPECT_EQ(result.lines.back().text, "SS,OP1");
  EXPECT_EQ(result.lines.back().counter, static_cast<int>(pieces + 1));
  EXPECT_EQ(result.lines[pieces - 1].text.size(), size - (pieces - 1) * kMaxRecordLineLength);
}

TEST(RecordLineReader, RandomBytesNeverBreakTheReader) {
  std::mt19937 random(20240917);
  for (int round = 0; round < 50; ++round) {
    std::string content(static_cast<std::size_t>(random() % 3000), '\0');
    for (char& c : content) c = static_cast<char>(random() % 256);
    SCOPED_TRACE(round);
    ReadResult result = ReadAll(content, 1 + random() % 64);
    EXPECT_EQ(result.error_code, 0);
    for (const auto& line : result.lines) {
      ASSERT_FALSE(line.text.empty());
      EXPECT_LE(line.text.size(), kMaxRecordLineLength);
      EXPECT_GT(static_cast<signed char>(line.text.front()), 32);
      EXPECT_GT(static_cast<signed char>(line.text.back()), 32);
      EXPECT_NE(line.text.substr(0, 2), "--");
    }
  }
}

// A stream buffer that hands out some bytes and then fails.
class FailingBuffer : public std::streambuf {
 public:
  explicit FailingBuffer(std::string data) : data_(std::move(data)) {
    setg(data_.data(), data_.data(), data_.data() + data_.size());
  }

 protected:
  int_type underflow() override { throw std::runtime_error("device gone"); }

 private:
  std::string data_;
};

TEST(RecordLineReader, ReadErrorGivesCode1003AndNamesTheLine) {
  const std::string data = "MO,UN1\nSS,OP1,FP2\nSS,OP";
  FailingBuffer buffer(data);
  std::istream input(&buffer);
  // One block takes all the good bytes; the next read fails inside the third line.
  RecordLineReader reader(input, data.size());
  std::string_view line;
  int counter = 0;
  int error_code = 0;
  std::vector<std::string> lines;
  while (reader.Next(line, counter, error_code)) lines.emplace_back(line);
  EXPECT_EQ(error_code, 1003);
  EXPECT_EQ(lines, (std::vector<std::string>{"MO,UN1", "SS,OP1,FP2"}));
  EXPECT_EQ(counter, 3);

  std::istringstream broken("SS,OP1\n");
  broken.setstate(std::ios::badbit);
  RecordLineReader broken_reader(broken);
  counter = 0;
  EXPECT_FALSE(broken_reader.Next(line, counter, error_code));
  EXPECT_EQ(error_code, 1003);
}

TEST(RecordLineReader, RemembersTheLastModeNote) {
  std::istringstream input("--JB,NM1\n--MO,AD0,UN2,AU0\nSS,OP1\n--MO,UN0\nSS,OP2\n");
  RecordLineReader reader(input);
  std::string_view line;
  int counter = 0;
  int error_code = 0;
  ASSERT_TRUE(reader.Next(line, counter, error_code));
  EXPECT_EQ(reader.mode_note_count(), 1);
  EXPECT_EQ(reader.last_mode_note(), "--MO,AD0,UN2,AU0");
  ASSERT_TRUE(reader.Next(line, counter, error_code));
  EXPECT_EQ(reader.mode_note_count(), 2);
  EXPECT_EQ(reader.last_mode_note(), "--MO,UN0");
}

}  // namespace
}  // namespace trovisk
