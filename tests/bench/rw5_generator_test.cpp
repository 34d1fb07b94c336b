// The RW5 generator: exact record counts, repeatable files and observations
// that agree with the coordinates they were made from.
#include "rw5_generator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#ifdef TROVISK_HAVE_GEOGRAPHICLIB
#include <GeographicLib/Geocentric.hpp>
#include <GeographicLib/LocalCartesian.hpp>
#endif

namespace trovisk::bench {
namespace {

// The file carries angles to 0.1", distances and coordinates to 0.1 mm: a
// polar point 300 m out recomputed from printed values is good to ~0.3 mm.
constexpr double kPrintedGeometry = 5e-4;  // metres
constexpr double kPi = 3.141592653589793;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

// Record code and prefix -> value, read the way a surveyor reads the line.
struct Record {
  std::string code;
  std::map<std::string, std::string> fields;
  double Number(const std::string& prefix) const { return std::stod(fields.at(prefix)); }
};

Record Parse(const std::string& line) {
  Record record;
  std::size_t comma = line.find(',');
  record.code = line.substr(0, comma);
  while (comma != std::string::npos) {
    std::size_t next = line.find(',', comma + 1);
    std::string field =
        line.substr(comma + 1, next == std::string::npos ? std::string::npos : next - comma - 1);
    if (field.size() >= 2) record.fields[field.substr(0, 2)] = field.substr(2);
    comma = next;
  }
  return record;
}

// Packed DDD.MMSSs text to degrees, digit by digit.
double PackedTextToDegrees(const std::string& text) {
  bool negative = !text.empty() && text[0] == '-';
  std::string body = negative ? text.substr(1) : text;
  std::size_t point = body.find('.');
  std::string fraction = body.substr(point + 1) + "0000";
  double degrees = std::stod(body.substr(0, point));
  double minutes = std::stod(fraction.substr(0, 2));
  double seconds = std::stod(fraction.substr(2, 2) + "." + fraction.substr(4));
  double value = degrees + minutes / 60.0 + seconds / 3600.0;
  return negative ? -value : value;
}

struct Local {
  double north, east, elevation;
};

TEST(Rw5GeneratorTest, WritesExactlyTheRequestedRecordsAndRepeatsBySeed) {
  for (std::int64_t count : {1, 2, 3, 5, 8, 13, 50, 333, 1000, 12345}) {
    SCOPED_TRACE(count);
    GeneratorOptions options;
    options.record_count = count;
    GeneratedSurvey info;
    std::string text = GenerateRw5String(options, &info);
    EXPECT_EQ(static_cast<std::int64_t>(Lines(text).size()), count);
    EXPECT_EQ(info.records, count);
    EXPECT_EQ(info.bytes, static_cast<std::int64_t>(text.size()));
    EXPECT_EQ(text, GenerateRw5String(options));
    options.seed = 2;
    if (count > 20) {
      EXPECT_NE(text, GenerateRw5String(options));
    }
  }
}

TEST(Rw5GeneratorTest, WritesOnlyKnownCodesInShortLines) {
  const std::set<std::string> known = {"JB", "MO", "SP", "OC", "LS", "BK", "SS", "TR",
                                       "BD", "FD", "FR", "BR", "BP", "AH", "BL", "CV"};
  GeneratorOptions options;
  options.record_count = 20000;
  options.gps_session_rate = 0.3;
  options.check_shot_rate = 0.5;
  GeneratedSurvey info;
  std::map<std::string, std::int64_t> counts;
  for (const std::string& line : Lines(GenerateRw5String(options, &info))) {
    ASSERT_LE(line.size(), 207u) << line;  // never split by the line reader
    ASSERT_FALSE(line.empty());
    std::string code = line.rfind("--", 0) == 0 ? "--" : Parse(line).code;
    ASSERT_TRUE(code == "--" || known.count(code) == 1) << line;
    ++counts[code];
  }
  EXPECT_EQ(counts["SS"], info.sideshots + info.check_shots);
  EXPECT_EQ(counts["TR"], info.traverse_legs);
  EXPECT_EQ(counts["BD"] + counts["FD"] + counts["FR"] + counts["BR"], info.direction_pointings);
  EXPECT_EQ(counts["BL"], info.gps_vectors);
  EXPECT_EQ(counts["BK"], info.backsights);
  EXPECT_EQ(counts["--"], info.notes);
  // Every kind of record shows up in a file this size.
  for (const char* code : {"SS", "TR", "BD", "FD", "FR", "BR", "BP", "AH", "BL", "CV", "--"}) {
    EXPECT_GT(counts[code], 0) << code;
  }
  EXPECT_GT(info.check_shots, 0);
}

// Every pointing recomputed from the setup it was taken on lands on the
// point's true position, whichever circle orientation and unit the file uses.
TEST(Rw5GeneratorTest, PointingsAgreeWithTheTruePositions) {
  struct Case {
    int distance_units;
    int angle_units;
    double oriented_circle_rate;
    double feet_per_metre;
  };
  for (const Case& c : {Case{1, 0, 0.0, 1.0}, Case{0, 0, 0.5, 3.28083989501312},
                        Case{2, 1, 0.5, 3.28083333333333}}) {
    SCOPED_TRACE(c.distance_units * 10 + c.angle_units);
    GeneratorOptions options;
    options.record_count = 8000;
    options.distance_units = c.distance_units;
    options.angle_units = c.angle_units;
    options.oriented_circle_rate = c.oriented_circle_rate;
    options.keep_truth = true;
    GeneratedSurvey info;
    std::string text = GenerateRw5String(options, &info);
    std::unordered_map<std::string, Local> truth;
    for (const TruePoint& p : info.truth) truth[p.name] = {p.north, p.east, p.elevation};
    auto angle = [&](const std::string& text) {
      return c.angle_units == 1 ? std::stod(text) * 0.9 : PackedTextToDegrees(text);
    };
    Local setup{};
    double hi = 0.0, hr = 0.0, bs = 0.0, bc = 0.0;
    int checked = 0;
    for (const std::string& line : Lines(text)) {
      Record r = Parse(line);
      const double f = c.feet_per_metre;
      if (r.code == "OC") {
        setup = {r.Number("N ") / f, r.Number("E ") / f, r.Number("EL") / f};
        const Local& t = truth.at(r.fields.at("OP"));
        EXPECT_NEAR(setup.north, t.north, 1e-4);
        EXPECT_NEAR(setup.east, t.east, 1e-4);
      } else if (r.code == "LS") {
        hi = r.Number("HI") / f;
        hr = r.Number("HR") / f;
      } else if (r.code == "BK") {
        bs = angle(r.fields.at("BS"));
        bc = angle(r.fields.at("BC"));
      } else if (r.code == "SS" || r.code == "TR" || r.code == "FD" || r.code == "BD") {
        double azimuth = (bs + angle(r.fields.at("AR")) - bc) * kPi / 180.0;
        double zenith = angle(r.fields.at("ZE")) * kPi / 180.0;
        double sd = r.Number("SD") / f;
        double hd = sd * std::sin(zenith);
        const Local& t = truth.at(r.fields.at("FP"));
        // A check shot is a second name a centimetre or two off an earlier
        // point: its own true position is what it was shot at.
        EXPECT_NEAR(setup.north + hd * std::cos(azimuth), t.north, kPrintedGeometry) << line;
        EXPECT_NEAR(setup.east + hd * std::sin(azimuth), t.east, kPrintedGeometry) << line;
        EXPECT_NEAR(setup.elevation + hi + sd * std::cos(zenith) - hr, t.elevation,
                    kPrintedGeometry)
            << line;
        ++checked;
      }
    }
    EXPECT_GT(checked, 4000);
  }
}

// Reverse-face pointings are the direct ones plumbed through: circle + 180
// degrees and zenith 360 - z, with the same slope distance.
TEST(Rw5GeneratorTest, ReverseFacePointingsMatchTheDirectOnes) {
  GeneratorOptions options;
  options.record_count = 20000;
  options.direction_set_rate = 0.5;
  std::string previous_code;
  Record direct;
  int pairs = 0;
  for (const std::string& line : Lines(GenerateRw5String(options))) {
    Record r = Parse(line);
    if (r.code == "FR" && previous_code == "FD") {
      double circle =
          PackedTextToDegrees(r.fields.at("AR")) - PackedTextToDegrees(direct.fields.at("AR"));
      circle = std::fmod(circle + 360.0, 360.0);
      EXPECT_NEAR(circle, 180.0, 0.1 / 3600.0 + 1e-12) << line;
      EXPECT_NEAR(
          PackedTextToDegrees(r.fields.at("ZE")) + PackedTextToDegrees(direct.fields.at("ZE")),
          360.0, 0.1 / 3600.0 + 1e-12)
          << line;
      EXPECT_EQ(r.fields.at("SD"), direct.fields.at("SD"));
      ++pairs;
    }
    previous_code = r.code;
    direct = r;
  }
  EXPECT_GT(pairs, 100);
}

// Distinct points stay at least a metre apart so that the station merge
// offers only the deliberate check shots, each within 3 cm of its point.
TEST(Rw5GeneratorTest, OnlyCheckShotsComeCloseToOtherPoints) {
  GeneratorOptions options;
  options.record_count = 30000;
  options.check_shot_rate = 0.3;
  options.keep_truth = true;
  GeneratedSurvey info;
  GenerateRw5String(options, &info);
  std::vector<TruePoint> points = info.truth;
  std::sort(points.begin(), points.end(),
            [](const TruePoint& a, const TruePoint& b) { return a.north < b.north; });
  int close_pairs = 0;
  for (std::size_t i = 0; i < points.size(); ++i) {
    for (std::size_t j = i + 1; j < points.size() && points[j].north - points[i].north < 1.0; ++j) {
      double d = std::hypot(points[j].north - points[i].north, points[j].east - points[i].east);
      if (d >= 1.0) continue;
      bool check = points[i].name.rfind("CHK", 0) == 0 || points[j].name.rfind("CHK", 0) == 0;
      EXPECT_TRUE(check) << points[i].name << " " << points[j].name << " " << d;
      EXPECT_LT(d, 0.03);
      ++close_pairs;
    }
  }
  EXPECT_EQ(close_pairs, info.check_shots);
}

TEST(Rw5GeneratorTest, PackedDegreesCarryRoundedSeconds) {
  struct Case {
    double degrees;
    int decimals;
    const char* text;
  };
  const Case cases[] = {
      {10.5, 1, "10.30000"},
      {359.0 + 59.0 / 60.0 + 59.96 / 3600.0, 1, "360.00000"},  // rounds up, carried
      {1.0 + 13.0 / 60.0, 0, "1.1300"},
      {-(0.0 + 0.0 / 60.0 + 15.0 / 3600.0), 1, "-0.00150"},
      {45.0 + 2.0 / 60.0 + 59.99999949 / 3600.0, 6, "45.0259999999"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(FormatPackedDegrees(c.degrees, c.decimals), c.text);
  }
}

#ifdef TROVISK_HAVE_GEOGRAPHICLIB
// The base's height is its antenna's: less the antenna height and phase
// offset it is the mark, at the local coordinates of its "--GS" note. GPS
// vectors run between antennas: the base antenna, the vector, and the rover
// antenna height taken off along the rover's normal reach the rover's "--GS"
// coordinates. Checked with an independent geodesy library.
TEST(Rw5GeneratorTest, GpsPositionsAndVectorsReachTheMarksLocalCoordinates) {
  GeneratorOptions options;
  options.record_count = 20000;
  options.gps_session_rate = 0.5;
  const GeographicLib::Geocentric& earth = GeographicLib::Geocentric::WGS84();
  GeographicLib::LocalCartesian local(45.0, -120.0, options.origin_height, earth);
  double antenna_x = 0, antenna_y = 0, antenna_z = 0, rover_ra = 0;
  double mark_x = 0, mark_y = 0, mark_z = 0;  // the mark the next "--GS" note gives
  int bases = 0, rovers = 0;
  for (const std::string& line : Lines(GenerateRw5String(options))) {
    Record r = Parse(line);
    double lat, lon, h;
    if (r.code == "BP") {
      lat = PackedTextToDegrees(r.fields.at("LA"));
      lon = PackedTextToDegrees(r.fields.at("LN"));
      earth.Forward(lat, lon, r.Number("EL"), antenna_x, antenna_y, antenna_z);
      earth.Forward(lat, lon, r.Number("EL") - r.Number("AG") - r.Number("PA"), mark_x, mark_y,
                    mark_z);
      ++bases;
    } else if (r.code == "AH" && r.fields.at("DC") == "ROVER") {
      rover_ra = r.Number("RA");
    } else if (r.code == "BL") {
      earth.Reverse(antenna_x + r.Number("DX"), antenna_y + r.Number("DY"),
                    antenna_z + r.Number("DZ"), lat, lon, h);
      earth.Forward(lat, lon, h - rover_ra, mark_x, mark_y, mark_z);
      ++rovers;
    } else if (r.code == "--GS" && r.fields.count("N ") == 1) {
      double e, n, u;
      earth.Reverse(mark_x, mark_y, mark_z, lat, lon, h);
      local.Forward(lat, lon, h, e, n, u);
      EXPECT_NEAR(options.origin_north + n, r.Number("N "), kPrintedGeometry) << line;
      EXPECT_NEAR(options.origin_east + e, r.Number("E "), kPrintedGeometry) << line;
      EXPECT_NEAR(options.origin_elevation + u, r.Number("EL"), kPrintedGeometry) << line;
    }
  }
  EXPECT_GT(bases, 20);
  EXPECT_GT(rovers, 100);
}
#endif

}  // namespace
}  // namespace trovisk::bench
