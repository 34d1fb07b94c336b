// Real GNSS jobs on the New Brunswick grid: the grid coordinates computed
// from the receivers' positions agree with those the collector stored, the
// grid is found from the file when none is named, and the same mark stored
// twice under two names is offered for merging on both checks.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "convert/conversion.h"
#include "convert/merge_clusters.h"
#include "geodesy/proj_oracle.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

namespace trovisk {
namespace {

std::filesystem::path CorpusDir() {
  if (const char* dir = std::getenv("TROVISK_CORPUS_DIR")) return dir;
  return TROVISK_CORPUS_DIR;
}

std::string ReadText(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

struct GridNote {
  double north = 0.0;
  double east = 0.0;
};

// The last "--GS,PNname,N n,E e,..." note of every point not stored again
// by an SP record after it, in metres (the job is in metres); and the text
// without those notes.
std::map<std::string, GridNote> GridNotes(const std::string& text, std::string& without) {
  std::map<std::string, GridNote> notes;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.rfind("SP,PN", 0) == 0) {  // stored again on the grid: no longer the note's
      notes.erase(line.substr(5, line.find(',', 5) - 5));
    }
    if (line.rfind("--GS,PN", 0) != 0) {
      without.append(line).append("\n");
      continue;
    }
    const std::size_t name_end = line.find(',', 7);
    const std::size_t n = line.find(",N ");
    const std::size_t e = line.find(",E ");
    notes[line.substr(7, name_end - 7)] = {std::stod(line.substr(n + 3)),
                                           std::stod(line.substr(e + 3))};
  }
  return notes;
}

struct GridRun {
  testing::ScriptedUi ui;
  SurveyData data;
  ConversionOutcome outcome;
};

// Approximate geodetic and grid coordinates from the seed's file position
// and the elevation entered, every merge offer answered "different".
void Convert(const std::string& input, int grid_code, const std::string& seed,
             double seed_elevation, GridRun& run) {
  testing::TempDir dir;
  ConverterOptions options;
  options.input_file = input;
  options.output_file = dir.File("out.txt");
  options.compute_approx_geodetic = true;
  options.compute_approx_nee = true;
  options.seed_name = seed;
  options.seed_elevation = seed_elevation;
  run.ui.merge_answer_when_dry = {MergeDecision::kDifferent, true};
  ConversionExtras extras;
  extras.grid_code = grid_code;
  run.outcome = RunConversion(options, run.ui, run.data, extras);
}

// Whether the check finds the two stations close enough to be one point
// (a pair called different is not offered twice, so the run's offers alone
// cannot show both checks).
bool FoundClose(const GridRun& run, const std::string& a, const std::string& b, MergeCheck check) {
  const StationList& stations = run.data.stations;
  const int first = stations.Find(a);
  const int second = stations.Find(b);
  const ConverterOptions defaults;
  for (const MergeCluster& cluster :
       FindMergeClusters(stations, defaults.tolerance, defaults.tolerance_mode, 6378137.0,
                         0.0066943800229, check)) {
    for (const MergeCluster::Pair& pair : cluster.pairs) {
      if ((pair.first == first && pair.second == second) ||
          (pair.first == second && pair.second == first)) {
        return true;
      }
    }
  }
  return false;
}

bool Told(const GridRun& run, const std::string& part) {
  for (const std::string& line : run.ui.information) {
    if (line.find(part) != std::string::npos) return true;
  }
  return false;
}

TEST(CorpusGrid, GridCoordinatesFromReceiverPositionsMatchTheCollectors) {
  const std::filesystem::path file = CorpusDir() / "jl-24163AT250529.rw5";
  if (!std::filesystem::exists(file)) GTEST_SKIP() << "no corpus file " << file;
  std::string without;
  const std::map<std::string, GridNote> notes = GridNotes(ReadText(file), without);
  ASSERT_GT(notes.size(), 100u);
  testing::TempDir dir;
  struct Case {
    const char* what;
    std::string input;
    int grid_code;
  };
  const Case cases[] = {
      {"grid notes removed, grid named", dir.Write("no-grid-notes.rw5", without), 2953},
      {"grid found from the notes", file.string(), 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    GridRun run;
    Convert(c.input, c.grid_code, "0", -1.5014, run);  // the base's elevation
    ASSERT_EQ(run.outcome.status, Status::kOk);
    EXPECT_TRUE(Told(run, "EPSG:2953"))
        << (run.ui.information.empty() ? "" : run.ui.information[0]);
    double worst = 0.0;
    for (const auto& [name, note] : notes) {
      const int index = run.data.stations.Find(name);
      ASSERT_GT(index, 0) << name;
      const StationRecord& s =
          run.data.stations[static_cast<std::size_t>(run.data.stations.Resolve(index))];
      ASSERT_TRUE(s.has_nee) << name;
      const double off = std::hypot(s.north - note.north, s.east - note.east);
      worst = std::max(worst, off);
    }
    EXPECT_LT(worst, 0.005);
    std::printf("%s: %zu points, worst %.4f m from the collector's grid coordinates\n", c.what,
                notes.size(), worst);
    EXPECT_TRUE(FoundClose(run, "CP2", "9145", MergeCheck::kLocal));
    EXPECT_TRUE(FoundClose(run, "CP2", "9145", MergeCheck::kGeodetic));
  }
}

#ifdef TROVISK_HAVE_PROJ
TEST(CorpusGrid, AFarBaseLandsWhereProjPutsIt) {
  const std::filesystem::path file = CorpusDir() / "jl-gps-short.rw5";
  if (!std::filesystem::exists(file)) GTEST_SKIP() << "no corpus file " << file;
  GridRun run;
  Convert(file.string(), 0, "948", 0.0, run);
  ASSERT_EQ(run.outcome.status, Status::kOk);
  const int index = run.data.stations.Find("948");
  ASSERT_GT(index, 0);
  const StationRecord& base = run.data.stations[static_cast<std::size_t>(index)];
  ASSERT_TRUE(base.has_nee && base.has_geodetic);
  const ProjOracle proj(
      "+proj=sterea +lat_0=46.5 +lon_0=-66.5 +k=0.999912 +x_0=2500000 +y_0=7500000 +ellps=GRS80");
  ASSERT_TRUE(proj.Ready());
  double east = 0.0;
  double north = 0.0;
  proj.Forward(base.latitude, base.longitude, east, north);
  EXPECT_NEAR(base.north, north, 0.005);
  EXPECT_NEAR(base.east, east, 0.005);
}
#endif

}  // namespace
}  // namespace trovisk
