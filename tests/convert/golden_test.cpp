// Whole conversions of small hand-made jobs compared with their expected
// Korvanta files, every value of which was worked out by hand from the rules.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

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
    std::vector<std::string> warnings;  // after "<file>:"
  } cases[] = {
      {"metres",
       "BK with and without a backsight name, AL, face-2 zenith, HR changes, HD, CE",
       true,
       {}},
      {"feet_grads", "international feet, grads, AL in grads, angle SD 15.432", true, {}},
      {"direction_set", "two targets in both faces reduced to the backsight reference", true, {}},
      {"gps_us_feet", "a GPS vector and its covariance in US survey feet", false, {}},
      // R1 10 m straight up from B on the equator: up is +X, east +Y, north
      // +Z; HRMS 0.020 gives 0.0002 m2 to east and north, VRMS 0.030 0.0009
      // to up. R2 a quarter turn east: (-a, a, 0), no accuracy note, no
      // covariance. R3's own receiver vector replaces its position's.
      {"rtk_positions",
       "vectors from RTK positions under a base, covariance from HRMS/VRMS",
       true,
       {"6: north, east and elevation of 'R1' taken from the note on line 6"}},
      // From R: A at 10°00'00", B at 100°00'10": 90°00'10" from A, B's
      // zenith, distance and HR 2.000 with the resection's HI 1.500.
      {"resection_notes",
       "readings kept in notes as a direction set from the resected station",
       true,
       {"8: 2 resection readings taken from notes, the first on line 8"}},
      // 2 and 1 stored again in height, 3 deleted and stored again: the
      // last values are written.
      {"last_stored",
       "the last store of a point wins; each move named with both lines",
       true,
       {"5: '2' stored here lies 0.000 US ft across and 100.000 US ft in height from its north, "
        "east and elevation of line 4; the later ones are used",
        "11: '1' stored here lies 0.000 US ft across and 500.000 US ft in height from its north, "
        "east and elevation of lines 3 and 6; the later ones are used",
        "13: '3' stored here lies 0.100 US ft across and 500.000 US ft in height from its north, "
        "east and elevation of line 10, deleted on line 12; the later ones are used"}},
      // The manual backsight writes nothing; 4 has its zenith only; the
      // shifted pointing to CK. is written commented out with its reason.
      {"not_measured",
       "zero distances and the level zenith with them; a garbled pointing",
       true,
       {"8: fields shifted or out of range (zenith 'ZE-61.5811' outside a full circle; a number "
        "where the note belongs ('771.241000')); written commented out"}},
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
    std::vector<std::string> warnings;
    for (const std::string& warning : c.warnings) {
      warnings.push_back(options.input_file + ":" + warning);
    }
    EXPECT_EQ(ui.warnings, warnings);
    EXPECT_EQ(ReadFile(options.output_file), ReadFile(folder + c.name + ".expected"));
  }
}

}  // namespace
}  // namespace trovisk
