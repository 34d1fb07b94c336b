// The station report as a plain text table.
#include "approx/station_report.h"

#include <cstdio>
#include <ostream>
#include <string>

#include "geodesy/constants.h"
#include "geodesy/unit_text.h"

namespace trovisk {
namespace {

std::string Format(const char* format, double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, format, value);
  return buffer;
}

std::string NameOf(const StationList& stations, std::int32_t index) {
  if (index <= 0 || static_cast<std::size_t>(index) >= stations.size()) return "?";
  return stations[static_cast<std::size_t>(index)].name.str();
}

// "polar from 104 (observation 12, line 40, SS)"
std::string Describe(const Determination& d, const StationList& stations) {
  if (d.source == CoordinateSource::kAssumedElevation) {
    return d.from_station > 0 ? "assumed equal to that of " + NameOf(stations, d.from_station)
                              : "assumed equal to the seed's";
  }
  std::string text = SourceText(d.source);
  if (d.from_station > 0) {
    bool figure =
        d.source == CoordinateSource::kIntersection || d.source == CoordinateSource::kResection;
    text += figure ? " on " : " from ";
    text += NameOf(stations, d.from_station);
    if (d.second_station > 0) text += " and " + NameOf(stations, d.second_station);
  }
  if (d.observation.sequence > 0) {
    text += " (observation " + std::to_string(d.observation.sequence) + ", line " +
            std::to_string(d.observation.line);
    // The code field need not end in a NUL when filled by hand; never read past it.
    const auto& code = d.observation.code;
    std::size_t length = 0;
    while (length < code.size() && code[length] != '\0') ++length;
    if (length > 0) text += ", " + std::string(code.data(), length);
    text += ")";
  }
  return text;
}

std::string Padded(std::string text, std::size_t width) {
  if (text.size() < width) text.append(width - text.size(), ' ');
  return text + ' ';
}

}  // namespace

const char* SourceText(CoordinateSource source) {
  switch (source) {
    case CoordinateSource::kNone:
      return "none";
    case CoordinateSource::kFile:
      return "file";
    case CoordinateSource::kSeed:
      return "seed";
    case CoordinateSource::kPolar:
      return "polar";
    case CoordinateSource::kTrigLevelling:
      return "trigonometric levelling";
    case CoordinateSource::kHeightDifference:
      return "height difference";
    case CoordinateSource::kGpsVector:
      return "GPS vector";
    case CoordinateSource::kIntersection:
      return "intersection";
    case CoordinateSource::kResection:
      return "resection";
    case CoordinateSource::kAssumedElevation:
      return "assumed from a neighbour";
  }
  return "none";
}

const char* ReasonText(UnknownReason reason) {
  switch (reason) {
    case UnknownReason::kNone:
      return "not computed";
    case UnknownReason::kNotObserved:
      return "no observation reaches it";
    case UnknownReason::kNoLinkToSeed:
      return "no link to the seed";
    case UnknownReason::kOnlyThroughUnknown:
      return "linked only through stations that could not be computed";
    case UnknownReason::kNoOrientation:
      return "no orientation: the circle that points at it could not be oriented";
    case UnknownReason::kNoDistance:
      return "only one direction to it and no distance";
    case UnknownReason::kDistanceOnly:
      return "only distances to it, no direction";
    case UnknownReason::kVerticalOnly:
      return "only height observations reach it";
    case UnknownReason::kWeakGeometry:
      return "intersection or resection too weak (directions nearly parallel or on the danger "
             "circle)";
    case UnknownReason::kGpsEndWithoutHeight:
      return "GPS vector from a station without an elevation";
  }
  return "not computed";
}

void WriteStationReport(std::ostream& out, const StationList& stations, const StationReport& report,
                        int distance_unit_code) {
  double factor = DistanceUnitFactor(distance_unit_code);
  out << "Approximate coordinates";
  if (!report.seed_name.empty()) out << " from seed station " << report.seed_name;
  out << (report.anchored_on_file ? " (local system of the file's seed coordinates)"
                                  : " (local system of the entered seed coordinates)")
      << "\n";
  out << "Lengths in " << DistanceUnitName(distance_unit_code) << ".\n";
  out << "Stations without approximate coordinates: " << report.uncomputed_count << "\n\n";
  out << Padded("Station", 16) << Padded("North", 15) << Padded("East", 15)
      << Padded("Elevation", 12) << Padded("Agree", 6) << Padded("Spread", 16) << "Source\n";

  for (std::size_t s = 1; s < stations.size(); ++s) {
    const StationRecord& station = stations[s];
    out << Padded(station.name.str(), 16);
    if (station.merge_link != kNotMerged) {
      out << "merged into " << NameOf(stations, stations.Resolve(static_cast<int>(s))) << "\n";
      continue;
    }
    const StationReportEntry* entry = s < report.entries.size() ? &report.entries[s] : nullptr;
    // The same test as the count of stations without approximate coordinates.
    if (!station.has_geodetic) {
      out << Padded("-", 15) << Padded("-", 15) << Padded("-", 12) << Padded("-", 6)
          << Padded("-", 16)
          << "not computed: " << ReasonText(entry != nullptr ? entry->reason : UnknownReason::kNone)
          << "\n";
      continue;
    }
    out << Padded(Format("%.4f", station.north * factor), 15)
        << Padded(Format("%.4f", station.east * factor), 15)
        << Padded(Format("%.4f", station.elevation * factor), 12);
    if (entry == nullptr) {
      out << Padded("-", 6) << Padded("-", 16) << "\n";
      continue;
    }
    bool computed = entry->position.source != CoordinateSource::kFile &&
                    entry->position.source != CoordinateSource::kSeed &&
                    entry->position.source != CoordinateSource::kNone;
    if (computed) {
      out << Padded(std::to_string(entry->position_agreeing) + "/" +
                        std::to_string(entry->elevation_agreeing),
                    6)
          << Padded(Format("%.4f", entry->position_spread * factor) + "/" +
                        Format("%.4f", entry->elevation_spread * factor),
                    16);
    } else {
      out << Padded("-", 6) << Padded("-", 16);
    }
    out << Describe(entry->position, stations);
    if (entry->elevation.source != entry->position.source ||
        entry->elevation.from_station != entry->position.from_station ||
        entry->elevation.observation.sequence != entry->position.observation.sequence) {
      out << "; elevation: " << Describe(entry->elevation, stations);
    }
    if (entry->local_from_geodetic) out << "; north, east, elevation from its geodetic values";
    if (entry->geodetic_from_local) out << "; geodetic values from its north, east, elevation";
    out << "\n";
    for (const SetAside& aside : entry->set_aside) {
      out << Padded("", 16)
          << "  set aside: " << (aside.vertical ? "elevation by " : "position by ")
          << Describe(aside.determination, stations) << ", "
          << Format("%.4f", aside.offset * factor) << " off\n";
    }
  }
}

}  // namespace trovisk
