// Steep zeniths with distances, instrument heights changed within a setup,
// and heights off the earth.
#include "checks/implausible_values.h"

#include <cmath>
#include <string>

#include "checks/pointing_geometry.h"
#include "geodesy/constants.h"

namespace trovisk {
namespace {

constexpr double kSteepestZenith = 2.0 * kPi / 180.0;  // from the zenith or the nadir
constexpr double kLowestHeight = -500.0;               // metres, ellipsoidal
constexpr double kHighestHeight = 9000.0;
constexpr double kSameHeight = 0.0005;  // metres

}  // namespace

std::vector<CheckFinding> CheckImplausibleValues(const SurveyData& data) {
  std::vector<CheckFinding> findings;
  const StationList& stations = data.stations;
  const ObservationList& observations = data.observations;
  auto flag = [&](int line, int from, int to, double size, std::string text) {
    CheckFinding finding;
    finding.kind = CheckKind::kImplausible;
    finding.line = line;
    finding.from = from;
    finding.to = to;
    finding.flagged = true;
    finding.size = size;
    finding.text = std::move(text);
    findings.push_back(std::move(finding));
  };
  SetupCursor setup_of(data.setups);
  std::vector<double> setup_height(data.setups.size(), kNullValue);
  std::vector<bool> setup_warned(data.setups.size(), false);
  for (std::size_t i = 1; i < observations.size(); ++i) {
    const ObservationRecord& o = observations[i];
    if (o.computed || !observations.Detail(o).rejected_because.empty()) continue;
    if (IsPresent(o.zenith) && IsPresent(o.slope_distance) &&
        (o.zenith < kSteepestZenith || o.zenith > kPi - kSteepestZenith)) {
      flag(o.line, o.from, o.to, 1.0,
           "the pointing from " + StationText(stations, o.from) + " to " +
               StationText(stations, o.to) + " has a zenith of " + AngleText(o.zenith) +
               " with a distance: no instrument measures that steeply");
    }
    const int setup = setup_of.At(i, o);
    if (setup < 0 || IsMissing(o.instrument_height) || o.kind == ObservationKind::kGpsVector) {
      continue;
    }
    double& height = setup_height[static_cast<std::size_t>(setup)];
    if (IsMissing(height)) {
      height = o.instrument_height;
    } else if (std::fabs(o.instrument_height - height) > kSameHeight &&
               !setup_warned[static_cast<std::size_t>(setup)]) {
      setup_warned[static_cast<std::size_t>(setup)] = true;
      flag(o.line, o.from, 0, 1.0,
           "the instrument height on " + StationText(stations, o.from) + " changes from " +
               LengthText(height, data.distance_units) + " to " +
               LengthText(o.instrument_height, data.distance_units) +
               " in the middle of the setup of line " +
               std::to_string(data.setups[static_cast<std::size_t>(setup)].line));
    }
  }
  // Heights off the earth come in numbers when the seed's local system and
  // the file's grid disagree: one finding names the count and the worst.
  std::size_t off_earth = 0;
  int worst = 0;
  for (std::size_t i = 1; i < stations.size(); ++i) {
    const StationRecord& s = stations[i];
    if (!s.has_geodetic || stations.Resolve(static_cast<int>(i)) != static_cast<int>(i)) continue;
    if (s.height >= kLowestHeight && s.height <= kHighestHeight) continue;
    ++off_earth;
    if (worst == 0 ||
        std::fabs(s.height) > std::fabs(stations[static_cast<std::size_t>(worst)].height)) {
      worst = static_cast<int>(i);
    }
  }
  if (off_earth > 0) {
    const double height = stations[static_cast<std::size_t>(worst)].height;
    std::string text = off_earth == 1 ? "station " + StationText(stations, worst) + " has"
                                      : std::to_string(off_earth) +
                                            " stations have heights off the earth, the worst " +
                                            StationText(stations, worst) + " with";
    text += " an ellipsoidal height of " + LengthText(height, kUnitMetres) +
            ": its position cannot be right; an observation to or from it, or the seed's "
            "coordinates, are wrong";
    flag(0, worst, 0, std::fabs(height) / kHighestHeight, std::move(text));
  }
  return findings;
}

}  // namespace trovisk
