// The observation section of the adjustment file: one or more keyword records
// per observation, in order of sequence number.
#pragma once

#include <array>
#include <cstddef>
#include <ostream>

#include "base/status.h"
#include "rw5/observation.h"
#include "rw5/station_list.h"

namespace trovisk {

// What a section wrote: the observations of each kind, indexed by
// ObservationKind, and those written commented out (computed, or records
// that could not be used).
struct WrittenObservations {
  std::array<std::size_t, 7> by_kind{};
  std::size_t commented_out = 0;
};

/// Writes three line ends, a "$UNITS" block of the two codes, then the records
/// of every observation from index 1 on, ordered by sequence number (of two
/// with one number only the later in the list). Angles are written packed
/// DDD.MMSSsss, or in grads when angle_unit_code is 1; lengths in the distance
/// unit. Stations are named by the survivors of merges. Status 0, or 1001
/// when the stream fails (the section stops there). `written`, when given,
/// counts what was written.
void WriteObservationSection(std::ostream& out, const StationList& stations,
                             const ObservationList& observations, int angle_unit_code,
                             int distance_unit_code, Status& status,
                             WrittenObservations* written = nullptr);

}  // namespace trovisk
