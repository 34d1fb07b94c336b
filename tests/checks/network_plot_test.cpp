// The network plot as a surveyor reads it: stations drawn by how their
// coordinates were found, names that survive XML, a scale bar that measures
// true in the job's unit, one line per measured pair and kind, and the
// flagged checks and merge groups in red.
#include "checks/network_plot.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "geodesy/constants.h"

namespace trovisk {
namespace {

std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t count = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
    ++count;
  }
  return count;
}

// The part of the document after `marker` (the list of stations not drawn).
std::string After(const std::string& text, const std::string& marker) {
  std::size_t at = text.find(marker);
  return at == std::string::npos ? std::string() : text.substr(at);
}

// A small job: stations by name with their coordinates and the report's
// source, and the observations between them.
struct Job {
  StationList stations;
  ObservationList observations{ObservationRecord{}};
  StationReport report;
  PlotInput input;

  int Station(const std::string& name, double north, double east, bool has_nee = true,
              CoordinateSource source = CoordinateSource::kFile) {
    StationRecord record;
    record.name = name;
    record.north = north;
    record.east = east;
    record.has_nee = has_nee;
    stations.Add(record);
    int index = stations.Find(name);
    report.entries.resize(stations.size());
    report.entries[static_cast<std::size_t>(index)].position.source = source;
    return index;
  }

  ObservationRecord& Observe(ObservationKind kind, int from, int to, int backsight = 0) {
    ObservationRecord& record = observations.emplace_back();
    record.kind = kind;
    record.from = from;
    record.to = to;
    record.backsight = backsight;
    return record;
  }

  std::string Plot(bool with_report = true, int unit = kUnitMetres) {
    input.stations = &stations;
    input.observations = &observations;
    input.report = with_report ? &report : nullptr;
    input.distance_unit_code = unit;
    std::ostringstream out;
    WriteNetworkPlot(out, input);
    return out.str();
  }
};

TEST(NetworkPlot, StationsAreDrawnByHowTheirCoordinatesWereFound) {
  struct Case {
    const char* what;
    bool has_nee;
    CoordinateSource source;
    bool with_report;
    int known, computed;  // markers, the reference station included
    bool listed;          // in the list of stations not drawn
    double north = 1100.0;
  };
  const Case cases[] = {
      {"coordinates of the file", true, CoordinateSource::kFile, true, 2, 0, false},
      {"the seed", true, CoordinateSource::kSeed, true, 2, 0, false},
      {"a polar shot", true, CoordinateSource::kPolar, true, 1, 1, false},
      {"a resection", true, CoordinateSource::kResection, true, 1, 1, false},
      {"a GPS vector", true, CoordinateSource::kGpsVector, true, 1, 1, false},
      {"no report: coordinates of the file", true, CoordinateSource::kNone, false, 2, 0, false},
      {"no north and east", false, CoordinateSource::kNone, true, 1, 0, true},
      {"no north and east, no report", false, CoordinateSource::kNone, false, 1, 0, true},
      {"a north no number gives", true, CoordinateSource::kFile, true, 1, 0, true, std::nan("")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Job job;
    job.Station("REF", 1000.0, 2000.0);
    job.Station("P7", c.north, 2050.0, c.has_nee, c.source);
    std::string svg = job.Plot(c.with_report);
    EXPECT_EQ(Count(svg, "xlink:href=\"#known\""), static_cast<std::size_t>(c.known));
    EXPECT_EQ(Count(svg, "xlink:href=\"#computed\""), static_cast<std::size_t>(c.computed));
    std::string list = After(svg, "unknown:");
    EXPECT_EQ(list.find(">P7</text>") != std::string::npos, c.listed);
    EXPECT_EQ(Count(svg, "P7"), 1u) << "each station is named once";
    EXPECT_EQ(svg.find("nan"), std::string::npos);
  }
}

TEST(NetworkPlot, MergedStationsAreDrawnAsTheStationTheyBecame) {
  Job job;
  int a = job.Station("A", 0.0, 0.0);
  int b = job.Station("B", 100.0, 0.0);
  int merged = job.Station("B2", 100.01, 0.0);
  job.stations[static_cast<std::size_t>(merged)].merge_link = b;
  job.Observe(ObservationKind::kHorizontalDistance, a, merged);
  std::string svg = job.Plot();
  EXPECT_EQ(Count(svg, "xlink:href=\"#known\""), 2u);
  EXPECT_EQ(svg.find("B2"), std::string::npos);
  EXPECT_NE(svg.find("2 stations: 2 known, 0 computed, 0 without north and east; 1 line."),
            std::string::npos);
}

TEST(NetworkPlot, EachMeasuredPairIsDrawnOncePerKindAndCommentedOutOnesNotAtAll) {
  enum Extra { kNothing, kComputed, kRejected };
  struct Observation {
    ObservationKind kind;
    const char* from;
    const char* to;
    const char* backsight;
    Extra extra;
  };
  struct Case {
    const char* what;
    std::vector<Observation> observations;
    const char* lines;
  };
  using K = ObservationKind;
  const Case cases[] = {
      {"an angle: its foresight and its backsight",
       {{K::kHorizontalAngle, "A", "B", "C", kNothing}},
       "; 2 lines."},
      {"a direction set repeated, and zeniths to the same points",
       {{K::kHorizontalAngle, "A", "B", "C", kNothing},
        {K::kHorizontalAngle, "A", "B", "C", kNothing},
        {K::kZenithDistance, "A", "B", "", kNothing},
        {K::kZenithDistance, "B", "A", "", kNothing}},
       "; 2 lines."},
      {"a pointing and a distance between one pair",
       {{K::kAzimuth, "A", "B", "", kNothing}, {K::kHorizontalDistance, "B", "A", "", kNothing}},
       "; 2 lines."},
      {"a GPS vector and a height difference",
       {{K::kGpsVector, "A", "C", "", kNothing}, {K::kHeightDifference, "B", "C", "", kNothing}},
       "; 2 lines."},
      {"a computed distance", {{K::kHorizontalDistance, "A", "B", "", kComputed}}, "; 0 lines."},
      {"a record that could not be used", {{K::kAzimuth, "A", "B", "", kRejected}}, "; 0 lines."},
      {"a shot to a station without coordinates",
       {{K::kZenithDistance, "A", "X", "", kNothing}},
       "; 0 lines."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Job job;
    job.Station("A", 0.0, 0.0);
    job.Station("B", 100.0, 0.0);
    job.Station("C", 0.0, 100.0);
    job.Station("X", 0.0, 0.0, false, CoordinateSource::kNone);
    for (const Observation& o : c.observations) {
      ObservationRecord& record =
          job.Observe(o.kind, job.stations.Find(o.from), job.stations.Find(o.to),
                      job.stations.Find(o.backsight));
      record.computed = o.extra == kComputed;
      if (o.extra == kRejected) job.observations.Detail(record).rejected_because = "fields shifted";
    }
    std::string svg = job.Plot();
    EXPECT_NE(svg.find(c.lines), std::string::npos) << svg.substr(0, 600);
  }
}

TEST(NetworkPlot, NamesAreEscapedForXml) {
  struct Case {
    const char* raw;
    const char* written;
  };
  const Case cases[] = {
      {"A&B", "A&amp;B"},          {"<CP1>", "&lt;CP1&gt;"},
      {"P\"1'", "P&quot;1&apos;"}, {"M\xC3\x98LLE", "M\xC3\x98LLE"},  // UTF-8 kept as it is
      {"RUE\xE9", "RUE\xC3\xA9"},  // a Latin-1 byte read as its letter
      {"T\x01X", "T?X"},           // a control byte XML cannot carry
  };
  for (bool drawn : {true, false}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.written) + (drawn ? " drawn" : " listed"));
      Job job;
      job.Station("REF", 0.0, 0.0);
      job.Station(c.raw, 50.0, 50.0, drawn);
      std::string svg = job.Plot();
      EXPECT_NE(svg.find(std::string(">") + c.written + "</text>"), std::string::npos);
      if (std::string(c.raw) != c.written) {
        EXPECT_EQ(svg.find(c.raw), std::string::npos);
      }
    }
  }
}

struct ScaleBar {
  double length = 0.0;  // in the job's unit
  std::string unit;
  double page_length = 0.0;
};

// The scale bar as drawn: the "0" label at its start and the length at its end.
ScaleBar ReadScaleBar(const std::string& svg) {
  ScaleBar bar;
  std::smatch zero, end;
  std::regex zero_label("<text x=\"([0-9.]+)\"[^>]*>0</text>");
  std::regex end_label("<text x=\"([0-9.]+)\"[^>]*>([0-9.]+) (m|ft|US ft)</text>");
  if (!std::regex_search(svg, zero, zero_label) || !std::regex_search(svg, end, end_label)) {
    return bar;
  }
  bar.length = std::atof(end[2].str().c_str());
  bar.unit = end[3].str();
  bar.page_length = std::atof(end[1].str().c_str()) - std::atof(zero[1].str().c_str());
  return bar;
}

// The page positions of the known stations, in the order drawn.
std::vector<std::pair<double, double>> KnownMarkers(const std::string& svg) {
  std::vector<std::pair<double, double>> markers;
  std::regex marker("xlink:href=\"#known\" x=\"([-0-9.]+)\" y=\"([-0-9.]+)\"");
  for (auto it = std::sregex_iterator(svg.begin(), svg.end(), marker); it != std::sregex_iterator();
       ++it) {
    markers.emplace_back(std::atof((*it)[1].str().c_str()), std::atof((*it)[2].str().c_str()));
  }
  return markers;
}

bool IsRound(double length) {
  double power = std::pow(10.0, std::floor(std::log10(length) + 1e-9));
  double leading = length / power;
  return std::fabs(leading - std::round(leading)) < 1e-6 &&
         (std::round(leading) == 1.0 || std::round(leading) == 2.0 || std::round(leading) == 5.0);
}

TEST(NetworkPlot, ScaleBarShowsARoundLengthInTheJobsUnitThatMeasuresTrue) {
  struct Case {
    int unit;
    double east_metres;  // from the first station to the second, due east
    double north_metres;
    const char* symbol;
  };
  const Case cases[] = {
      {kUnitMetres, 1000.0, 0.0, "m"},           {kUnitInternationalFeet, 1000.0, 0.0, "ft"},
      {kUnitUsSurveyFeet, 1000.0, 0.0, "US ft"}, {kUnitMetres, 3.0, 2.0, "m"},
      {kUnitMetres, 52000.0, 31000.0, "m"},      {kUnitUsSurveyFeet, 0.2, 0.1, "US ft"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.symbol) + " over " + std::to_string(c.east_metres));
    Job job;
    job.Station("W", 5000.0, 7000.0);
    job.Station("E", 5000.0 + c.north_metres, 7000.0 + c.east_metres);
    std::string svg = job.Plot(true, c.unit);
    ScaleBar bar = ReadScaleBar(svg);
    ASSERT_GT(bar.length, 0.0) << "no scale bar";
    EXPECT_EQ(bar.unit, c.symbol);
    EXPECT_TRUE(IsRound(bar.length)) << bar.length;
    std::vector<std::pair<double, double>> markers = KnownMarkers(svg);
    ASSERT_EQ(markers.size(), 2u);
    double page_distance =
        std::hypot(markers[1].first - markers[0].first, markers[1].second - markers[0].second);
    double job_distance = std::hypot(c.east_metres, c.north_metres) * DistanceUnitFactor(c.unit);
    // Page units per job unit, from the bar and from the stations; positions
    // are written to a tenth of a unit.
    EXPECT_NEAR(bar.page_length / bar.length, page_distance / job_distance,
                0.003 * page_distance / job_distance + 0.2 / bar.length);
    // North up, east right.
    EXPECT_GT(markers[1].first, markers[0].first);
    if (c.north_metres > 0.0) {
      EXPECT_LT(markers[1].second, markers[0].second);
    }
  }
}

TEST(NetworkPlot, FlaggedChecksAndMergeGroupsAreRed) {
  const std::string red_name = "<tspan fill=\"#d00000\" font-weight=\"bold\">";
  struct Case {
    const char* what;
    bool flagged;
    bool cluster;
    std::vector<std::string> red;  // names drawn in red
    std::vector<std::string> texts;
    std::vector<std::string> absent;
  };
  const Case cases[] = {
      {"nothing flagged", false, false, {}, {}, {"check shot", "0.039 ft"}},
      {"a flagged check shot",
       true,
       false,
       {"S1", "S2"},
       {"check shot", "<title>line 12: check shot S1 to S2 off by 0.160 ft</title>",
        "1 flagged check"},
       {}},
      {"a merge group",
       false,
       true,
       {"S2", "S3"},
       {"S2 \xE2\x80\x93 S3: 0.039 ft", "1 group "},
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Job job;
    job.Station("S1", 0.0, 0.0);
    int s2 = job.Station("S2", 30.0, 40.0);
    int s3 = job.Station("S3", 30.0, 40.012);
    CheckFinding finding;
    finding.kind = CheckKind::kCheckShot;
    finding.line = 12;
    finding.from = 1;
    finding.to = s2;
    finding.flagged = c.flagged;
    finding.size = c.flagged ? 3.2 : 0.4;
    finding.text = "line 12: check shot S1 to S2 off by 0.160 ft";
    job.input.findings.push_back(finding);
    if (c.cluster) {
      MergeCluster cluster;
      cluster.stations = {s2, s3};
      cluster.pairs.push_back({s2, s3, 0.012});
      job.input.clusters.push_back(cluster);
    }
    std::string svg = job.Plot(true, kUnitInternationalFeet);
    for (const char* name : {"S1", "S2", "S3"}) {
      bool red = std::find(c.red.begin(), c.red.end(), name) != c.red.end();
      EXPECT_EQ(svg.find(red_name + name + "</tspan>") != std::string::npos, red) << name;
    }
    for (const std::string& text : c.texts) EXPECT_NE(svg.find(text), std::string::npos) << text;
    for (const std::string& text : c.absent) EXPECT_EQ(svg.find(text), std::string::npos) << text;
  }
}

}  // namespace
}  // namespace trovisk
