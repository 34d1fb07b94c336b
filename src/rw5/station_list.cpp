// The station list with its name index.
#include "rw5/station_list.h"

#include <cstring>
#include <utility>

namespace trovisk {
namespace {

// The part of a name a station keeps.
std::string_view KeptPart(std::string_view name) { return name.substr(0, kMaxStationNameLength); }

// A 64-bit finaliser: every input bit reaches every output bit.
std::uint64_t Mix(std::uint64_t value) {
  value ^= value >> 33;
  value *= 0xff51afd7ed558ccdULL;
  value ^= value >> 33;
  value *= 0xc4ceb9fe1a85ec53ULL;
  value ^= value >> 33;
  return value;
}

// The text of at most 16 bytes as two words, every byte in one of them:
// overlapping loads rather than a copy of variable length.
void LoadShortText(std::string_view text, std::uint64_t& low, std::uint64_t& high) {
  const char* p = text.data();
  const std::size_t size = text.size();
  low = 0;
  high = 0;
  if (size >= 8) {
    std::memcpy(&low, p, 8);
    std::memcpy(&high, p + size - 8, 8);
  } else if (size >= 4) {
    std::uint32_t first = 0;
    std::uint32_t last = 0;
    std::memcpy(&first, p, 4);
    std::memcpy(&last, p + size - 4, 4);
    low = first;
    high = last;
  } else if (size > 0) {
    low = static_cast<unsigned char>(p[0]) | (static_cast<unsigned char>(p[size / 2]) << 8) |
          (static_cast<unsigned char>(p[size - 1]) << 16);
  }
}

}  // namespace

StationList::StationList() { Clear(); }

void StationList::Clear() {
  records_.clear();
  slots_.assign(16, IndexSlot{});
  records_.emplace_back();
  descriptions_.Clear();
}

void StationList::Reserve(std::size_t count) { records_.reserve(count + 1); }

void StationList::ReserveNames(std::size_t count) {
  std::size_t wanted = slots_.size();
  while (wanted <= 2 * count && wanted < (std::size_t{1} << 31)) wanted *= 2;
  if (wanted == slots_.size()) return;
  Rehash(wanted);
}

// Point numbers mostly run in sequence ("FP1000", "FP1001", ...). A name
// ending in a digit hashes as the rest of it, plus that digit: ten names in
// a row take neighbouring slots, so a run of new points touches one or two
// cache lines of the index instead of ten scattered ones. The groups of ten
// are spread like any other hash, so no cluster grows longer than it would
// for ten random names.
std::uint32_t StationList::HashOf(std::string_view name) {
  name = KeptPart(name);
  const char last = name.empty() ? '\0' : name.back();
  const bool numbered = last >= '0' && last <= '9';
  const std::string_view key = numbered ? name.substr(0, name.size() - 1) : name;
  std::uint64_t low = 0;
  std::uint64_t high = 0;
  LoadShortText(key, low, high);
  // The length takes part, and whether a digit was set apart: the loads
  // alone do not tell "A" from "AA", nor "P1" from "P".
  const std::uint64_t tag = (static_cast<std::uint64_t>(key.size()) << 1) | (numbered ? 1u : 0u);
  const auto mixed = static_cast<std::uint32_t>(Mix(low ^ Mix(high ^ (tag << 56))));
  return numbered ? mixed + static_cast<std::uint32_t>(last - '0') : mixed;
}

std::size_t StationList::Slot(std::string_view name, std::uint32_t hash) const {
  const std::size_t mask = slots_.size() - 1;
  std::size_t slot = hash & mask;
  for (;; slot = (slot + 1) & mask) {
    const IndexSlot& entry = slots_[slot];
    if (entry.station == 0) return slot;
    if (entry.hash == hash && records_[static_cast<std::size_t>(entry.station)].name == name) {
      return slot;
    }
  }
}

// Keeps the index at most half full, so that probes stay short. The index
// never holds more than 2^31 slots, so the kept hash bits place every entry.
void StationList::GrowIndex() {
  if (2 * records_.size() < slots_.size()) return;
  Rehash(slots_.size() * 2);
}

void StationList::Rehash(std::size_t slot_count) {
  std::vector<IndexSlot> old(slot_count);
  old.swap(slots_);
  const std::size_t mask = slots_.size() - 1;
  for (const IndexSlot& entry : old) {
    if (entry.station == 0) continue;
    std::size_t slot = entry.hash & mask;
    while (slots_[slot].station != 0) slot = (slot + 1) & mask;
    slots_[slot] = entry;
  }
}

int StationList::Append(StationRecord station) {
  const std::uint32_t hash = HashOf(station.name);
  const std::size_t slot = Slot(station.name, hash);
  const int index = static_cast<int>(records_.size());
  records_.push_back(std::move(station));
  slots_[slot] = IndexSlot{index, hash};
  GrowIndex();
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
  name = KeptPart(name);
  if (name.empty()) return 0;
  return slots_[Slot(name, HashOf(name))].station;
}

int StationList::FindOrAdd(std::string_view name, int distance_units) {
  name = KeptPart(name);
  if (name.empty()) return 0;
  // One probe finds the station or the slot a new one takes.
  const std::uint32_t hash = HashOf(name);
  const std::size_t slot = Slot(name, hash);
  if (slots_[slot].station != 0) return slots_[slot].station;
  const int index = static_cast<int>(records_.size());
  StationRecord& station = records_.emplace_back();
  station.name.assign(name);
  station.distance_units = distance_units;
  slots_[slot] = IndexSlot{index, hash};
  GrowIndex();
  return index;
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
