// The network plot through a real SVG renderer (rsvg-convert): a real
// traverse converted with approximate coordinates, and names that need
// escaping, must both come out as pictures. Skips when the renderer or the
// corpus is not on this machine.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "checks/network_plot.h"
#include "convert/conversion.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

namespace trovisk {
namespace {

namespace fs = std::filesystem;

bool HaveRenderer() { return std::system("command -v rsvg-convert >/dev/null 2>&1") == 0; }

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t count = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
    ++count;
  }
  return count;
}

struct Picture {
  bool rendered = false;
  std::string messages;  // what the renderer said
  unsigned width = 0, height = 0;
  std::uintmax_t bytes = 0;
};

unsigned BigEndian(const std::string& bytes, std::size_t at) {
  unsigned value = 0;
  for (std::size_t i = at; i < at + 4 && i < bytes.size(); ++i) {
    value = (value << 8) | static_cast<unsigned char>(bytes[i]);
  }
  return value;
}

// Renders `svg` to a PNG beside it and reads the picture's size from its header.
Picture Render(const fs::path& svg, const fs::path& png) {
  Picture picture;
  fs::path log = png;
  log += ".log";
  std::string command =
      "rsvg-convert '" + svg.string() + "' -o '" + png.string() + "' 2>'" + log.string() + "'";
  picture.rendered = std::system(command.c_str()) == 0;
  picture.messages = ReadFile(log);
  std::string bytes = ReadFile(png);
  if (bytes.size() < 24 || bytes.compare(1, 3, "PNG") != 0) return picture;
  picture.width = BigEndian(bytes, 16);
  picture.height = BigEndian(bytes, 20);
  picture.bytes = bytes.size();
  return picture;
}

TEST(NetworkPlotRendering, ARealTraverseRendersWithEveryStationMarked) {
  const fs::path original = fs::path(TROVISK_CORPUS_DIR) / "tops-trav19leg.rw5";
  if (!fs::exists(original)) GTEST_SKIP() << "no corpus file " << original;
  if (!HaveRenderer()) GTEST_SKIP() << "rsvg-convert is not installed (librsvg2-bin)";

  testing::TempDir dir;
  ConverterOptions options;
  options.input_file = original.string();
  options.output_file = dir.File("trav.txt");
  options.compute_approx_nee = true;
  options.seed_name = "104";
  ConversionExtras extras;
  extras.plot_file = dir.File("trav.svg");
  testing::ScriptedUi ui;
  SurveyData data;
  ConversionOutcome outcome = RunConversion(options, ui, data, extras);
  ASSERT_EQ(outcome.status, Status::kOk);

  // Every station the Korvanta file places (not merged, with north and east) is marked.
  std::size_t placed = 0, unplaced = 0;
  for (std::size_t s = 1; s < data.stations.size(); ++s) {
    if (data.stations[s].merge_link != kNotMerged) continue;
    ++(data.stations[s].has_nee ? placed : unplaced);
  }
  std::string svg = ReadFile(extras.plot_file);
  std::size_t known = Count(svg, "xlink:href=\"#known\"");
  std::size_t computed = Count(svg, "xlink:href=\"#computed\"");
  EXPECT_EQ(known + computed, placed);
  EXPECT_GT(known, 2u) << "the control of the file and the seed";
  EXPECT_GT(computed, 50u) << "the check shots the run computed";
  EXPECT_EQ(outcome.uncomputed_count, static_cast<int>(unplaced));
  EXPECT_NE(svg.find(std::to_string(placed + unplaced) + " stations: "), std::string::npos);
  EXPECT_LT(svg.size(), 200000u) << "a 118-station job stays a small file";

  Picture picture = Render(extras.plot_file, dir.path() / "trav.png");
  ASSERT_TRUE(picture.rendered) << picture.messages;
  EXPECT_GE(picture.width, 600u);
  EXPECT_LE(picture.width, 4000u);
  EXPECT_GE(picture.height, 600u);
  EXPECT_LE(picture.height, 4000u);
  EXPECT_GT(picture.bytes, 10000u) << "a picture with something drawn on it";
}

TEST(NetworkPlotRendering, NamesThatNeedEscapingStillRender) {
  if (!HaveRenderer()) GTEST_SKIP() << "rsvg-convert is not installed (librsvg2-bin)";
  const char* const names[] = {"A&B",    "<CP1>",        "P\"1'",  "RUE\xE9",
                               "T\x01X", "M\xC3\x98LLE", "CUT\xC3"};
  StationList stations;
  double north = 0.0;
  for (const char* name : names) {
    StationRecord record;
    record.name = name;
    record.north = north;
    record.east = north / 2.0;
    record.has_nee = north < 40.0;  // the last ones go to the list of stations not drawn
    stations.Add(record);
    north += 10.0;
  }
  ObservationList observations{ObservationRecord{}};
  PlotInput input;
  input.stations = &stations;
  input.observations = &observations;
  testing::TempDir dir;
  const fs::path svg = dir.path() / "names.svg";
  {
    std::ofstream out(svg, std::ios::binary);
    WriteNetworkPlot(out, input);
  }
  Picture picture = Render(svg, dir.path() / "names.png");
  EXPECT_TRUE(picture.rendered) << picture.messages;
  EXPECT_GT(picture.width, 0u);
}

}  // namespace
}  // namespace trovisk
