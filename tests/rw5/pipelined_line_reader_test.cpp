// The pipelined line reader gives what the plain one gives, line for line,
// across batch ends, and stops cleanly wherever its caller stops.
#include "rw5/pipelined_line_reader.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "rw5/record_line_reader.h"
#include "support/failing_buffer.h"

namespace trovisk {
namespace {

struct Line {
  std::string text;
  int counter;
  bool is_note;
  bool operator==(const Line&) const = default;
};

struct Lines {
  std::vector<Line> lines;
  int counter = 0;
  Status error_code = Status::kOk;
};

template <typename Reader>
Lines ReadAll(Reader& reader) {
  Lines result;
  std::string_view line;
  while (reader.Next(line, result.counter, result.error_code)) {
    result.lines.push_back({std::string(line), result.counter, reader.is_note()});
  }
  return result;
}

Lines Plain(const std::string& content, bool keep_notes) {
  std::istringstream input(content);
  RecordLineReader reader(input);
  if (keep_notes) reader.KeepDataNotes();
  return ReadAll(reader);
}

Lines Pipelined(const std::string& content, bool keep_notes, std::size_t batch) {
  std::istringstream input(content);
  PipelinedLineReader reader(input, keep_notes, batch);
  return ReadAll(reader);
}

// A survey-like file with every kind of line: records, notes, data notes,
// blank lines, line ends of every kind, over-long lines, no final newline.
std::string MixedFile(unsigned seed, int lines) {
  std::mt19937 random(seed);
  const char* ends[] = {"\n", "\r\n", "\r", "\n\n"};
  const std::vector<std::string> kinds = {"SS,OP1,FP1000,AR1.0,ZE90.0,SD10.0,--GROUND",
                                          "--a note",
                                          "--GS,PN7,N 5,E 6,EL7",
                                          "--MO,AD0,UN2",
                                          "   ",
                                          "BK,OP1,BP2,BS0.0,BC0.0",
                                          std::string(500, 'x'),
                                          "\t SP,PN9 \t"};
  std::string text;
  for (int i = 0; i < lines; ++i) {
    text += kinds[random() % kinds.size()] + std::to_string(i);
    text += ends[random() % 4];
  }
  return text + "SS,OP1,FP9";
}

TEST(PipelinedLineReader, SameLinesCountsAndNotesAsThePlainReader) {
  for (unsigned seed : {1u, 2u, 3u}) {
    const std::string content = MixedFile(seed, 3000);
    for (bool keep_notes : {false, true}) {
      const Lines plain = Plain(content, keep_notes);
      for (std::size_t batch : {std::size_t{1}, std::size_t{1500}, std::size_t{256 * 1024}}) {
        SCOPED_TRACE("seed " + std::to_string(seed) + ", notes " + std::to_string(keep_notes) +
                     ", batch " + std::to_string(batch));
        const Lines pipelined = Pipelined(content, keep_notes, batch);
        ASSERT_EQ(pipelined.lines.size(), plain.lines.size());
        EXPECT_TRUE(pipelined.lines == plain.lines);
        EXPECT_EQ(pipelined.counter, plain.counter);
        EXPECT_EQ(pipelined.error_code, Status::kOk);
      }
    }
  }
  for (const std::string content : {"", "\n\n--only a note\n", "\xFF\xFES\0S\0,\0A\0"}) {
    EXPECT_TRUE(Pipelined(content, true, 1).lines == Plain(content, true).lines);
    EXPECT_EQ(Pipelined(content, true, 1).counter, Plain(content, true).counter);
  }
}

using testing::FailingBuffer;

TEST(PipelinedLineReader, AReadErrorArrivesAfterTheGoodLines) {
  FailingBuffer buffer(MixedFile(4, 20000));
  std::istream failing(&buffer);
  PipelinedLineReader reader(failing, false, 1);
  const Lines result = ReadAll(reader);
  FailingBuffer plain_buffer(MixedFile(4, 20000));
  std::istream plain_failing(&plain_buffer);
  RecordLineReader plain(plain_failing);
  const Lines expected = ReadAll(plain);
  EXPECT_TRUE(result.lines == expected.lines);
  EXPECT_EQ(result.counter, expected.counter);
  EXPECT_EQ(result.error_code, Status::kReadError);
  EXPECT_GT(result.lines.size(), 1000u);
  EXPECT_GE(result.counter, result.lines.back().counter);
}

TEST(PipelinedLineReader, ACallerThatStopsEarlyIsNotKeptWaiting) {
  const std::string content = MixedFile(5, 20000);
  for (int wanted : {0, 1, 500}) {
    std::istringstream input(content);
    PipelinedLineReader reader(input, false, 1);
    std::string_view line;
    int counter = 0;
    Status error_code = Status::kOk;
    for (int i = 0; i < wanted; ++i) ASSERT_TRUE(reader.Next(line, counter, error_code));
  }  // each reader stops its thread as it goes
}

}  // namespace
}  // namespace trovisk
