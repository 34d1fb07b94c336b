// The one question per unsupported record code.
#include "rw5/record_codes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/scripted_ui.h"

namespace trovisk {
namespace {

using testing::ScriptedUi;

TEST(RecordCodes, OnePromptPerUnsupportedCodeAndNoneForKnownOnes) {
  ScriptedUi ui;
  std::vector<std::string> skipped;
  RecordCodeChecker checker(skipped, ui);
  Status error_code = Status::kOk;
  // Codes of the format without an effect never prompt.
  for (const char* known : {"ES", "RX", "--", "SS", "CV", "GPS", "G0", "G1", "G4"}) {
    EXPECT_EQ(checker.Check(known, 1, error_code), kHandleRecord) << known;
  }
  EXPECT_EQ(checker.Check("GPX", 12, error_code), kSkipRecord);
  EXPECT_EQ(error_code, Status::kOk);
  EXPECT_EQ(checker.Check("GPX", 13, error_code), kSkipRecord);
  EXPECT_EQ(checker.Check("ss", 14, error_code), kSkipRecord);
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[0].id, 2121);
  EXPECT_EQ(ui.messages[0].buttons, Buttons::kYesNo);
  EXPECT_NE(ui.messages[0].text.find("line '12', code 'GPX'"), std::string::npos);
  EXPECT_EQ(skipped, (std::vector<std::string>{"GPX", "ss"}));
  // A later reader of the same list does not ask again.
  RecordCodeChecker second(skipped, ui);
  EXPECT_EQ(second.Check("ss", 20, error_code), kSkipRecord);
  EXPECT_EQ(second.Check("GPX", 21, error_code), kSkipRecord);
  EXPECT_EQ(ui.messages.size(), 2u);
}

TEST(RecordCodes, DecliningStopsWith2121) {
  ScriptedUi ui;
  ui.answers = {Answer::kNo};
  std::vector<std::string> skipped;
  RecordCodeChecker checker(skipped, ui);
  Status error_code = Status::kOk;
  EXPECT_EQ(checker.Check("XX", 3, error_code), kStopReading);
  EXPECT_EQ(error_code, Status::kCancelled);
  EXPECT_TRUE(skipped.empty());
}

TEST(RecordCodes, ManyDistinctUnsupportedCodesStayLinear) {
  ScriptedUi ui;
  std::vector<std::string> skipped;
  RecordCodeChecker checker(skipped, ui);
  Status error_code = Status::kOk;
  const int count = 100000;
  for (int i = 0; i < 2 * count; ++i) {
    const std::string code = std::string(1, 'Z').append(std::to_string(i % count));
    ASSERT_EQ(checker.Check(code, i, error_code), kSkipRecord);
  }
  EXPECT_EQ(ui.messages.size(), static_cast<std::size_t>(count));
}

}  // namespace
}  // namespace trovisk
