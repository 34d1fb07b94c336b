// A real traverse: with only its two control stations left in the file, the
// propagation must find every traverse station where the data collector put it.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "approx/approximate_coordinates.h"
#include "geodesy/constants.h"
#include "rw5/record_parser.h"
#include "support/scripted_ui.h"

namespace trovisk {
namespace {

// The collector's own traverse computation reproduced to this, in the file's feet.
constexpr double kAgreementFeet = 0.05;

std::filesystem::path CorpusDir() {
  if (const char* dir = std::getenv("TROVISK_CORPUS_DIR")) return dir;
  return TROVISK_CORPUS_DIR;
}

std::vector<std::string> SplitFields(const std::string& text) {
  std::vector<std::string> fields;
  std::stringstream in(text);
  for (std::string field; std::getline(in, field, ',');) fields.push_back(field);
  return fields;
}

struct CollectorPoint {
  double north = 0.0;  // file units
  double east = 0.0;
};

// Reads the collector's coordinates of every occupied station from the "OC"
// records, and writes the file again with the north, east and elevation of
// every "OC" and "SP" record dropped except for the stations to keep.
void StripCoordinates(std::istream& in, std::ostream& out, const std::vector<std::string>& keep,
                      std::map<std::string, CollectorPoint>& collector) {
  for (std::string line; std::getline(in, line);) {
    bool has_cr = !line.empty() && line.back() == '\r';
    if (has_cr) line.pop_back();
    std::string code = line.substr(0, 3);
    if (code != "OC," && code != "SP,") {
      out << line << (has_cr ? "\r\n" : "\n");
      continue;
    }
    // Everything from the note on stays as it is.
    std::size_t note = line.find(",--");
    std::string head = note == std::string::npos ? line : line.substr(0, note);
    std::string tail = note == std::string::npos ? "" : line.substr(note);
    std::vector<std::string> fields = SplitFields(head);
    std::string name = fields.size() > 1 ? fields[1].substr(2) : "";
    if (code == "OC,") {
      CollectorPoint point;
      for (const std::string& f : fields) {
        if (f.rfind("N ", 0) == 0) point.north = std::atof(f.c_str() + 2);
        if (f.rfind("E ", 0) == 0) point.east = std::atof(f.c_str() + 2);
      }
      collector.emplace(name, point);
    }
    bool kept = std::find(keep.begin(), keep.end(), name) != keep.end();
    std::string rebuilt = fields[0];
    for (std::size_t i = 1; i < fields.size(); ++i) {
      bool coordinate = i > 1 && (fields[i][0] == 'N' || fields[i][0] == 'E');
      if (kept || !coordinate) rebuilt += "," + fields[i];
    }
    out << rebuilt << tail << (has_cr ? "\r\n" : "\n");
  }
}

TEST(CorpusTraverseTest, TraverseStationsLandOnTheCollectorsCoordinates) {
  const std::filesystem::path original = CorpusDir() / "tops-trav19leg.rw5";
  if (!std::filesystem::exists(original)) GTEST_SKIP() << "no corpus file " << original;

  // The stripped copy goes to a scratch folder of its own.
  std::filesystem::path scratch =
      std::filesystem::temp_directory_path() /
      ("trovisk-traverse-" +
       std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
  std::filesystem::create_directories(scratch);
  const std::filesystem::path copy = scratch / "traverse.rw5";
  std::map<std::string, CollectorPoint> collector;
  {
    std::ifstream in(original, std::ios::binary);
    std::ofstream out(copy, std::ios::binary);
    StripCoordinates(in, out, {"103", "104"}, collector);
  }

  SurveyData data;
  testing::ScriptedUi ui;
  int line_counter = 0;
  Status status = Status::kOk;
  {
    std::ifstream input(copy, std::ios::binary);
    ReaderOptions options;
    options.input_name = "traverse.rw5";
    ParseRecords(input, options, data, ui, line_counter, status);
  }
  std::filesystem::remove_all(scratch);
  ASSERT_EQ(status, Status::kOk);

  const int seed = data.stations.Find("104");
  ASSERT_GT(seed, 0);
  const StationRecord& seed_record = data.stations[static_cast<std::size_t>(seed)];
  ASSERT_TRUE(seed_record.has_nee);
  ASSERT_TRUE(data.stations[static_cast<std::size_t>(data.stations.Find("103"))].has_nee);
  for (const auto& [name, point] : collector) {
    if (name == "103" || name == "104") continue;
    SCOPED_TRACE(name);
    ASSERT_FALSE(data.stations[static_cast<std::size_t>(data.stations.Find(name))].has_nee);
  }

  const double factor = DistanceUnitFactor(data.distance_units);
  ApproximateInputs in;
  in.do_nee = in.do_geodetic = true;
  in.seed_name = "104";
  in.unit_factor = factor;
  in.file_has_nee = true;
  in.file_north = seed_record.north;
  in.file_east = seed_record.east;
  in.file_elevation = seed_record.elevation;
  in.allow_prompts = false;
  StationReport report;
  ComputeApproximateCoordinates(data, in, ui, &report);

  double largest = 0.0;
  std::string worst;
  for (const auto& [name, point] : collector) {
    SCOPED_TRACE(name);
    const StationRecord& s = data.stations[static_cast<std::size_t>(data.stations.Find(name))];
    ASSERT_TRUE(s.has_nee);
    double off = std::hypot(s.north * factor - point.north, s.east * factor - point.east);
    EXPECT_LT(off, kAgreementFeet) << "north " << s.north * factor << " east " << s.east * factor;
    if (off > largest) largest = off, worst = name;
  }
  EXPECT_EQ(collector.size(), 19u);  // 104 and the eighteen stations it leads to
  RecordProperty("largest_difference_ft", std::to_string(largest));
  RecordProperty("largest_difference_station", worst);
}

TEST(CorpusTraverseTest, ResectionReadingsGiveTheControlTheyTie) {
  // jl-test3: the control points CP5, CP6, CP10 and 6137 are measured only
  // by the resection readings kept in notes (and the backsights after them).
  const std::filesystem::path file = CorpusDir() / "jl-test3.rw5";
  if (!std::filesystem::exists(file)) GTEST_SKIP() << "no corpus file " << file;
  SurveyData data;
  testing::ScriptedUi ui;
  int line_counter = 0;
  Status status = Status::kOk;
  std::ifstream input(file, std::ios::binary);
  ParseRecords(input, ReaderOptions{}, data, ui, line_counter, status);
  ASSERT_EQ(status, Status::kOk);
  const StationRecord& seed = data.stations[static_cast<std::size_t>(data.stations.Find("TEMP1"))];
  ApproximateInputs in;
  in.do_nee = true;
  in.seed_name = "TEMP1";
  in.unit_factor = 1.0;
  in.file_has_nee = true;
  in.file_north = seed.north;
  in.file_east = seed.east;
  in.file_elevation = seed.elevation;
  in.allow_prompts = false;
  EXPECT_EQ(ComputeApproximateCoordinates(data, in, ui, nullptr), 0);
  for (const char* control : {"CP5", "CP6", "CP10", "6137", "CP1"}) {
    SCOPED_TRACE(control);
    EXPECT_TRUE(data.stations[static_cast<std::size_t>(data.stations.Find(control))].has_nee);
  }
}

}  // namespace
}  // namespace trovisk
