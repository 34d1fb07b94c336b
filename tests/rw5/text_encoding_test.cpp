// Raw files saved as UTF-16 (either byte order, with a byte-order mark) read
// as single bytes, and single-byte files whose notes keep their bytes.
#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "rw5/parse_helper.h"
#include "rw5/record_line_reader.h"
#include "rw5/utf16_decoder.h"

namespace trovisk {
namespace {

using testing::kTenthMillimetre;
using testing::Parse;
using testing::Parsed;

// The text as UTF-16 code units, each written in the byte order asked.
std::string Utf16(const std::vector<unsigned>& units, bool big_endian) {
  std::string bytes;
  for (unsigned unit : units) {
    char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
    bytes += big_endian ? high : low;
    bytes += big_endian ? low : high;
  }
  return bytes;
}

std::vector<unsigned> Units(const std::string& latin1) {
  std::vector<unsigned> units;
  for (char c : latin1) units.push_back(static_cast<unsigned char>(c));
  return units;
}

TEST(TextEncoding, Utf16UnitsBecomeSingleBytesWhereverTheInputIsCut) {
  struct Case {
    const char* name;
    std::vector<unsigned> units;
    std::string expected;
  };
  const Case cases[] = {
      {"ASCII", {'S', 'S', ',', '1'}, "SS,1"},
      {"Latin-1 kept",
       {'5', 0xB0, 'C', 0xE9},
       "5\xB0"
       "C\xE9"},
      {"beyond a byte", {'A', 0x20AC, 0x0100, 'B'}, "A??B"},
      {"surrogate pair: one character", {'A', 0xD83D, 0xDE00, 'B'}, "A?B"},
      {"lone high surrogate", {'A', 0xD83D, 'B'}, "A?B"},
      {"two high surrogates", {0xD83D, 0xD83D, 0xDE00}, "??"},
      {"lone low surrogate", {0xDE00, 'B'}, "?B"},
      {"high surrogate at the end", {'A', 0xD83D}, "A?"},
  };
  for (const auto& c : cases) {
    for (bool big_endian : {false, true}) {
      const std::string bytes = Utf16(c.units, big_endian);
      for (std::size_t cut = 0; cut <= bytes.size(); ++cut) {
        SCOPED_TRACE(std::string(c.name) + (big_endian ? ", BE" : ", LE") + ", cut at " +
                     std::to_string(cut));
        Utf16Decoder decoder(big_endian);
        std::string out(bytes.size() + 4, '\0');
        std::size_t n = decoder.Decode(bytes.data(), cut, out.data());
        n += decoder.Decode(bytes.data() + cut, bytes.size() - cut, out.data() + n);
        n += decoder.Finish(out.data() + n);
        EXPECT_EQ(out.substr(0, n), c.expected);
      }
    }
  }
  // Half a code unit left at the end is a character that cannot be shown.
  Utf16Decoder decoder(false);
  char out[4];
  EXPECT_EQ(decoder.Decode("A\0B", 3, out), 1u);
  EXPECT_EQ(decoder.Finish(out + 1), 1u);
  EXPECT_EQ(std::string(out, 2), "A?");
}

TEST(TextEncoding, Utf16FileReadsAsItsSingleByteTwin) {
  const std::string text =
      "JB,NM1\r\n--note\r\n\r\n  SP,PN1,N 10,E 20,EL 5,--PIN 5\xB0"
      "C\r\nSS,OP1\r\n";
  const std::vector<std::string> lines = {"JB,NM1",
                                          "SP,PN1,N 10,E 20,EL 5,--PIN 5\xB0"
                                          "C",
                                          "SS,OP1"};
  for (bool big_endian : {false, true}) {
    const std::string file = Utf16({0xFEFF}, big_endian) + Utf16(Units(text), big_endian);
    for (std::size_t block :
         {std::size_t{1} << 20, std::size_t{7}, std::size_t{2}, std::size_t{1}}) {
      SCOPED_TRACE(std::string(big_endian ? "BE" : "LE") + ", block " + std::to_string(block));
      std::istringstream input(file);
      RecordLineReader reader(input, block);
      std::vector<std::string> read;
      std::string_view line;
      int counter = 0;
      Status error_code = Status::kOk;
      while (reader.Next(line, counter, error_code)) read.emplace_back(line);
      EXPECT_EQ(error_code, Status::kOk);
      EXPECT_EQ(read, lines);
      EXPECT_EQ(counter, 5);
    }
  }
  // A file of one byte, or one that only looks like a mark, is read as bytes.
  for (std::string bytes : {std::string("S"),
                            std::string("\xFF"
                                        "A,B\n"),
                            std::string("\xFE")}) {
    SCOPED_TRACE(bytes);
    std::istringstream input(bytes);
    RecordLineReader reader(input, 1);
    std::string_view line;
    int counter = 0;
    Status error_code = Status::kOk;
    bool got = reader.Next(line, counter, error_code);
    EXPECT_EQ(got, bytes != "\xFE");
    EXPECT_EQ(error_code, Status::kOk);
  }
}

TEST(TextEncoding, RandomUtf16NeverBreaksTheReader) {
  std::mt19937 random(1252);
  for (int round = 0; round < 60; ++round) {
    // Random code units, surrogates and line ends among them, after a mark.
    std::string content = round % 2 == 0 ? "\xFF\xFE" : "\xFE\xFF";
    for (std::size_t n = random() % 4000; n > 0; --n) {
      content += static_cast<char>(random() % 4 == 0 ? '\n' : random() % 256);
    }
    std::istringstream input(content);
    RecordLineReader reader(input, 1 + random() % 64);
    std::string_view line;
    int counter = 0;
    Status error_code = Status::kOk;
    while (reader.Next(line, counter, error_code)) {
      ASSERT_FALSE(line.empty());
      EXPECT_LE(line.size(), kMaxRecordLineLength);
    }
    EXPECT_EQ(error_code, Status::kOk);
  }
}

TEST(TextEncoding, Utf16LittleEndianJobConverts) {
  // A small job saved as UTF-16LE with a note beyond Latin-1 ("€" and an emoji).
  std::vector<unsigned> units = {0xFEFF};
  for (unsigned unit : Units("MO,AD0,UN2,SF1.00000000,EC0,EO0.0,AU0\r\n"
                             "SP,PN1,N 5000.0,E 2000.0,EL 100.0,--IRON ")) {
    units.push_back(unit);
  }
  for (unsigned unit : {0x20ACu, 0xD83Du, 0xDE00u, unsigned{'X'}, unsigned{'\r'}, unsigned{'\n'}}) {
    units.push_back(unit);
  }
  for (unsigned unit : Units("LS,HI5.0,HR6.0\r\nBK,OP1,BP2,BS0.0000,BC0\r\n"
                             "SS,OP1,FP3,AR90.0000,ZE90.0000,SD100.0,--CP")) {
    units.push_back(unit);
  }
  Parsed p;
  Parse(Utf16(units, false), p);
  EXPECT_EQ(p.status, Status::kOk);
  EXPECT_TRUE(p.ui.messages.empty());
  EXPECT_EQ(p.line_counter, 5);
  EXPECT_EQ(p.data.distance_units, 2);
  const StationRecord& s = p.Station("1");
  EXPECT_NEAR(s.north, 5000.0 / 3.28083333333333, kTenthMillimetre);
  EXPECT_EQ(p.Description("1"), "IRON ??X");
  auto angles = p.OfKind(ObservationKind::kHorizontalAngle);
  ASSERT_EQ(angles.size(), 1u);
  EXPECT_NEAR(angles[0].slope_distance, 100.0 / 3.28083333333333, kTenthMillimetre);
  EXPECT_EQ(p.Description("3"), "CP");
}

TEST(TextEncoding, SingleByteNotesKeepTheirBytes) {
  // Windows-1252 as collectors write it: a degree sign and an e acute inside
  // the note stay; only bytes of 128 or above at the end of a line go.
  Parsed p;
  Parse("SP,PN1,N 1,E 2,EL3,--5/8\" IR \xB0 CAP caf\xE9 SET \xB0\n", p);
  EXPECT_EQ(p.Description("1"), "5/8\" IR \xB0 CAP caf\xE9 SET");
}

}  // namespace
}  // namespace trovisk
