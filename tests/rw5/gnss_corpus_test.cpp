// GPS points and receiver vectors of the real collector files, checked
// against the files' own records read here independently of the reader.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "base/message_table.h"
#include "convert/conversion.h"
#include "geodesy/angles.h"
#include "geodesy/ellipsoid.h"
#include "rw5/corpus_helper.h"
#include "support/temp_dir.h"

namespace trovisk {
namespace {

using testing::CorpusDir;
using testing::kTenthMillimetre;
using testing::ParseCorpusFile;
using testing::Parsed;

// One record line of a raw file: its code and its fields by prefix.
struct RawRecord {
  int line = 0;
  std::string code;
  std::map<std::string, std::string> fields;

  double Number(const std::string& prefix) const { return std::stod(fields.at(prefix)); }
};

std::vector<RawRecord> ReadRawRecords(const std::string& name) {
  std::ifstream input(CorpusDir() / name, std::ios::binary);
  std::vector<RawRecord> records;
  std::string text;
  int line = 0;
  while (std::getline(input, text)) {
    ++line;
    while (!text.empty() && (text.back() == '\r' || text.back() == ' ')) text.pop_back();
    RawRecord record;
    record.line = line;
    std::stringstream fields(text);
    std::getline(fields, record.code, ',');
    for (std::string field; std::getline(fields, field, ',');) {
      if (field.size() >= 2) record.fields.emplace(field.substr(0, 2), field.substr(2));
    }
    records.push_back(record);
  }
  return records;
}

std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t count = 0;
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
  return count;
}

class GnssCorpus : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::is_directory(CorpusDir())) {
      GTEST_SKIP() << "no corpus at " << CorpusDir();
    }
  }
};

TEST_F(GnssCorpus, EveryFileConvertsWithItsPointsPositionedAndItsVectorsWritten) {
  testing::TempDir dir;
  std::size_t files_with_points = 0;
  for (const auto& entry : std::filesystem::directory_iterator(CorpusDir())) {
    if (entry.path().extension() != ".rw5") continue;
    const std::string name = entry.path().filename().string();
    SCOPED_TRACE(name);
    std::set<std::string> point_names;
    std::size_t vector_records = 0;
    for (const RawRecord& record : ReadRawRecords(name)) {
      if (record.code == "GPS") point_names.insert(record.fields.at("PN"));
      vector_records += record.code == "G1";
    }
    testing::ScriptedUi ui;  // Yes to every question, "different" to every merge
    SurveyData data;
    ConverterOptions options;
    options.input_file = entry.path().string();
    options.output_file = dir.File("out.txt");
    EXPECT_EQ(RunConversion(options, ui, data).message_id, kMsgSuccess);
    for (const auto& shown : ui.messages) EXPECT_NE(shown.id, kMsgCodeNotSupported);

    std::size_t positioned = 0;
    for (const std::string& point : point_names) {
      int index = data.stations.Find(point);
      positioned += index != 0 && data.stations[static_cast<std::size_t>(index)].has_geodetic;
    }
    EXPECT_EQ(positioned, point_names.size());
    files_with_points += !point_names.empty();
    std::ifstream written(options.output_file, std::ios::binary);
    std::ostringstream text;
    text << written.rdbuf();
    EXPECT_EQ(Count(text.str(), "$GPS_COMPACT"), vector_records);
  }
  EXPECT_GE(files_with_points, 10u);
}

TEST_F(GnssCorpus, MarkHeightsAgreeWithTheCollectorsGridElevations) {
  // The site lies outside the collector's geoid file: its grid elevations
  // are the ellipsoidal heights of the marks.
  Parsed p;
  ParseCorpusFile("jl-24163AT250529.rw5", p);
  std::size_t compared = 0;
  for (const RawRecord& record : ReadRawRecords("jl-24163AT250529.rw5")) {
    if (record.code != "GPS") continue;
    const StationRecord& s = p.Station(record.fields.at("PN"));
    SCOPED_TRACE(s.name);
    ASSERT_TRUE(s.has_geodetic && s.has_nee);
    EXPECT_NEAR(s.height, s.elevation, kTenthMillimetre);
    ++compared;
  }
  EXPECT_EQ(compared, 149u);
}

TEST_F(GnssCorpus, ReceiverVectorsAgreeWithTheMarksTheyJoin) {
  const std::string name = "jl-test6.rw5";
  Parsed p;
  ParseCorpusFile(name, p);
  const ReaderOptions options;  // WGS 84, vectors between antennas

  // Each vector against the marks of the records in force at its line: the
  // rover's last "GPS" record under the last "LS" rover height, the base's
  // "BP" record under its AG + PA.
  struct Mark {
    double latitude, longitude, height;
  };
  std::map<std::string, Mark> rover_marks, base_marks;
  std::map<int, std::pair<Mark, Mark>> at_vector_line;  // base, rover
  double rover_height = 0.0;
  for (const RawRecord& record : ReadRawRecords(name)) {
    if (record.code == "LS" && record.fields.count("HR")) rover_height = record.Number("HR");
    if (record.code == "GPS") {
      rover_marks[record.fields.at("PN")] = {DmsToRadians(record.Number("LA")),
                                             DmsToRadians(record.Number("LN")),
                                             record.Number("EL") - rover_height};
    }
    if (record.code == "BP") {
      base_marks[record.fields.at("PN")] = {
          DmsToRadians(record.Number("LA")), DmsToRadians(record.Number("LN")),
          record.Number("EL") - record.Number("AG") - record.Number("PA")};
    }
    if (record.code == "G1") {
      at_vector_line[record.line] = {base_marks.at(record.fields.at("BP")),
                                     rover_marks.at(record.fields.at("PN"))};
    }
  }
  ASSERT_EQ(at_vector_line.size(), 61u);

  auto vectors = p.OfKind(ObservationKind::kGpsVector);
  ASSERT_EQ(vectors.size(), at_vector_line.size());
  double largest = 0.0;
  for (const auto& v : vectors) {
    SCOPED_TRACE(v.line);
    EXPECT_STREQ(v.Code(), "G1");
    ASSERT_EQ(at_vector_line.count(v.line), 1u);
    const auto& [base, rover] = at_vector_line.at(v.line);
    double dx = 0, dy = 0, dz = 0;
    EcefDifference(options.a, options.e2, base.latitude, base.longitude, base.height,
                   rover.latitude, rover.longitude, rover.height, dx, dy, dz);
    double difference = std::sqrt((v.dx - dx) * (v.dx - dx) + (v.dy - dy) * (v.dy - dy) +
                                  (v.dz - dz) * (v.dz - dz));
    EXPECT_LT(difference, 0.005);
    largest = std::max(largest, difference);
  }
  RecordProperty("largest_difference_mm", std::to_string(largest * 1000.0));
  std::cout << "largest mark-to-mark difference: " << largest * 1000.0 << " mm\n";
}

TEST_F(GnssCorpus, UnitsFromTheModeNoteAreReported) {
  Parsed p;
  ParseCorpusFile("tops-trav19leg.rw5", p);
  EXPECT_EQ(p.data.distance_units, 2);
  ASSERT_FALSE(p.ui.warnings.empty());
  EXPECT_EQ(p.ui.warnings[0],
            "tops-trav19leg.rw5:2: units taken from the note on line 2: US survey feet");
}

}  // namespace
}  // namespace trovisk
