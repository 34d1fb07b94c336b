// The station list with its name index.
#include "rw5/station_list.h"

namespace trovisk {

StationList::StationList() { Clear(); }

void StationList::Clear() {
  records_.clear();
  index_.clear();
  records_.emplace_back();
}

bool StationList::Add(const StationRecord& station) {
  // A nameless station is never kept: index 0 stands for "no station".
  if (station.name.empty()) return false;
  auto found = index_.find(station.name);
  if (found == index_.end()) {
    index_.emplace(station.name, static_cast<int>(records_.size()));
    records_.push_back(station);
    return true;
  }
  StationRecord& existing = records_[static_cast<std::size_t>(found->second)];
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
  auto found = index_.find(name);
  return found == index_.end() ? 0 : found->second;
}

int StationList::FindOrAdd(std::string_view name, int distance_units, int angle_units) {
  if (name.empty()) return 0;
  if (auto found = index_.find(name); found != index_.end()) return found->second;
  auto [it, inserted] = index_.try_emplace(std::string(name), static_cast<int>(records_.size()));
  if (inserted) {
    StationRecord station;
    station.name = std::string(name);
    station.distance_units = distance_units;
    station.angle_units = angle_units;
    records_.push_back(std::move(station));
  }
  return it->second;
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
