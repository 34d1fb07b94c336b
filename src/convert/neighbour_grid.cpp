// Neighbour grid: cells four times the reach wide, so a point's reach stays
// in its own cell along an axis unless it lies in the outer quarter on a
// side, and then reaches only the neighbour on that side.
#include "convert/neighbour_grid.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace trovisk {
namespace {

// The reach is widened by a little more than the rounding of the
// coordinates divided by the cell width, so that the quarter test below
// never misses a neighbour that a point closer than the reach lies in.
constexpr double kReachSlack = 1e-9;
constexpr double kCoordinateRounding = 1e-13;
// Cell numbers are clamped well inside 64 bits so that a neighbour's number
// cannot overflow; points beyond share an edge cell, which costs only extra
// exact comparisons by the caller.
constexpr double kCellNumberLimit = 4.0e18;
// Cell width over the widened reach: wider cells mean fewer neighbours to
// look up per point and more points per cell to compare.
constexpr double kCellsPerReach = 4.0;
// The occupancy bits are taken from the upper half of the hash, the slots
// from the lower; eight bits per point keep false hits near one in eight.
constexpr int kOccupiedShift = 32;
constexpr std::size_t kOccupiedBitsPerPoint = 8;

std::uint64_t Mix(std::uint64_t v) {
  v += 0x9E3779B97F4A7C15ULL;
  v = (v ^ (v >> 30)) * 0xBF58476D1CE4E5B9ULL;
  v = (v ^ (v >> 27)) * 0x94D049BB133111EBULL;
  return v ^ (v >> 31);
}

}  // namespace

std::uint64_t NeighbourGrid::Hash(const CellKey& key) {
  std::uint64_t h = Mix(static_cast<std::uint64_t>(key.n[0]));
  h = Mix(h ^ static_cast<std::uint64_t>(key.n[1]));
  return Mix(h ^ static_cast<std::uint64_t>(key.n[2]));
}

bool NeighbourGrid::MayBeOccupied(std::uint64_t hash) const {
  const std::size_t bit = static_cast<std::size_t>(hash >> kOccupiedShift) & occupied_mask_;
  return (occupied_[bit / 64] >> (bit % 64)) & 1u;
}

std::uint32_t NeighbourGrid::FindOrAddCell(const CellKey& key) {
  const std::uint64_t hash = Hash(key);
  // At most one cell per point and twice as many slots: a free slot is near.
  for (std::size_t s = static_cast<std::size_t>(hash) & mask_;; s = (s + 1) & mask_) {
    if (slots_[s] == kNoCell) {
      const std::size_t bit = static_cast<std::size_t>(hash >> kOccupiedShift) & occupied_mask_;
      occupied_[bit / 64] |= std::uint64_t{1} << (bit % 64);
      slots_[s] = static_cast<std::uint32_t>(cells_.size());
      cells_.push_back({key, 0, 0});
      return slots_[s];
    }
    if (cells_[slots_[s]].key == key) return slots_[s];
  }
}

std::uint32_t NeighbourGrid::FindCell(const CellKey& key) const {
  const std::uint64_t hash = Hash(key);
  if (!MayBeOccupied(hash)) return kNoCell;
  for (std::size_t s = static_cast<std::size_t>(hash) & mask_;; s = (s + 1) & mask_) {
    if (slots_[s] == kNoCell) return kNoCell;
    if (cells_[slots_[s]].key == key) return slots_[s];
  }
}

NeighbourGrid::NeighbourGrid(const std::vector<GridPoint>& points, int dims, double reach)
    : dims_(std::clamp(dims, 1, 3)), count_(points.size()) {
  if (!(reach > 0.0)) reach = std::numeric_limits<double>::denorm_min();
  double largest = 0.0;
  for (std::uint32_t i = 0; i < count_; ++i) {
    if (points[i].anywhere) {
      anywhere_.push_back(i);
      continue;
    }
    for (int d = 0; d < dims_; ++d) largest = std::max(largest, std::fabs(points[i].c[d]));
  }
  // Infinite for an enormous reach: every point then falls into cell 0.
  const double width =
      kCellsPerReach * (reach * (1.0 + kReachSlack) + largest * kCoordinateRounding);
  const double near_edge = 1.0 / kCellsPerReach;

  std::size_t capacity = 16;
  while (capacity < 2 * count_) capacity *= 2;
  slots_.assign(capacity, kNoCell);
  mask_ = capacity - 1;
  std::size_t bits = 64;
  while (bits < kOccupiedBitsPerPoint * count_) bits *= 2;
  occupied_.assign(bits / 64, 0);
  occupied_mask_ = bits - 1;
  cells_.reserve(count_ - anywhere_.size());
  side_.resize(count_ * 3, 0);
  cell_of_.assign(count_, kNoCell);
  for (std::uint32_t i = 0; i < count_; ++i) {
    if (points[i].anywhere) continue;
    CellKey home;
    for (int d = 0; d < dims_; ++d) {
      const double q = points[i].c[d] / width;
      const double whole = std::floor(q);
      home.n[d] = static_cast<std::int64_t>(std::clamp(whole, -kCellNumberLimit, kCellNumberLimit));
      const double within = q - whole;  // NaN when q is infinite: no neighbour
      side_[i * 3 + static_cast<std::size_t>(d)] =
          within < near_edge ? -1 : (within > 1.0 - near_edge ? 1 : 0);
    }
    cell_of_[i] = FindOrAddCell(home);
    ++cells_[cell_of_[i]].end;  // a count for now
  }
  // Counting sort: each cell gets its slice of members_, filled in ascending
  // position order.
  std::uint32_t next = 0;
  for (Cell& cell : cells_) {
    const std::uint32_t size = cell.end;
    cell.begin = cell.end = next;
    next += size;
  }
  members_.resize(next);
  for (std::uint32_t i = 0; i < count_; ++i) {
    if (cell_of_[i] != kNoCell) members_[cells_[cell_of_[i]].end++] = i;
  }
}

void NeighbourGrid::LaterCandidates(std::uint32_t position, std::vector<std::uint32_t>& out) const {
  out.clear();
  if (position >= count_) return;
  auto later = [position](auto first, auto last, std::vector<std::uint32_t>& into) {
    into.insert(into.end(), std::upper_bound(first, last, position), last);
  };
  if (cell_of_[position] == kNoCell) {
    for (std::uint32_t j = position + 1; j < count_; ++j) out.push_back(j);
    return;
  }
  const Cell& own = cells_[cell_of_[position]];
  later(members_.begin() + own.begin, members_.begin() + own.end, out);
  const CellKey home = own.key;
  const std::int8_t* side = &side_[static_cast<std::size_t>(position) * 3];
  for (unsigned corner = 1; corner < (1u << dims_); ++corner) {
    CellKey key = home;
    bool wanted = true;
    for (int d = 0; d < dims_ && wanted; ++d) {
      if (corner & (1u << d)) {
        key.n[d] += side[d];
        wanted = side[d] != 0;
      }
    }
    if (!wanted) continue;
    const std::uint32_t cell = FindCell(key);
    if (cell == kNoCell) continue;
    later(members_.begin() + cells_[cell].begin, members_.begin() + cells_[cell].end, out);
  }
  later(anywhere_.begin(), anywhere_.end(), out);
  std::sort(out.begin(), out.end());
}

}  // namespace trovisk
