// Horizontal distances, mark-to-mark heights and setups of pointings, and
// the texts the checks print them with.
#include "checks/pointing_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "geodesy/constants.h"
#include "rw5/angle_reduction.h"

namespace trovisk {

double HorizontalDistanceOf(const ObservationRecord& observation) {
  if (IsPresent(observation.horizontal_distance)) return observation.horizontal_distance;
  if (IsPresent(observation.slope_distance) && IsPresent(observation.zenith)) {
    return observation.slope_distance * std::sin(observation.zenith);
  }
  return kNullValue;
}

double MarkHeightDifferenceOf(const ObservationRecord& observation) {
  if (IsMissing(observation.slope_distance) || IsMissing(observation.zenith)) return kNullValue;
  const double instrument =
      IsPresent(observation.instrument_height) ? observation.instrument_height : 0.0;
  const double target = IsPresent(observation.target_height) ? observation.target_height : 0.0;
  return observation.slope_distance * std::cos(observation.zenith) + instrument - target;
}

int SetupOf(const std::vector<Setup>& setups, const ObservationRecord& observation) {
  auto after = std::upper_bound(setups.begin(), setups.end(), observation.line,
                                [](int line, const Setup& setup) { return line < setup.line; });
  if (after == setups.begin()) return -1;
  const int index = static_cast<int>(after - setups.begin()) - 1;
  return setups[static_cast<std::size_t>(index)].occupied == observation.from ? index : -1;
}

std::vector<int> SetupIndexes(const std::vector<Setup>& setups,
                              const ObservationList& observations) {
  std::vector<int> indexes(observations.size(), -1);
  // Observations come nearly in line order: a cursor follows them, and a
  // search finds the few filed later than their line.
  std::size_t cursor = 0;
  for (std::size_t i = 1; i < observations.size(); ++i) {
    const ObservationRecord& o = observations[i];
    while (cursor + 1 < setups.size() && setups[cursor + 1].line <= o.line) ++cursor;
    if (setups.empty() || setups[cursor].line > o.line ||
        (cursor + 1 < setups.size() && setups[cursor + 1].line <= o.line)) {
      indexes[i] = SetupOf(setups, o);
      continue;
    }
    indexes[i] = setups[cursor].occupied == o.from ? static_cast<int>(cursor) : -1;
  }
  return indexes;
}

std::string AngleText(double radians) {
  const bool negative = radians < 0.0;
  long long seconds = std::llround(std::fabs(radians) * kSecondsPerRadian);
  char text[48];
  std::snprintf(text, sizeof text, "%s%lld\xC2\xB0%02lld'%02lld\"", negative ? "-" : "",
                seconds / 3600, seconds / 60 % 60, seconds % 60);
  return text;
}

std::string LengthText(double metres, int distance_unit_code) {
  const char* unit = distance_unit_code == kUnitInternationalFeet ? " ft"
                     : distance_unit_code == kUnitUsSurveyFeet    ? " US ft"
                                                                  : " m";
  char text[64];
  std::snprintf(text, sizeof text, "%.3f%s", metres * DistanceUnitFactor(distance_unit_code), unit);
  return text;
}

}  // namespace trovisk
