// What one pointing says about the two marks it joins, as the checks
// compare it: the horizontal distance and the height difference, mark to
// mark, and the setup it was measured in.
#pragma once

#include <string>
#include <vector>

#include "geodesy/unit_text.h"
#include "rw5/observation.h"
#include "rw5/setup.h"
#include "rw5/station_list.h"

namespace trovisk {

// Horizontal distance (metres): the one measured, else the slope distance
// reduced by its zenith; missing when neither can be had.
double HorizontalDistanceOf(const ObservationRecord& observation);
// Height of the target mark above the instrument mark (metres): slope
// distance and zenith with the instrument and target heights; missing
// without both.
double MarkHeightDifferenceOf(const ObservationRecord& observation);
// The setup an observation was measured in: the last "BK" filed before it,
// when it stands on that setup's station; -1 for none. Observations of the
// list at `index`, in any order.
int SetupAt(const std::vector<Setup>& setups, std::size_t index, const ObservationRecord& o);

// SetupAt for observations visited in increasing index, one step each.
class SetupCursor {
 public:
  explicit SetupCursor(const std::vector<Setup>& setups) : setups_(setups) {}
  int At(std::size_t index, const ObservationRecord& o);

 private:
  const std::vector<Setup>& setups_;
  std::size_t next_ = 0;
  int current_ = -1;
};

// "78°38'48"" for an angle in radians, the sign kept.
std::string AngleText(double radians);
// A station's name in quotes, as the one it was merged into when it was.
std::string StationText(const StationList& stations, int index);

}  // namespace trovisk
