// The check report: summary, flagged items, every check by kind, clusters
// and the station table.
#include "checks/check_report.h"

#include <cstdio>
#include <ostream>

#include "checks/pointing_geometry.h"

namespace trovisk {
namespace {

const char* KindTitle(CheckKind kind) {
  switch (kind) {
    case CheckKind::kBacksight:
      return "Backsight checks";
    case CheckKind::kCheckShot:
      return "Check shots onto known stations";
    case CheckKind::kOrientation:
      return "Setups rotated from their backsight";
    case CheckKind::kRepeatedPointing:
      return "Repeated pointings that disagree (also between direction sets)";
    case CheckKind::kMisclosure:
      return "Misclosures";
    case CheckKind::kSpread:
      return "Stations determined more than once";
    case CheckKind::kImplausible:
      return "Impossible values";
  }
  return "Checks";
}

std::string LineText(int line) { return line > 0 ? "line " + std::to_string(line) : "-"; }

std::string Padded(std::string text, std::size_t width) {
  if (text.size() < width) text.append(width - text.size(), ' ');
  return text + ' ';
}

std::string Ratio(double size) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1fx", size);
  return text;
}

}  // namespace

void WriteCheckReport(std::ostream& out, const CheckReportInput& input) {
  const SurveyData& data = *input.data;
  const int unit = data.distance_units;
  out << "Field checks of " << input.input_name << "\n\n";

  if (input.written != nullptr) {
    const WrittenObservations& w = *input.written;
    auto kind = [&w](ObservationKind k) {
      return std::to_string(w.by_kind[static_cast<std::size_t>(k)]);
    };
    out << "Observations written: " << kind(ObservationKind::kHorizontalAngle)
        << " horizontal angles, " << kind(ObservationKind::kAzimuth) << " azimuths, "
        << kind(ObservationKind::kZenithDistance)
        << " zeniths and slope distances without an angle, "
        << kind(ObservationKind::kHorizontalDistance) << " horizontal distances, "
        << kind(ObservationKind::kHeightDifference) << " height differences, "
        << kind(ObservationKind::kGpsVector) << " GPS vectors; " << w.commented_out
        << " commented out\n";
  }
  std::size_t from_file = 0, seed = 0, computed = 0, unknown = 0, merged = 0;
  for (std::size_t i = 1; i < data.stations.size(); ++i) {
    const StationRecord& s = data.stations[i];
    if (data.stations.Resolve(static_cast<int>(i)) != static_cast<int>(i)) {
      ++merged;
      continue;
    }
    const CoordinateSource source =
        input.report != nullptr && i < input.report->entries.size()
            ? input.report->entries[i].position.source
            : (s.has_nee ? CoordinateSource::kFile : CoordinateSource::kNone);
    if (!s.has_nee && !s.has_geodetic) {
      ++unknown;
    } else if (source == CoordinateSource::kSeed) {
      ++seed;
    } else if (source == CoordinateSource::kFile || source == CoordinateSource::kNone) {
      ++from_file;
    } else {
      ++computed;
    }
  }
  out << "Stations: " << from_file << " with coordinates from the file, " << seed << " seed, "
      << computed << " computed, " << unknown << " without coordinates, " << merged
      << " merged into another\n";
  out << "Tolerances: angles " << input.tolerances.angle_seconds << "\", horizontal distances "
      << LengthText(input.tolerances.distance, unit) << " + " << input.tolerances.distance_ppm
      << " ppm, heights " << LengthText(input.tolerances.height, unit) << "\n\n";

  const std::vector<CheckFinding> none;
  const std::vector<CheckFinding>& findings = input.findings != nullptr ? *input.findings : none;
  std::size_t flagged = 0;
  for (const CheckFinding& f : findings) flagged += f.flagged;
  out << "Flagged, largest first: " << flagged << "\n";
  for (const CheckFinding& f : findings) {
    if (!f.flagged) continue;
    out << "  " << Padded(Ratio(f.size), 8) << Padded(LineText(f.line), 11) << f.text << "\n";
  }
  out << "\n";

  const CheckKind kinds[] = {CheckKind::kOrientation, CheckKind::kBacksight,
                             CheckKind::kCheckShot,   CheckKind::kRepeatedPointing,
                             CheckKind::kMisclosure,  CheckKind::kSpread,
                             CheckKind::kImplausible};
  for (CheckKind kind : kinds) {
    std::size_t count = 0;
    for (const CheckFinding& f : findings) count += f.kind == kind;
    if (count == 0) continue;
    out << KindTitle(kind) << ": " << count << "\n";
    for (const CheckFinding& f : findings) {
      if (f.kind != kind) continue;
      out << "  " << Padded(f.flagged ? "FLAG" : "ok", 5) << Padded(LineText(f.line), 11) << f.text
          << "\n";
    }
    out << "\n";
  }

  if (input.clusters != nullptr && !input.clusters->empty()) {
    out << "Stations close enough to be one point: " << input.clusters->size()
        << (input.clusters->size() == 1 ? " group" : " groups") << " (distances in metres)\n";
    for (const MergeCluster& cluster : *input.clusters) {
      out << " ";
      for (std::int32_t station : cluster.stations) {
        out << " " << data.stations[static_cast<std::size_t>(station)].name.view();
      }
      out << "\n";
      for (const MergeCluster::Pair& pair : cluster.pairs) {
        out << "    " << data.stations[static_cast<std::size_t>(pair.first)].name.view() << " - "
            << data.stations[static_cast<std::size_t>(pair.second)].name.view() << " "
            << LengthText(pair.separation, kUnitMetres) << "\n";
      }
    }
    out << "\n";
  }

  if (input.report != nullptr) WriteStationReport(out, data.stations, *input.report, unit);
}

}  // namespace trovisk
