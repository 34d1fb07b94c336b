// Whole conversions of small hand-made jobs compared with their expected
// Korvanta files, every value of which was worked out by hand from the rules.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "base/message_table.h"
#include "convert/conversion.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

namespace trovisk {
namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(GoldenFiles, ConversionWritesExactlyTheExpectedFile) {
  struct Case {
    const char* name;  // tests/data/golden/<name>.rw5 and .expected
    const char* covers;
    bool antenna_to_antenna;
  } cases[] = {
      {"metres", "BK with and without a backsight name, AL, face-2 zenith, HR changes, HD, CE",
       true},
      {"feet_grads", "international feet, grads, AL in grads, angle SD 15.432", true},
      {"direction_set", "two targets in both faces reduced to the backsight reference", true},
      {"gps_us_feet", "a GPS vector and its covariance in US survey feet", false},
  };
  const std::string folder = std::string(TROVISK_TEST_DATA_DIR) + "/golden/";
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.name) + ": " + c.covers);
    testing::TempDir dir;
    testing::ScriptedUi ui;
    SurveyData data;
    ConverterOptions options;
    options.input_file = folder + c.name + ".rw5";
    options.output_file = dir.File("out.txt");
    options.gps_antenna_to_antenna = c.antenna_to_antenna;
    ConversionOutcome outcome = RunConversion(options, ui, data);
    ASSERT_EQ(outcome.message_id, kMsgSuccess) << ui.messages.back().text;
    EXPECT_TRUE(ui.warnings.empty()) << ui.warnings.front();
    EXPECT_EQ(ReadFile(options.output_file), ReadFile(folder + c.name + ".expected"));
  }
}

}  // namespace
}  // namespace trovisk
