// The stations of one conversion, in order of first appearance. Index 0 is a
// reserved empty record that lookups never return; real stations start at 1.
// Names are told apart by their first kMaxStationNameLength bytes, the part
// a station keeps: a longer name finds and adds the station of that part.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "rw5/station.h"
#include "rw5/text_index.h"
#include "rw5/text_pool.h"

namespace trovisk {

class StationList {
 public:
  StationList();

  // Back to only the reserved empty record at index 0.
  void Clear();
  // Room for `count` stations.
  void Reserve(std::size_t count);
  // Sizes the name index for `count` names at once.
  void ReserveNames(std::size_t count);

  // Appends a station of a new name (true), or completes the existing one of
  // that name with whichever coordinate sets it lacks (false); the first
  // values seen are kept, as are the existing name, description and units.
  bool Add(const StationRecord& station);
  // The index of the station of that exact name, 0 when there is none.
  int Find(std::string_view name) const;
  // Adds a station of that name with the given units when absent; its index.
  // An empty name is never added and gives 0.
  int FindOrAdd(std::string_view name, int distance_units);

  bool SetDescription(std::string_view name, std::string_view text);
  std::string GetDescription(std::string_view name) const;
  // The description of the station at `index` (empty when it has none).
  std::string_view Description(std::size_t index) const;
  void SetDescription(std::size_t index, std::string_view text);

  // Follows merge links to the station that is written in place of index.
  int Resolve(int index) const;

  std::size_t size() const { return records_.size(); }
  StationRecord& operator[](std::size_t index) { return records_[index]; }
  const StationRecord& operator[](std::size_t index) const { return records_[index]; }

 private:
  int Append(StationRecord station);

  std::vector<StationRecord> records_;
  TextIndex index_;  // the stations by name
  // Descriptions repeat ("GROUND", "TREE"), so each is kept once.
  TextPool descriptions_;
};

}  // namespace trovisk
