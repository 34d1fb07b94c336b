// The network plot a run writes beside its output: asked for or not, written
// or not, the Korvanta file stays the same and the run succeeds.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "base/message_table.h"
#include "convert/conversion.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

namespace trovisk {
namespace {

const char* const kSmallJob =
    "MO,AD0,UN1,SF1.00000000,EC0,EO0.0,AU0\n"
    "OC,OP1,N 1000.000,E 2000.000,EL50.000\n"
    "LS,HI1.500,HR2.000\n"
    "BK,OP1,BP2,BS0.0000,BC0.0000\n"
    "SS,OP1,FP3,AR90.0000,ZE90.0000,SD100.000\n"
    "SS,OP1,FP4,AR180.0000,ZE90.0000,SD50.000\n";

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(PlotFile, ThePlotIsWrittenOrWarnedAboutAndTheOutputStaysTheSame) {
  struct Case {
    const char* what;
    const char* plot;  // beside the job; empty: not asked for
    bool approximate;
    bool written;
    const char* drawn;  // a part of the plot's header line
  };
  const Case cases[] = {
      {"not asked for", "", false, false, ""},
      {"not asked for, approximate coordinates", "", true, false, ""},
      {"from the file's coordinates", "job.svg", false, true,
       "4 stations: 1 known, 0 computed, 3 without north and east"},
      {"with approximate coordinates", "job.svg", true, true,
       "4 stations: 1 known, 2 computed, 1 without north and east"},
      {"into a folder that does not exist", "no-such-folder/job.svg", true, false, ""},
  };
  std::string reference[2];  // the output without a plot, without and with approximate coordinates
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    testing::TempDir dir;
    ConverterOptions options;
    options.input_file = dir.Write("job.rw5", kSmallJob);
    options.output_file = dir.File("job.txt");
    options.compute_approx_nee = c.approximate;
    options.seed_name = "1";
    ConversionExtras extras;
    if (*c.plot != '\0') extras.plot_file = dir.File(c.plot);
    testing::ScriptedUi ui;
    ui.answers = {Answer::kYes};  // the seed's coordinates from the file
    SurveyData data;
    ConversionOutcome outcome = RunConversion(options, ui, data, extras);
    EXPECT_EQ(outcome.status, Status::kOk);
    EXPECT_EQ(outcome.message_id, c.approximate ? kMsgSuccessWithApprox : kMsgSuccess);

    std::string output = ReadFile(options.output_file);
    std::string& same = reference[c.approximate ? 1 : 0];
    if (same.empty()) same = output;
    EXPECT_EQ(output, same) << "the plot changes nothing in the Korvanta file";

    bool warned = !ui.warnings.empty() &&
                  ui.warnings.back() == "cannot write the network plot " + extras.plot_file;
    EXPECT_EQ(warned, !extras.plot_file.empty() && !c.written);
    if (extras.plot_file.empty()) continue;
    std::string svg = ReadFile(extras.plot_file);
    EXPECT_EQ(!svg.empty(), c.written);
    if (c.written) {
      EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
      EXPECT_NE(svg.find(c.drawn), std::string::npos) << svg.substr(0, 600);
      EXPECT_EQ(svg.substr(svg.size() - 7), "</svg>\n");
    }
    // Nothing but the output, the input and the plot is left in the folder.
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
      static_cast<void>(entry);
      ++files;
    }
    EXPECT_EQ(files, c.written ? 3u : 2u);
  }
}

}  // namespace
}  // namespace trovisk
