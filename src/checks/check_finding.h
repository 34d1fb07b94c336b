// What the field checks find before the adjustment: each comparison of a
// measurement with what the coordinates or the other measurements say, and
// the groups of stations close enough to be one point.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace trovisk {

enum class CheckKind : std::uint8_t {
  kBacksight,         // a pointing to the setup's backsight point
  kCheckShot,         // a pointing to another station whose coordinates are known
  kOrientation,       // a setup whose shots disagree with its backsight circle
  kRepeatedPointing,  // two pointings from one station to one point (also of two sets)
  kMisclosure,        // a traverse ending on a known mark
  kSpread,            // a station determined more than once, its determinations apart
  kImplausible,       // a value no instrument measures, or a position an observation contradicts
};

// One check. `size` ranks the flagged items: how many times the tolerance
// the worst difference is (below 1 when the check passes).
struct CheckFinding {
  CheckKind kind = CheckKind::kCheckShot;
  std::int32_t line = 0;  // raw file line (0 when none)
  std::int32_t from = 0;  // station indices into the StationList; 0 for none
  std::int32_t to = 0;
  bool flagged = false;  // beyond the tolerance
  double size = 0.0;
  std::string text;  // the finding as the report prints it
};

// Stations closer to each other than the merge tolerance, as the merge check
// offers them: every pair within the tolerance, with its distance (metres).
struct MergeCluster {
  struct Pair {
    std::int32_t first = 0, second = 0;
    double separation = 0.0;
  };
  std::vector<std::int32_t> stations;
  std::vector<Pair> pairs;
};

}  // namespace trovisk
