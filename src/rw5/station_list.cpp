// The station list with its name index.
#include "rw5/station_list.h"

#include <functional>
#include <utility>

namespace trovisk {

StationList::StationList() { Clear(); }

void StationList::Clear() {
  records_.clear();
  slots_.assign(16, 0);
  records_.emplace_back();
}

std::size_t StationList::Slot(std::string_view name) const {
  const std::size_t mask = slots_.size() - 1;
  std::size_t slot = std::hash<std::string_view>{}(name) & mask;
  while (slots_[slot] != 0 && records_[static_cast<std::size_t>(slots_[slot])].name != name) {
    slot = (slot + 1) & mask;
  }
  return slot;
}

// Keeps the index at most half full, so that probes stay short.
void StationList::GrowIndex() {
  if (2 * records_.size() < slots_.size()) return;
  slots_.assign(slots_.size() * 2, 0);
  for (std::size_t i = 1; i < records_.size(); ++i) {
    slots_[Slot(records_[i].name)] = static_cast<std::int32_t>(i);
  }
}

int StationList::Append(StationRecord station) {
  const std::size_t slot = Slot(station.name);
  const int index = static_cast<int>(records_.size());
  records_.push_back(std::move(station));
  slots_[slot] = index;
  GrowIndex();
  return index;
}

bool StationList::Add(const StationRecord& station) {
  // A nameless station is never kept: index 0 stands for "no station".
  if (station.name.empty()) return false;
  const int found = Find(station.name);
  if (found == 0) {
    Append(station);
    return true;
  }
  StationRecord& existing = records_[static_cast<std::size_t>(found)];
  if (!existing.has_geodetic && station.has_geodetic) {
    existing.latitude = station.latitude;
    existing.longitude = station.longitude;
    existing.height = station.height;
    existing.has_geodetic = true;
  }
  if (!existing.has_nee && station.has_nee) {
    existing.north = station.north;
    existing.east = station.east;
    existing.elevation = station.elevation;
    existing.has_nee = true;
  }
  return false;
}

int StationList::Find(std::string_view name) const {
  if (name.empty()) return 0;
  return slots_[Slot(name)];
}

int StationList::FindOrAdd(std::string_view name, int distance_units, int angle_units) {
  if (name.empty()) return 0;
  if (int found = Find(name); found != 0) return found;
  StationRecord station;
  station.name = std::string(name);
  station.distance_units = distance_units;
  station.angle_units = angle_units;
  return Append(std::move(station));
}

bool StationList::SetDescription(std::string_view name, const std::string& text) {
  int index = Find(name);
  if (index == 0) return false;
  records_[static_cast<std::size_t>(index)].description = text;
  return true;
}

std::string StationList::GetDescription(std::string_view name) const {
  int index = Find(name);
  return index == 0 ? std::string() : records_[static_cast<std::size_t>(index)].description;
}

int StationList::Resolve(int index) const {
  // A merge link always points to a station that was standing for itself when
  // the link was made, so the chain is short; the bound guards against a cycle.
  for (std::size_t hops = 0; hops < records_.size(); ++hops) {
    if (index <= 0 || static_cast<std::size_t>(index) >= records_.size()) return index;
    std::int32_t link = records_[static_cast<std::size_t>(index)].merge_link;
    if (link == kNotMerged || link <= 0 || static_cast<std::size_t>(link) >= records_.size()) {
      return index;
    }
    index = link;
  }
  return index;
}

}  // namespace trovisk
