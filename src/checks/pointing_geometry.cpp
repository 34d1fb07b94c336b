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

int SetupAt(const std::vector<Setup>& setups, std::size_t index, const ObservationRecord& o) {
  auto after =
      std::upper_bound(setups.begin(), setups.end(), index, [](std::size_t at, const Setup& setup) {
        return at < static_cast<std::size_t>(setup.first_observation);
      });
  if (after == setups.begin()) return -1;
  const int found = static_cast<int>(after - setups.begin()) - 1;
  return setups[static_cast<std::size_t>(found)].occupied == o.from ? found : -1;
}

int SetupCursor::At(std::size_t index, const ObservationRecord& o) {
  while (next_ < setups_.size() &&
         static_cast<std::size_t>(setups_[next_].first_observation) <= index) {
    current_ = static_cast<int>(next_++);
  }
  return current_ >= 0 && setups_[static_cast<std::size_t>(current_)].occupied == o.from ? current_
                                                                                         : -1;
}

std::string AngleText(double radians) {
  const bool negative = radians < 0.0;
  long long seconds = std::llround(std::fabs(radians) * kSecondsPerRadian);
  char text[48];
  std::snprintf(text, sizeof text, "%s%lld\xC2\xB0%02lld'%02lld\"", negative ? "-" : "",
                seconds / 3600, seconds / 60 % 60, seconds % 60);
  return text;
}

std::string StationText(const StationList& stations, int index) {
  std::string quoted = "'";
  quoted.append(stations[static_cast<std::size_t>(stations.Resolve(index))].name.view());
  quoted += '\'';
  return quoted;
}

}  // namespace trovisk
