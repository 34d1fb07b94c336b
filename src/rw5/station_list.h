// The stations of one conversion, in order of first appearance. Index 0 is a
// reserved empty record that lookups never return; real stations start at 1.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "rw5/station.h"

namespace trovisk {

class StationList {
 public:
  StationList();

  // Back to only the reserved empty record at index 0.
  void Clear();

  // Appends a station of a new name (true), or completes the existing one of
  // that name with whichever coordinate sets it lacks (false); the first
  // values seen are kept, as are the existing name, description and units.
  bool Add(const StationRecord& station);
  // The index of the station of that exact name, 0 when there is none.
  int Find(std::string_view name) const;
  // Adds a station of that name with the given units when absent; its index.
  // An empty name is never added and gives 0.
  int FindOrAdd(std::string_view name, int distance_units, int angle_units);

  bool SetDescription(std::string_view name, const std::string& text);
  std::string GetDescription(std::string_view name) const;

  // Follows merge links to the station that is written in place of index.
  int Resolve(int index) const;

  std::size_t size() const { return records_.size(); }
  StationRecord& operator[](std::size_t index) { return records_[index]; }
  const StationRecord& operator[](std::size_t index) const { return records_[index]; }

 private:
  // The slot of `name` in the index: the one holding its station, or the
  // empty slot where it belongs.
  std::size_t Slot(std::string_view name) const;
  void GrowIndex();
  int Append(StationRecord station);

  std::vector<StationRecord> records_;
  // Name to index beside the array, so that lookups are not a linear search:
  // open addressing over station indices (0 = empty slot), the names compared
  // in the records themselves, so no name is held twice.
  std::vector<std::int32_t> slots_;
};

}  // namespace trovisk
