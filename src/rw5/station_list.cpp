// The station list with its name index.
#include "rw5/station_list.h"

#include <utility>

namespace trovisk {
namespace {

// The part of a name a station keeps.
std::string_view KeptPart(std::string_view name) { return name.substr(0, kMaxStationNameLength); }

}  // namespace

StationList::StationList() { Clear(); }

void StationList::Clear() {
  records_.clear();
  index_.Clear();
  records_.emplace_back();
  descriptions_.Clear();
}

void StationList::Reserve(std::size_t count) { records_.reserve(count + 1); }

void StationList::ReserveNames(std::size_t count) { index_.Reserve(count); }

int StationList::Append(StationRecord station) {
  const int index = static_cast<int>(records_.size());
  records_.push_back(std::move(station));
  index_.Add(records_.back().name, index);
  return index;
}

bool StationList::Add(const StationRecord& station) {
  // A nameless station is never kept: index 0 stands for "no station".
  if (station.name.empty()) return false;
  const int found = Find(station.name);
  if (found == 0) {
    // A description is given by SetDescription, in this list's own pool.
    StationRecord added = station;
    added.description = 0;
    Append(std::move(added));
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
  return index_.Find(KeptPart(name), [this](std::int32_t index) {
    return records_[static_cast<std::size_t>(index)].name.view();
  });
}

int StationList::FindOrAdd(std::string_view name, int distance_units) {
  name = KeptPart(name);
  if (name.empty()) return 0;
  const int found = Find(name);
  if (found != 0) return found;
  StationRecord station;
  station.name.assign(name);
  station.distance_units = distance_units;
  return Append(std::move(station));
}

bool StationList::SetDescription(std::string_view name, std::string_view text) {
  int index = Find(name);
  if (index == 0) return false;
  SetDescription(static_cast<std::size_t>(index), text);
  return true;
}

std::string StationList::GetDescription(std::string_view name) const {
  return std::string(Description(static_cast<std::size_t>(Find(name))));
}

std::string_view StationList::Description(std::size_t index) const {
  if (index == 0 || index >= records_.size()) return {};
  return descriptions_.Text(records_[index].description);
}

void StationList::SetDescription(std::size_t index, std::string_view text) {
  if (index == 0 || index >= records_.size()) return;
  records_[index].description = descriptions_.Intern(text);
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
