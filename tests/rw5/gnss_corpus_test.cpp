// GPS points and receiver vectors of the real collector files, checked
// against the files' own records read here independently of the reader.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
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
using testing::ReadObservation;

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
    // Every receiver vector, and a vector for every GPS point stored under a
    // base with no receiver vector of its own; a point deleted and never
    // stored again keeps no position.
    std::set<std::string> point_names, deleted;
    std::size_t vector_records = 0;
    bool base_seen = false;
    std::string open_point;  // the last GPS point, until a record other than G0-G4
    for (const RawRecord& record : ReadRawRecords(name)) {
      if (record.code.rfind("--Deleted Point ID(s): ", 0) == 0) {
        std::istringstream names(record.code.substr(23));
        for (std::string word; names >> word && word != "from";) deleted.insert(word);
      }
      if (record.code.rfind("--", 0) == 0) continue;
      if (record.code == "G1" && record.fields.at("PN") == open_point) open_point.clear();
      if (record.code.size() == 2 && record.code[0] == 'G') {
        vector_records += record.code == "G1";
        continue;
      }
      vector_records += !open_point.empty();
      open_point.clear();
      if (record.code == "BP") base_seen = true;
      if (record.code == "GPS") {
        point_names.insert(record.fields.at("PN"));
        deleted.erase(record.fields.at("PN"));
        if (base_seen) open_point = record.fields.at("PN");
      }
    }
    vector_records += !open_point.empty();
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
    std::size_t deleted_points = 0;
    for (const std::string& point : deleted) deleted_points += point_names.count(point);
    EXPECT_EQ(positioned, point_names.size() - deleted_points);
    files_with_points += !point_names.empty();
    std::ifstream written(options.output_file, std::ios::binary);
    std::ostringstream text;
    text << written.rdbuf();
    EXPECT_EQ(Count(text.str(), "$GPS_COMPACT"), vector_records);
  }
  EXPECT_GE(files_with_points, 10u);
}

// The fields of each output line that begins with `keyword`, split at "; ".
std::vector<std::vector<std::string>> RecordsOf(const std::string& text,
                                                const std::string& keyword) {
  std::vector<std::vector<std::string>> records;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind(keyword + "; ", 0) != 0) continue;
    std::vector<std::string> fields;
    for (std::size_t start = 0;;) {
      const std::size_t end = line.find("; ", start);
      fields.push_back(line.substr(start, end - start));
      if (end == std::string::npos) break;
      start = end + 2;
    }
    records.push_back(fields);
  }
  return records;
}

TEST_F(GnssCorpus, VectorsFromReceiverPositionsJoinTheWrittenMarks) {
  // RTK jobs whose rover stored positions under a base and no vectors.
  struct Case {
    const char* file;
    const char* base;
    std::size_t vectors;          // one per GPS point stored under a base
    std::size_t with_covariance;  // those with an "--HRMS:…, VRMS:…" note
  };
  const Case cases[] = {
      {"jl-test1.rw5", "1024_BASE_1", 70, 70},   {"jl-test2.rw5", "0_BASE_1", 4, 4},
      {"jl-gps-short.rw5", "948", 24, 24},       {"jl-gps-multibp.rw5", "931_BASE_1", 11, 7},
      {"jl-gps-long.rw5", "100_BASE_1", 29, 29},
  };
  testing::TempDir dir;
  const ReaderOptions datum;  // WGS 84
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    testing::ScriptedUi ui;
    SurveyData data;
    ConverterOptions options;
    options.input_file = (CorpusDir() / c.file).string();
    options.output_file = dir.File("out.txt");
    options.compute_approx_geodetic = true;  // the stations' positions are written
    options.seed_name = c.base;
    ASSERT_EQ(RunConversion(options, ui, data).message_id, kMsgSuccessWithApprox);
    std::ifstream written(options.output_file, std::ios::binary);
    std::ostringstream text;
    text << written.rdbuf();

    // Earth-centred positions of the stations as written: latitude and
    // longitude packed DDD.MMSS, the ellipsoidal height tenth.
    std::map<std::string, std::array<double, 3>> positions;
    for (const auto& f : RecordsOf(text.str(), "$GEO_COMPACT")) {
      std::array<double, 3> xyz{};
      GeodeticToEcef(datum.a, datum.e2, DmsToRadians(std::stod(f[2])),
                     DmsToRadians(std::stod(f[4])), std::stod(f[10]), xyz[0], xyz[1], xyz[2]);
      positions[f[1]] = xyz;
    }
    // The last vector to each point joins its written mark to the base's;
    // an earlier one is the point's earlier position, stored over since.
    std::map<std::string, std::vector<std::string>> last_vector_to;
    std::size_t with_covariance = 0;
    const auto vectors = RecordsOf(text.str(), "$GPS_COMPACT");
    for (const auto& f : vectors) {
      last_vector_to[f[2]] = f;
      with_covariance += std::stod(f[6]) > 0.0 && std::stod(f[9]) > 0.0 && std::stod(f[11]) > 0.0;
    }
    EXPECT_EQ(vectors.size(), c.vectors);
    EXPECT_EQ(with_covariance, c.with_covariance);
    double largest = 0.0;
    for (const auto& [point, f] : last_vector_to) {
      SCOPED_TRACE(point);
      ASSERT_EQ(positions.count(f[1]) + positions.count(point), 2u);
      const auto& from = positions.at(f[1]);
      const auto& to = positions.at(point);
      double difference = 0.0;
      for (int axis = 0; axis < 3; ++axis) {
        const double d = std::stod(f[3 + axis]) - (to[axis] - from[axis]);
        difference += d * d;
      }
      largest = std::max(largest, std::sqrt(difference));
    }
    EXPECT_LT(largest, 0.001);
  }
}

TEST_F(GnssCorpus, ResectionReadingsTieTheFreeStationsToControl) {
  Parsed p;
  ParseCorpusFile("jl-test3.rw5", p);
  // Lines 18 and 21: CP5 at 278°02'27", CP1 at 216°47'41"; from TEMP1
  // (HI 1.545) with the readings' zeniths, distances and HR 1.470.
  std::vector<ReadObservation> from_notes;
  for (const auto& o : p.Observations()) {
    if (std::string(o.Code()) == "RS") from_notes.push_back(o);
  }
  ASSERT_EQ(from_notes.size(), 8u);
  const auto& reference = from_notes[0];
  EXPECT_EQ(p.Name(reference.from) + ">" + p.Name(reference.to), "TEMP1>CP5");
  EXPECT_EQ(reference.kind, ObservationKind::kZenithDistance);
  EXPECT_NEAR(reference.slope_distance, 34.1602, kTenthMillimetre);
  const auto& angle = from_notes[1];
  EXPECT_EQ(p.Name(angle.backsight) + ">" + p.Name(angle.to), "CP5>CP1");
  EXPECT_NEAR(angle.horizontal_angle, DmsToRadians(216.4741) + kTwoPi - DmsToRadians(278.0227),
              DmsToRadians(0.00000001));
  EXPECT_NEAR(angle.zenith, DmsToRadians(72.1810), DmsToRadians(0.00000001));
  EXPECT_NEAR(angle.slope_distance, 14.2936, kTenthMillimetre);
  EXPECT_DOUBLE_EQ(angle.instrument_height, 1.545);
  EXPECT_DOUBLE_EQ(angle.target_height, 1.470);
  EXPECT_EQ(angle.line, 21);
  EXPECT_NE(
      std::find(p.ui.warnings.begin(), p.ui.warnings.end(),
                "jl-test3.rw5:18: 8 resection readings taken from notes, the first on line 18"),
      p.ui.warnings.end());
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
