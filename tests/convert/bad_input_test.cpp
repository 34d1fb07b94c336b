// Whole conversions of damaged, hostile and odd raw files: each ends with a
// clear outcome, keeps every observation it can read, and never writes a
// number as nan or inf.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <deque>
#include <fstream>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "base/message_table.h"
#include "base/status.h"
#include "convert/conversion.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

namespace trovisk {
namespace {

using testing::ScriptedUi;
using testing::TempDir;

// A small job in metres: a setup, its backsight and one sideshot, which the
// output writes as one horizontal angle A2-A1-A3 of 90 degrees.
const std::vector<std::string> kJob = {
    "JB,NMBAD,DT01-01-2024,TM08:00:00",
    "MO,AD0,UN1,SF1.00000000,EC0,EO0.0,AU0",
    "OC,OPA1,N 1000.0000,E 2000.0000,EL100.0000,--START",
    "LS,HI1.5000,HR1.8000",
    "BK,OPA1,BPA2,BS0.0000,BC0.0000",
    "SS,OPA1,FPA3,AR90.0000,ZE90.0000,SD100.0000,--PIN",
};
constexpr const char* kSideshotRecord = "$HOR_COMPACT; A1; A2; A3; 90.000000";

std::string Joined(const std::vector<std::string>& lines, const std::string& end) {
  std::string text;
  for (const std::string& line : lines) text += line + end;
  return text;
}

std::string ReadAll(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

int Count(const std::vector<int>& ids, int id) {
  return static_cast<int>(std::count(ids.begin(), ids.end(), id));
}

// Printf writes a non-finite number as nan, -nan, inf or -inf; the inputs
// below name stations in capitals, so lower case can only be such a number.
bool HasNonFinite(const std::string& text) {
  return text.find("nan") != std::string::npos || text.find("inf") != std::string::npos;
}

class BadInput : public ::testing::Test {
 protected:
  // Converts the bytes as a raw file, answering questions from `answers`
  // and then Yes.
  ConversionOutcome Convert(const std::string& bytes, std::deque<Answer> answers = {}) {
    input_ = dir_.Write("in.rw5", bytes);
    ConverterOptions options;
    options.input_file = input_;
    options.output_file = output_;
    ui_ = ScriptedUi{};
    ui_.answers = std::move(answers);
    data_ = SurveyData{};
    return RunConversion(options, ui_, data_);
  }
  std::string Output() const { return ReadAll(output_); }

  TempDir dir_;
  std::string input_;
  std::string output_ = dir_.File("out.txt");
  ScriptedUi ui_;
  SurveyData data_;
};

TEST_F(BadInput, EmptyAndNotesOnlyFilesConvertToAnEmptyNetwork) {
  std::string notes;
  for (int i = 0; i < 5000; ++i)
    notes += (i % 3 == 0 ? "\r\n" : "--note " + std::to_string(i) + "\r\n");
  for (const std::string& bytes :
       {std::string(), notes, std::string("\n\n\n"), std::string("--")}) {
    SCOPED_TRACE(bytes.size());
    ConversionOutcome outcome = Convert(bytes);
    EXPECT_EQ(outcome.status, Status::kOk);
    EXPECT_EQ(outcome.message_id, kMsgSuccess);
    EXPECT_EQ(data_.observations.size(), 1u);  // only the reserved record
    EXPECT_NE(Output().find("$DATUM"), std::string::npos);
    EXPECT_EQ(Count(ui_.MessageIds(), kMsgCodeNotSupported), 0);
  }
}

// LF, CR LF, CR alone and a missing last line end all give the same file.
TEST_F(BadInput, LineEndsDoNotChangeTheResult) {
  Convert(Joined(kJob, "\n"));
  const std::string expected = Output();
  ASSERT_NE(expected.find(kSideshotRecord), std::string::npos);
  struct Case {
    const char* name;
    std::string bytes;
  };
  std::string unterminated = Joined(kJob, "\r\n");
  unterminated.resize(unterminated.size() - 2);
  const Case cases[] = {{"CR LF", Joined(kJob, "\r\n")},
                        {"CR", Joined(kJob, "\r")},
                        {"CR CR CR LF", Joined(kJob, "\r\r\r\n")},
                        {"no final line end", unterminated},
                        {"trailing blanks", Joined(kJob, "   \t\n")}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ConversionOutcome outcome = Convert(c.bytes);
    EXPECT_EQ(outcome.message_id, kMsgSuccess);
    EXPECT_EQ(Output(), expected);
  }
}

TEST_F(BadInput, NulBytesInsideLinesAreReadPast) {
  std::vector<std::string> job = kJob;
  job[5] = std::string("SS,OPA1,FPA3,AR90.0000,ZE90.0000,SD100.0000,--PI\0N", 50);
  job.insert(job.begin() + 4, std::string("\0\0\0", 3));
  job.push_back(std::string("--\0note", 7));
  ConversionOutcome outcome = Convert(Joined(job, "\r\n"));
  EXPECT_EQ(outcome.status, Status::kOk);
  EXPECT_NE(Output().find(kSideshotRecord), std::string::npos);
}

// A 10 MB line is read in pieces as continuation lines: one question per
// distinct piece, the record after it still read, and no quadratic work.
TEST_F(BadInput, TenMegabyteLineIsReadInPieces) {
  std::vector<std::string> job = kJob;
  job.insert(job.begin() + 5, std::string(10 * 1000 * 1000, 'B'));
  auto start = std::chrono::steady_clock::now();
  ConversionOutcome outcome = Convert(Joined(job, "\n"));
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_EQ(outcome.status, Status::kOk);
  EXPECT_LE(Count(ui_.MessageIds(), kMsgCodeNotSupported), 2);
  EXPECT_NE(Output().find(kSideshotRecord), std::string::npos);
  EXPECT_LT(seconds, 20.0);  // linear work takes well under a second in a release build
}

TEST_F(BadInput, BinaryGarbageAsksOncePerCodeAndFinishes) {
  std::mt19937_64 random(1);
  std::string bytes(256 * 1024, '\0');
  for (char& c : bytes) c = static_cast<char>(random() & 0xff);
  ConversionOutcome outcome = Convert(bytes);
  EXPECT_EQ(outcome.status, Status::kOk);
  EXPECT_EQ(outcome.message_id, kMsgSuccess);
  std::set<std::string> asked;
  for (const ScriptedUi::Shown& shown : ui_.messages) {
    if (shown.id != kMsgCodeNotSupported) continue;
    EXPECT_TRUE(asked.insert(shown.text).second) << shown.text;
  }
}

// Answered Yes, 100,000 different unsupported codes are each asked about
// once, and the lookups stay constant-time.
TEST_F(BadInput, HundredThousandUnsupportedCodesAreAskedOnceEach) {
  std::string bytes = Joined(kJob, "\n");
  char line[32];
  for (int i = 0; i < 100000; ++i) {
    std::snprintf(line, sizeof line, "Q%05d,XX%d\n", i, i);
    bytes += line;
  }
  bytes += "SS,OPA1,FPA4,AR45.0000,ZE90.0000,SD10.0000\n";
  auto start = std::chrono::steady_clock::now();
  ConversionOutcome outcome = Convert(bytes);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_EQ(outcome.status, Status::kOk);
  EXPECT_EQ(Count(ui_.MessageIds(), kMsgCodeNotSupported), 100000);
  EXPECT_NE(Output().find("$HOR_COMPACT; A1; A2; A4; 45.000000"), std::string::npos);
  EXPECT_LT(seconds, 20.0);
}

TEST_F(BadInput, DecliningAnUnsupportedCodeCancelsTheRun) {
  std::vector<std::string> job = kJob;
  job.push_back("ZZ,UNKNOWN");
  ConversionOutcome outcome = Convert(Joined(job, "\n"), {Answer::kNo});
  EXPECT_EQ(outcome.status, Status::kCancelled);
  EXPECT_EQ(outcome.message_id, kMsgCancelled);
}

// A file saved as UTF-16 with its byte-order mark holds the same records:
// they are read, or the run stops saying why; never "success" with nothing read.
TEST_F(BadInput, Utf16FileIsNeverASilentEmptySuccess) {
  for (bool big_endian : {false, true}) {
    SCOPED_TRACE(big_endian ? "UTF-16BE" : "UTF-16LE");
    std::string bytes = big_endian ? "\xFE\xFF" : "\xFF\xFE";
    for (char c : Joined(kJob, "\r\n")) {
      bytes += big_endian ? std::string{'\0', c} : std::string{c, '\0'};
    }
    ConversionOutcome outcome = Convert(bytes);
    bool read = Output().find(kSideshotRecord) != std::string::npos;
    EXPECT_TRUE(read || outcome.status != Status::kOk)
        << "message " << outcome.message_id << ", questions "
        << Count(ui_.MessageIds(), kMsgCodeNotSupported);
  }
}

// Every real-valued field of every record, given a number that overflows or
// is not a number: the value is missing, a warning names the file and line,
// and the output holds no non-finite number.
TEST_F(BadInput, NonFiniteNumbersAreMissingWithAWarning) {
  const std::vector<std::string> templates = {
      "MO,AD0,UN1,SF@,EC0,EO0.0,AU0",
      "MO,AD0,UN1,SF1.0,EC0,EO@,AU0",
      "OC,OPB1,N @,E 10.0,EL5.0,--X",
      "OC,OPB1,N 10.0,E @,EL5.0,--X",
      "OC,OPB1,N 10.0,E 10.0,EL@,--X",
      "SP,PNB2,N @,E 10.0,EL5.0,--X",
      "SP,PNB2,N 1.0,E 10.0,EL@,--X",
      "LS,HI@,HR1.8",
      "LS,HI1.5,HR@",
      "BK,OPA1,BPA2,BS@,BC0.0000",
      "BK,OPA1,BPA2,BS0.0000,BC@",
      "SS,OPA1,FPB3,AR@,ZE90.0,SD10.0,--X",
      "SS,OPA1,FPB3,AR1.0,ZE@,SD10.0,--X",
      "SS,OPA1,FPB3,AR1.0,ZE90.0,SD@,--X",
      "SS,OPA1,FPB3,AR1.0,ZE90.0,HD@,--X",
      "SS,OPA1,FPB3,AZ@,ZE90.0,SD10.0,--X",
      "SS,OPA1,FPB3,AL@,ZE90.0,SD10.0,--X",
      "SS,OPA1,FPB3,AR1.0,CE@,SD10.0,--X",
      "SS,OPA1,FPB3,AR1.0,ZE90.0,SD10.0,HR@",
      "TR,OPA1,FPB3,AR@,ZE90.0,SD10.0,--X",
      "BD,OPA1,FPA2,AR@,ZE90.0,SD10.0,--X",
      "FD,OPA1,FPB3,AR1.0,ZE@,SD10.0,--X",
      "BP,PNB4,LA@,LN-120.0,EL5.0,--",
      "BP,PNB4,LA45.0,LN@,EL5.0,--",
      "BP,PNB4,LA45.0,LN-120.0,EL@,--",
      "AH,DCBASE,MA1.5,ME0,RA@",
  };
  const std::string gps = "BP,PNB5,LA45.0,LN-120.0,EL5.0,--";
  const std::vector<std::string> gps_templates = {
      "BL,DC0,PNB6,DX@,DY2.0,DZ3.0,--",
      "BL,DC0,PNB6,DX1.0,DY@,DZ3.0,--",
      "BL,DC0,PNB6,DX1.0,DY2.0,DZ@,--",
      "CV,DC0,SV8,SC1.0,XX@,XY0.0,XZ0.0,YY0.0001,YZ0.0,ZZ0.0001",
      "CV,DC0,SV8,SC1.0,XX0.0001,XY@,XZ0.0,YY0.0001,YZ0.0,ZZ0.0001",
      "CV,DC0,SV8,SC1.0,XX0.0001,XY0.0,XZ0.0,YY0.0001,YZ0.0,ZZ@",
  };
  for (const char* value : {"1e400", "-1e400", "inf", "-inf", "nan", "-nan", "INF", "NaN"}) {
    auto check = [&](std::vector<std::string> job, const std::string& bad_line) {
      SCOPED_TRACE(bad_line);
      job.push_back(bad_line);
      const int line = static_cast<int>(job.size());
      job.push_back("SS,OPA1,FPA9,AR10.0000,ZE90.0000,SD10.0000,--AFTER");
      ConversionOutcome outcome = Convert(Joined(job, "\n"));
      EXPECT_EQ(outcome.status, Status::kOk);
      EXPECT_FALSE(HasNonFinite(Output()));
      const std::string place = input_ + ":" + std::to_string(line);
      bool named = false;
      for (const std::string& warning : ui_.warnings) named = named || warning.find(place) == 0;
      EXPECT_TRUE(named) << "no warning names " << place;
      EXPECT_NE(Output().find("$HOR_COMPACT; A1; A2; A9; 10.000000"), std::string::npos);
    };
    for (const std::string& t : templates) {
      std::string line = t;
      line.replace(line.find('@'), 1, value);
      check(kJob, line);
    }
    for (const std::string& t : gps_templates) {
      std::vector<std::string> job = kJob;
      job.push_back(gps);
      if (t.rfind("CV", 0) == 0) job.push_back("BL,DC0,PNB6,DX1.0,DY2.0,DZ3.0,--");
      std::string line = t;
      line.replace(line.find('@'), 1, value);
      check(job, line);
    }
  }
}

}  // namespace
}  // namespace trovisk
