// The network plot as plain SVG: a header, the drawing in its frame, a legend
// with the scale bar and the north arrow, and the stations that could not be
// drawn. Sizes are in the document's units, which a browser shows as pixels.
#include "checks/network_plot.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <ostream>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "geodesy/constants.h"
#include "geodesy/unit_text.h"

namespace trovisk {
namespace {

constexpr double kLabelSize = 8.0;   // station names
constexpr double kTextSize = 11.0;   // header, legend, scale bar and lists
constexpr double kTitleSize = 15.0;  // the title line
constexpr double kMarkerSize = 3.2;  // a marker's half width
constexpr double kLineWidth = 0.7;
constexpr double kMargin = 20.0;
constexpr double kInset = 32.0;         // between the frame and the outermost stations
constexpr double kLegendWidth = 760.0;  // the narrowest page: room for the legend row
constexpr double kLegendRow = 16.0;
// The larger side of the drawing grows with the square root of the number of
// stations, so that a station keeps about the same room for its name, within
// these bounds.
constexpr double kRoomPerStation = 36.0;
constexpr double kSmallestDrawing = 900.0;
constexpr double kLargestDrawing = 2400.0;
// The scale bar is the longest round length that fits in this.
constexpr double kScaleBarRoom = 240.0;
// A network smaller than this (metres) is drawn as if it were this wide.
constexpr double kLeastSpan = 1.0;
// The average width of a character of the sans-serif face, in font sizes.
constexpr double kCharacterWidth = 0.6;
// Stations closer than this on the page share one label.
constexpr double kSameSpot = 1.5;

constexpr const char* kRed = "#d00000";
constexpr const char* kKnownColour = "#1f4e9c";
constexpr const char* kComputedColour = "#2b8a3e";

enum class Marker : std::uint8_t { kNone, kKnown, kComputed };

// The kinds of line, in the order they are drawn and listed.
enum LineKind { kPointingLine = 0, kDistanceLine, kHeightLine, kGpsLine, kLineKinds };

struct LineStyle {
  const char* colour;
  const char* dashes;  // null for a solid line
  const char* legend;
};

constexpr LineStyle kLineStyles[kLineKinds] = {
    {"#6b7785", nullptr, "horizontal angle, azimuth or zenith pointing"},
    {"#d9822b", "6 3", "horizontal distance"},
    {"#8d5524", "1.5 2.5", "height difference"},
    {"#7b2cbf", "8 3 2 3", "GPS vector"},
};

int LineKindOf(ObservationKind kind) {
  switch (kind) {
    case ObservationKind::kHorizontalAngle:
    case ObservationKind::kAzimuth:
    case ObservationKind::kZenithDistance:
      return kPointingLine;
    case ObservationKind::kHorizontalDistance:
      return kDistanceLine;
    case ObservationKind::kHeightDifference:
      return kHeightLine;
    case ObservationKind::kGpsVector:
      return kGpsLine;
    case ObservationKind::kNone:
      break;
  }
  return -1;
}

const char* CheckName(CheckKind kind) {
  switch (kind) {
    case CheckKind::kBacksight:
      return "backsight";
    case CheckKind::kCheckShot:
      return "check shot";
    case CheckKind::kOrientation:
      return "orientation";
    case CheckKind::kRepeatedPointing:
      return "repeated pointing";
    case CheckKind::kMisclosure:
      return "misclosure";
    case CheckKind::kSpread:
      return "spread";
    case CheckKind::kImplausible:
      return "implausible value";
  }
  return "check";
}

std::string Format(const char* format, double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, format, value);
  return buffer;
}

// A position or size on the page: a tenth of a unit is finer than any screen shows.
std::string Num(double value) { return Format("%.1f", value); }

// The length of the well-formed UTF-8 sequence at `at`, 0 when there is none.
std::size_t Utf8Length(std::string_view text, std::size_t at) {
  auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  unsigned char lead = byte(at);
  std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
  if (lead < 0xC2 || lead > 0xF4 || at + length > text.size()) return 0;
  // The second byte's range rules out overlong forms, surrogates and code
  // points beyond U+10FFFF.
  unsigned char low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
  unsigned char high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
  if (byte(at + 1) < low || byte(at + 1) > high) return 0;
  for (std::size_t i = at + 2; i < at + length; ++i) {
    if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
  }
  return length;
}

// Names and notes come from the raw file as bytes: well-formed UTF-8 is kept,
// another byte above 0x9F is read as Latin-1, control bytes become '?', and
// the characters of XML markup are escaped.
std::string XmlText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c >= 0x80) {
      if (std::size_t length = Utf8Length(text, i)) {
        out.append(text.substr(i, length));
        i += length - 1;
      } else if (c >= 0xA0) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
      } else {
        out += '?';
      }
      continue;
    }
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&apos;";
        break;
      default:
        out += c < 0x20 && c != '\t' ? '?' : static_cast<char>(c);
    }
  }
  return out;
}

// The longest length of 1, 2 or 5 times a power of ten not above `most`.
double RoundLengthBelow(double most) {
  double power = std::pow(10.0, std::floor(std::log10(most)));
  for (double step : {5.0, 2.0}) {
    if (step * power <= most) return step * power;
  }
  return power;
}

// "1 station", "2 stations".
std::string Counted(std::size_t count, const char* thing) {
  std::string text = std::to_string(count) + " " + thing;
  return count == 1 ? text : text + "s";
}

std::string LengthText(double length) { return Format(length >= 1.0 ? "%.0f" : "%g", length); }

// What is drawn and where: each station's marker, the spots they share on the
// page, and the page around them.
struct Plot {
  explicit Plot(const PlotInput& plotted) : input(plotted), stations(*plotted.stations) {}

  const PlotInput& input;
  const StationList& stations;
  double factor = 1.0;                  // job units per metre
  std::vector<Marker> markers;          // by station index
  std::vector<bool> red;                // named in red: in a flagged finding or a merge group
  std::vector<int> unknown;             // stations without north and east
  std::vector<std::vector<int>> spots;  // drawn stations by spot on the page
  std::vector<int> spot_of;             // by station index; -1 when not drawn
  int known = 0;
  int computed = 0;
  int lines = 0;
  // North and east (metres) to the page: x = left + (east - west) * scale.
  double west = 0.0, north = 0.0, scale = 1.0, left = 0.0, top = 0.0;
  double frame_top = 0.0, frame_width = 0.0, frame_height = 0.0;
  double page_width = 0.0;

  double X(int s) const { return left + (stations[Index(s)].east - west) * scale; }
  double Y(int s) const { return top + (north - stations[Index(s)].north) * scale; }
  std::string At(int s) const { return Num(X(s)) + " " + Num(Y(s)); }
  bool Drawn(int s) const {
    return s > 0 && Index(s) < markers.size() && markers[Index(s)] != Marker::kNone;
  }
  static std::size_t Index(int s) { return static_cast<std::size_t>(s); }
};

// The station drawn in place of `s` (its survivor when merged), 0 for none.
int Resolved(const StationList& stations, int s) {
  if (s <= 0 || static_cast<std::size_t>(s) >= stations.size()) return 0;
  int resolved = stations.Resolve(s);
  return resolved > 0 && static_cast<std::size_t>(resolved) < stations.size() ? resolved : 0;
}

Marker MarkerOf(const PlotInput& input, std::size_t s) {
  const StationRecord& station = (*input.stations)[s];
  // A position no number gives (a garbled record) cannot be placed.
  if (!station.has_nee || !std::isfinite(station.north) || !std::isfinite(station.east)) {
    return Marker::kNone;
  }
  if (input.report == nullptr || s >= input.report->entries.size()) return Marker::kKnown;
  CoordinateSource source = input.report->entries[s].position.source;
  bool given = source == CoordinateSource::kFile || source == CoordinateSource::kSeed ||
               source == CoordinateSource::kNone;
  return given ? Marker::kKnown : Marker::kComputed;
}

void ChooseMarkers(Plot& plot) {
  const StationList& stations = plot.stations;
  plot.markers.assign(stations.size(), Marker::kNone);
  plot.red.assign(stations.size(), false);
  for (std::size_t s = 1; s < stations.size(); ++s) {
    if (stations[s].merge_link != kNotMerged) continue;  // drawn as the station it became
    Marker marker = MarkerOf(plot.input, s);
    plot.markers[s] = marker;
    if (marker == Marker::kKnown) ++plot.known;
    if (marker == Marker::kComputed) ++plot.computed;
    if (marker == Marker::kNone) plot.unknown.push_back(static_cast<int>(s));
  }
  auto mark_red = [&](int s) {
    if (int r = Resolved(stations, s)) plot.red[static_cast<std::size_t>(r)] = true;
  };
  for (const CheckFinding& finding : plot.input.findings) {
    if (!finding.flagged) continue;
    mark_red(finding.from);
    mark_red(finding.to);
  }
  for (const MergeCluster& cluster : plot.input.clusters) {
    for (std::int32_t s : cluster.stations) mark_red(s);
  }
}

// Sizes the drawing to the extent of the stations and places it on the page.
void PlaceDrawing(Plot& plot) {
  double east_min = 0.0, east_max = 0.0, north_min = 0.0, north_max = 0.0;
  bool any = false;
  for (std::size_t s = 1; s < plot.stations.size(); ++s) {
    if (plot.markers[s] == Marker::kNone) continue;
    const StationRecord& station = plot.stations[s];
    east_min = any ? std::min(east_min, station.east) : station.east;
    east_max = any ? std::max(east_max, station.east) : station.east;
    north_min = any ? std::min(north_min, station.north) : station.north;
    north_max = any ? std::max(north_max, station.north) : station.north;
    any = true;
  }
  double span = std::max({east_max - east_min, north_max - north_min, kLeastSpan});
  double drawn = static_cast<double>(plot.known + plot.computed);
  double side = std::clamp(kRoomPerStation * std::sqrt(drawn), kSmallestDrawing, kLargestDrawing);
  plot.scale = side / span;
  double width = (east_max - east_min) * plot.scale;
  double height = (north_max - north_min) * plot.scale;
  plot.west = east_min;
  plot.north = north_max;
  plot.frame_width = width + 2.0 * kInset;
  plot.frame_height = height + 2.0 * kInset;
  plot.frame_top = kMargin + kTitleSize + 2.2 * kTextSize;
  plot.left = kMargin + kInset;
  plot.top = plot.frame_top + kInset;
}

// How far a spot's label (its names and the commas between them) reaches
// east of its marker, about.
double LabelWidth(const Plot& plot, const std::vector<int>& spot) {
  std::size_t characters = 0;
  for (int s : spot) characters += plot.stations[static_cast<std::size_t>(s)].name.size() + 2;
  return 1.4 * kMarkerSize + kCharacterWidth * kLabelSize * static_cast<double>(characters);
}

// Widens the frame for the labels that run east of the drawing, and for the
// legend under it; a narrower drawing sits in the middle.
void FitFrame(Plot& plot) {
  double right = plot.left + plot.frame_width - kInset;
  for (const std::vector<int>& spot : plot.spots) {
    right = std::max(right, plot.X(spot[0]) + LabelWidth(plot, spot));
  }
  double needed = right + kInset - kMargin;
  plot.frame_width = std::max(needed, kLegendWidth);
  plot.left += (plot.frame_width - needed) / 2.0;
  plot.page_width = plot.frame_width + 2.0 * kMargin;
}

// The drawn stations gathered by spot on the page: stations closer than
// kSameSpot (check shots onto a traverse mark, a point stored under two
// names) share one label, their names in the order of the file.
void GatherSpots(Plot& plot) {
  std::vector<std::vector<int>>& spots = plot.spots;
  plot.spot_of.assign(plot.stations.size(), -1);
  std::map<std::pair<long long, long long>, std::vector<std::size_t>> cells;
  for (std::size_t s = 1; s < plot.stations.size(); ++s) {
    if (plot.markers[s] == Marker::kNone) continue;
    int station = static_cast<int>(s);
    double x = plot.X(station);
    double y = plot.Y(station);
    long long cell_x = std::llround(x / kSameSpot);
    long long cell_y = std::llround(y / kSameSpot);
    std::size_t found = spots.size();
    for (long long dx = -1; dx <= 1 && found == spots.size(); ++dx) {
      for (long long dy = -1; dy <= 1 && found == spots.size(); ++dy) {
        auto cell = cells.find({cell_x + dx, cell_y + dy});
        if (cell == cells.end()) continue;
        for (std::size_t spot : cell->second) {
          int first = spots[spot][0];
          if (std::hypot(plot.X(first) - x, plot.Y(first) - y) < kSameSpot) {
            found = spot;
            break;
          }
        }
      }
    }
    if (found == spots.size()) {
      spots.emplace_back();
      cells[{cell_x, cell_y}].push_back(found);
    }
    spots[found].push_back(station);
    plot.spot_of[s] = static_cast<int>(found);
  }
}

void WriteHeader(std::ostream& out, const Plot& plot) {
  std::string title = "Network plot";
  if (plot.input.report != nullptr && !plot.input.report->seed_name.empty()) {
    title += ", approximate coordinates from seed station " + plot.input.report->seed_name;
  }
  std::size_t stations = plot.unknown.size() + static_cast<std::size_t>(plot.known + plot.computed);
  std::string counts =
      Counted(stations, "station") + ": " + std::to_string(plot.known) + " known, " +
      std::to_string(plot.computed) + " computed, " + std::to_string(plot.unknown.size()) +
      " without north and east; " + Counted(static_cast<std::size_t>(plot.lines), "line") +
      ". North up; lengths in " + DistanceUnitName(plot.input.distance_unit_code) + ".";
  out << "<text x=\"" << Num(kMargin) << "\" y=\"" << Num(kMargin + kTitleSize) << "\" font-size=\""
      << Num(kTitleSize) << "\" font-weight=\"bold\">" << XmlText(title) << "</text>\n";
  out << "<text x=\"" << Num(kMargin) << "\" y=\"" << Num(kMargin + kTitleSize + 1.6 * kTextSize)
      << "\" font-size=\"" << Num(kTextSize) << "\">" << counts << "</text>\n";
  out << "<rect x=\"" << Num(kMargin) << "\" y=\"" << Num(plot.frame_top) << "\" width=\""
      << Num(plot.frame_width) << "\" height=\"" << Num(plot.frame_height)
      << "\" fill=\"none\" stroke=\"#b0b0b0\" stroke-width=\"1\"/>\n";
}

// The known station's triangle round (0, 0).
std::string TriangleAtOrigin() {
  const double r = kMarkerSize;
  return "M0 " + Num(-1.3 * r) + "L" + Num(1.15 * r) + " " + Num(0.7 * r) + "L" + Num(-1.15 * r) +
         " " + Num(0.7 * r) + "Z";
}

// The station markers, defined once and placed with <use>.
void WriteDefinitions(std::ostream& out) {
  out << "<defs>\n"
      << "<path id=\"known\" d=\"" << TriangleAtOrigin() << "\"/>\n"
      << "<circle id=\"computed\" r=\"" << Num(kMarkerSize) << "\"/>\n"
      << "</defs>\n";
}

// Every pair of spots measured between, once per kind of line; a
// commented-out observation (computed, or a record that could not be used)
// is not drawn.
void WriteLines(std::ostream& out, Plot& plot) {
  std::vector<std::pair<int, int>> pairs[kLineKinds];
  const ObservationList& observations = *plot.input.observations;
  auto add = [&](int kind, int from, int to) {
    from = Resolved(plot.stations, from);
    to = Resolved(plot.stations, to);
    if (!plot.Drawn(from) || !plot.Drawn(to)) return;
    int a = plot.spot_of[static_cast<std::size_t>(from)];
    int b = plot.spot_of[static_cast<std::size_t>(to)];
    if (a != b) pairs[kind].emplace_back(std::min(a, b), std::max(a, b));
  };
  for (std::size_t o = 1; o < observations.size(); ++o) {
    const ObservationRecord& record = observations[o];
    int kind = LineKindOf(record.kind);
    if (kind < 0 || record.computed) continue;
    if (record.detail != 0 && !observations.Detail(record).rejected_because.empty()) continue;
    add(kind, record.from, record.to);
    // The backsight of a horizontal angle was pointed at too.
    if (record.kind == ObservationKind::kHorizontalAngle) add(kind, record.from, record.backsight);
  }
  for (int kind = 0; kind < kLineKinds; ++kind) {
    std::vector<std::pair<int, int>>& list = pairs[kind];
    std::sort(list.begin(), list.end());
    list.erase(std::unique(list.begin(), list.end()), list.end());
    if (list.empty()) continue;
    plot.lines += static_cast<int>(list.size());
    const LineStyle& style = kLineStyles[kind];
    out << "<path fill=\"none\" stroke=\"" << style.colour << "\" stroke-width=\""
        << Num(kLineWidth) << "\"";
    if (style.dashes != nullptr) out << " stroke-dasharray=\"" << style.dashes << "\"";
    out << " d=\"";
    for (const auto& [a, b] : list) {
      out << "M" << plot.At(plot.spots[static_cast<std::size_t>(a)][0]) << "L"
          << plot.At(plot.spots[static_cast<std::size_t>(b)][0]) << "\n";
    }
    out << "\"/>\n";
  }
}

void WriteStations(std::ostream& out, const Plot& plot) {
  struct Group {
    Marker marker;
    const char* id;
    std::string paint;
  };
  const Group groups[] = {
      {Marker::kComputed, "computed",
       std::string("fill=\"#ffffff\" stroke-width=\"1.2\" stroke=\"") + kComputedColour + "\""},
      {Marker::kKnown, "known", std::string("stroke=\"none\" fill=\"") + kKnownColour + "\""},
  };
  for (const Group& group : groups) {
    out << "<g " << group.paint << ">\n";
    for (std::size_t s = 1; s < plot.stations.size(); ++s) {
      if (plot.markers[s] != group.marker) continue;
      int i = static_cast<int>(s);
      out << "<use xlink:href=\"#" << group.id << "\" x=\"" << Num(plot.X(i)) << "\" y=\""
          << Num(plot.Y(i)) << "\"/>\n";
    }
    out << "</g>\n";
  }
  out << "<g font-size=\"" << Num(kLabelSize) << "\" fill=\"#202020\">\n";
  for (const std::vector<int>& spot : plot.spots) {
    out << "<text x=\"" << Num(plot.X(spot[0]) + 1.4 * kMarkerSize) << "\" y=\""
        << Num(plot.Y(spot[0]) - 1.2 * kMarkerSize) << "\">";
    for (std::size_t i = 0; i < spot.size(); ++i) {
      if (i > 0) out << ", ";
      std::string name = XmlText(plot.stations[static_cast<std::size_t>(spot[i])].name.view());
      if (plot.red[static_cast<std::size_t>(spot[i])]) {
        out << "<tspan fill=\"" << kRed << "\" font-weight=\"bold\">" << name << "</tspan>";
      } else {
        out << name;
      }
    }
    out << "</text>\n";
  }
  out << "</g>\n";
}

// A flagged finding: a ring round each of its stations, the line between
// them, and the kind of check beside it; the report's text shows on hover.
void WriteFindings(std::ostream& out, const Plot& plot) {
  out << "<g stroke=\"" << kRed << "\" fill=\"none\" stroke-width=\"1.2\">\n";
  for (const CheckFinding& finding : plot.input.findings) {
    if (!finding.flagged) continue;
    int from = Resolved(plot.stations, finding.from);
    int to = Resolved(plot.stations, finding.to);
    bool from_drawn = plot.Drawn(from);
    bool to_drawn = plot.Drawn(to) && to != from;
    if (!from_drawn && !to_drawn) continue;
    out << "<g><title>" << XmlText(finding.text) << "</title>\n";
    for (int s : {from_drawn ? from : 0, to_drawn ? to : 0}) {
      if (s == 0) continue;
      out << "<circle cx=\"" << Num(plot.X(s)) << "\" cy=\"" << Num(plot.Y(s)) << "\" r=\""
          << Num(2.2 * kMarkerSize) << "\"/>\n";
    }
    double x = from_drawn ? plot.X(from) : plot.X(to);
    double y = from_drawn ? plot.Y(from) : plot.Y(to);
    if (from_drawn && to_drawn) {
      out << "<path d=\"M" << plot.At(from) << "L" << plot.At(to) << "\"/>\n";
      x = (plot.X(from) + plot.X(to)) / 2.0;
      y = (plot.Y(from) + plot.Y(to)) / 2.0;
    }
    out << "<text x=\"" << Num(x + 2.5 * kMarkerSize) << "\" y=\"" << Num(y + 3.0 * kMarkerSize)
        << "\" font-size=\"" << Num(kLabelSize) << "\" fill=\"" << kRed
        << "\" stroke=\"none\" font-style=\"italic\">" << CheckName(finding.kind) << "</text>\n";
    out << "</g>\n";
  }
  out << "</g>\n";
}

// A group of stations close enough to be one point: a ring round them all and
// the distance of its pair, or how close the pairs of a larger group lie, in
// the job's unit.
void WriteClusters(std::ostream& out, const Plot& plot) {
  const StationList& stations = plot.stations;
  const char* unit = DistanceUnitSymbol(plot.input.distance_unit_code);
  out << "<g stroke=\"" << kRed << "\" fill=\"none\" stroke-width=\"1.2\">\n";
  for (const MergeCluster& cluster : plot.input.clusters) {
    std::vector<int> drawn;
    for (std::int32_t s : cluster.stations) {
      int r = Resolved(stations, s);
      if (plot.Drawn(r)) drawn.push_back(r);
    }
    if (drawn.empty()) continue;
    double x = 0.0, y = 0.0;
    for (int s : drawn) {
      x += plot.X(s);
      y += plot.Y(s);
    }
    x /= static_cast<double>(drawn.size());
    y /= static_cast<double>(drawn.size());
    double radius = 0.0;
    for (int s : drawn) radius = std::max(radius, std::hypot(plot.X(s) - x, plot.Y(s) - y));
    radius += 3.0 * kMarkerSize;
    out << "<circle cx=\"" << Num(x) << "\" cy=\"" << Num(y) << "\" r=\"" << Num(radius)
        << "\"/>\n";
    // The distances go on the side of the ring nearer the middle of the page.
    bool east_half = x > kMargin + plot.frame_width / 2.0;
    double text_x = east_half ? x - radius - kMarkerSize : x + radius + kMarkerSize;
    double text_y = y - radius + kLabelSize;
    out << "<g font-size=\"" << Num(kLabelSize) << "\" fill=\"" << kRed << "\" stroke=\"none\""
        << (east_half ? " text-anchor=\"end\">\n" : ">\n");
    // Every pair's distance would bury the picture when a mark has several
    // check shots: a group of more than two says how close its pairs lie,
    // and the report lists each pair.
    if (cluster.pairs.size() > 1) {
      double closest = cluster.pairs.front().separation, farthest = closest;
      for (const MergeCluster::Pair& pair : cluster.pairs) {
        closest = std::min(closest, pair.separation);
        farthest = std::max(farthest, pair.separation);
      }
      std::string text = Counted(cluster.stations.size(), "station") + ", pairs " +
                         Format("%.3f", closest * plot.factor) + "\xE2\x80\x93" +
                         Format("%.3f", farthest * plot.factor) + " " + unit + " apart";
      // Below the ring, clear of the stations' own label beside it.
      out << "<text x=\"" << Num(text_x) << "\" y=\"" << Num(y + radius + kLabelSize) << "\">"
          << XmlText(text) << "</text>\n";
    }
    for (const MergeCluster::Pair& pair : cluster.pairs) {
      if (cluster.pairs.size() > 1) break;
      int first = Resolved(stations, pair.first);
      int second = Resolved(stations, pair.second);
      if (first == 0 || second == 0) continue;
      std::string text = std::string(stations[static_cast<std::size_t>(first)].name.view());
      text += " \xE2\x80\x93 ";
      text += stations[static_cast<std::size_t>(second)].name.view();
      text += ": " + Format("%.3f", pair.separation * plot.factor) + " " + unit;
      out << "<text x=\"" << Num(text_x) << "\" y=\"" << Num(text_y) << "\">" << XmlText(text)
          << "</text>\n";
      text_y += 1.25 * kLabelSize;
    }
    out << "</g>\n";
  }
  out << "</g>\n";
}

// One row of the legend: its sample drawn by `sample` at (x, y), then its text.
template <typename Sample>
void LegendRow(std::ostream& out, double x, double y, const std::string& text, Sample sample) {
  sample(x + 10.0, y - kTextSize / 3.0);
  out << "<text x=\"" << Num(x + 28.0) << "\" y=\"" << Num(y) << "\">" << XmlText(text)
      << "</text>\n";
}

// The legend, the scale bar and the north arrow, under the frame; returns the
// height they take.
double WriteLegend(std::ostream& out, const Plot& plot, double top) {
  const double r = kMarkerSize;
  double x = kMargin;
  double y = top + kTextSize;
  out << "<g font-size=\"" << Num(kTextSize) << "\" fill=\"#202020\">\n";
  LegendRow(out, x, y, "known: coordinates from the file or the seed", [&](double cx, double cy) {
    out << "<path transform=\"translate(" << Num(cx) << " " << Num(cy) << ")\" d=\""
        << TriangleAtOrigin() << "\" fill=\"" << kKnownColour << "\"/>\n";
  });
  y += kLegendRow;
  LegendRow(out, x, y, "computed: approximate coordinates", [&](double cx, double cy) {
    out << "<circle cx=\"" << Num(cx) << "\" cy=\"" << Num(cy) << "\" r=\"" << Num(r)
        << "\" fill=\"#ffffff\" stroke=\"" << kComputedColour << "\" stroke-width=\"1.2\"/>\n";
  });
  for (const LineStyle& style : kLineStyles) {
    y += kLegendRow;
    LegendRow(out, x, y, style.legend, [&](double cx, double cy) {
      out << "<path d=\"M" << Num(cx - 10.0) << " " << Num(cy) << "h20\" stroke=\"" << style.colour
          << "\" stroke-width=\"1.2\"";
      if (style.dashes != nullptr) out << " stroke-dasharray=\"" << style.dashes << "\"";
      out << "/>\n";
    });
  }
  y += kLegendRow;
  std::size_t flagged = static_cast<std::size_t>(
      std::count_if(plot.input.findings.begin(), plot.input.findings.end(),
                    [](const CheckFinding& finding) { return finding.flagged; }));
  std::string red = "in red: " + Counted(flagged, "flagged check") + ", " +
                    Counted(plot.input.clusters.size(), "group") +
                    " of stations close enough to be one point";
  LegendRow(out, x, y, red, [&](double cx, double cy) {
    out << "<circle cx=\"" << Num(cx) << "\" cy=\"" << Num(cy) << "\" r=\"" << Num(2.2 * r)
        << "\" fill=\"none\" stroke=\"" << kRed << "\" stroke-width=\"1.2\"/>\n";
  });
  double height = y - top + kTextSize / 2.0;

  // The scale bar: a round length in the job's unit, halves marked.
  if (plot.known + plot.computed > 0) {
    double per_metre = plot.factor;  // job units per metre
    double length = RoundLengthBelow(kScaleBarRoom / plot.scale * per_metre);
    double bar = length / per_metre * plot.scale;
    double bar_x = kMargin + 420.0;
    double bar_y = top + 2.0 * kTextSize;
    out << "<path d=\"M" << Num(bar_x) << " " << Num(bar_y - 5.0) << "v5h" << Num(bar) << "v-5M"
        << Num(bar_x + bar / 2.0) << " " << Num(bar_y) << "v-3\" fill=\"none\" stroke=\"#202020\""
        << " stroke-width=\"1.2\"/>\n";
    out << "<text x=\"" << Num(bar_x) << "\" y=\"" << Num(bar_y + 1.4 * kTextSize)
        << "\" text-anchor=\"middle\">0</text>\n";
    out << "<text x=\"" << Num(bar_x + bar) << "\" y=\"" << Num(bar_y + 1.4 * kTextSize)
        << "\" text-anchor=\"middle\">" << LengthText(length) << " "
        << DistanceUnitSymbol(plot.input.distance_unit_code) << "</text>\n";
  }

  // The north arrow at the right end.
  double arrow_x = kMargin + plot.frame_width - 20.0;
  double arrow_top = top + 1.6 * kTextSize;
  out << "<text x=\"" << Num(arrow_x) << "\" y=\"" << Num(top + kTextSize)
      << "\" text-anchor=\"middle\" font-weight=\"bold\">N</text>\n";
  out << "<path d=\"M" << Num(arrow_x) << " " << Num(arrow_top) << "l7 20l-7 -6l-7 6Z\""
      << " fill=\"#202020\"/>\n";
  out << "<path d=\"M" << Num(arrow_x) << " " << Num(arrow_top + 14.0) << "v30\" stroke=\"#202020\""
      << " stroke-width=\"1.5\"/>\n";
  out << "</g>\n";
  return std::max(height, 1.6 * kTextSize + 44.0);
}

// The stations that have no north and east, by name, in lines across the
// page; returns the height they take.
double WriteUnknown(std::ostream& out, const Plot& plot, double top) {
  if (plot.unknown.empty()) return 0.0;
  const double line_height = 1.4 * kTextSize;
  const double character = kCharacterWidth * kTextSize;
  std::size_t per_line = static_cast<std::size_t>(plot.frame_width / character);
  std::vector<std::string> lines(1);
  for (int s : plot.unknown) {
    std::string name = plot.stations[static_cast<std::size_t>(s)].name.str();
    if (!lines.back().empty() && lines.back().size() + 2 + name.size() > per_line) {
      lines.emplace_back();
    }
    if (!lines.back().empty()) lines.back() += "  ";
    lines.back() += name;
  }
  out << "<g font-size=\"" << Num(kTextSize) << "\" fill=\"#202020\">\n";
  double y = top + kTextSize;
  out << "<text x=\"" << Num(kMargin) << "\" y=\"" << Num(y) << "\" font-weight=\"bold\">"
      << "unknown: " << plot.unknown.size() << (plot.unknown.size() == 1 ? " station" : " stations")
      << " without north and east, not drawn"
      << "</text>\n";
  for (const std::string& line : lines) {
    y += line_height;
    out << "<text x=\"" << Num(kMargin) << "\" y=\"" << Num(y) << "\" xml:space=\"preserve\">"
        << XmlText(line) << "</text>\n";
  }
  out << "</g>\n";
  double height = y - top + kTextSize / 2.0;
  out << "<rect x=\"" << Num(kMargin - 4.0) << "\" y=\"" << Num(top - 4.0) << "\" width=\""
      << Num(plot.frame_width + 8.0) << "\" height=\"" << Num(height + 8.0)
      << "\" fill=\"none\" stroke=\"#b0b0b0\" stroke-width=\"1\"/>\n";
  return height + 8.0;
}

}  // namespace

void WriteNetworkPlot(std::ostream& out, const PlotInput& input) {
  static const StationList kNoStations;
  static const ObservationList kNoObservations;
  PlotInput safe = input;
  if (safe.stations == nullptr) safe.stations = &kNoStations;
  if (safe.observations == nullptr) safe.observations = &kNoObservations;
  Plot plot(safe);
  plot.factor = DistanceUnitFactor(input.distance_unit_code);
  ChooseMarkers(plot);
  PlaceDrawing(plot);
  GatherSpots(plot);
  FitFrame(plot);

  // The body first: the header counts the lines and the page height follows
  // the legend and the list of stations not drawn.
  std::ostringstream body;
  WriteDefinitions(body);
  WriteLines(body, plot);
  WriteStations(body, plot);
  WriteFindings(body, plot);
  WriteClusters(body, plot);
  double legend_top = plot.frame_top + plot.frame_height + 1.5 * kTextSize;
  double legend_height = WriteLegend(body, plot, legend_top);
  double unknown_top = legend_top + legend_height + 1.5 * kTextSize;
  double unknown_height = WriteUnknown(body, plot, unknown_top);
  double page_height = unknown_top + unknown_height + kMargin;

  out << "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n"
      << "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\""
      << " version=\"1.1\" width=\"" << Num(plot.page_width) << "\" height=\"" << Num(page_height)
      << "\" viewBox=\"0 0 " << Num(plot.page_width) << " " << Num(page_height)
      << "\" font-family=\"sans-serif\">\n";
  out << "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
  WriteHeader(out, plot);
  out << body.str() << "</svg>\n";
}

}  // namespace trovisk
