// A hash grid of occupied cells that finds the points that may lie within a
// given reach of a point, without comparing every point with every other.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace trovisk {

struct GridPoint {
  double c[3] = {0.0, 0.0, 0.0};  // metres; the first `dims` of them count
  // Kept out of the cells: a candidate of every other point, and every other
  // point is a candidate of it.
  bool anywhere = false;
};

class NeighbourGrid {
 public:
  // Points with all counted coordinates finite; `dims` is 2 or 3. A reach
  // that is not above 0 is taken as the smallest positive one.
  NeighbourGrid(const std::vector<GridPoint>& points, int dims, double reach);

  // Fills `out` with the positions after `position` of every point that may
  // lie closer than the reach to it (and some that do not), ascending.
  void LaterCandidates(std::uint32_t position, std::vector<std::uint32_t>& out) const;

 private:
  struct CellKey {
    std::int64_t n[3] = {0, 0, 0};
    bool operator==(const CellKey&) const = default;
  };
  struct Cell {
    CellKey key;
    std::uint32_t begin = 0;  // slice of members_
    std::uint32_t end = 0;
  };
  static constexpr std::uint32_t kNoCell = 0xFFFFFFFFu;

  static std::uint64_t Hash(const CellKey& key);
  bool MayBeOccupied(std::uint64_t hash) const;
  std::uint32_t FindOrAddCell(const CellKey& key);
  std::uint32_t FindCell(const CellKey& key) const;

  int dims_;
  std::vector<std::uint32_t> cell_of_;  // per point, kNoCell when kept out
  std::vector<std::int8_t> side_;       // per point and axis: neighbour reached, -1, +1 or 0
  std::vector<Cell> cells_;
  std::vector<std::uint32_t> slots_;  // open addressing into cells_, kNoCell when free
  std::size_t mask_ = 0;
  // One bit per hash value (other bits of the hash than the slot's), set for
  // occupied cells: most neighbours are empty, and this small table turns
  // them away without touching the large ones.
  std::vector<std::uint64_t> occupied_;
  std::size_t occupied_mask_ = 0;
  std::vector<std::uint32_t> members_;   // point positions grouped by cell, ascending
  std::vector<std::uint32_t> anywhere_;  // positions of the points kept out, ascending
  std::size_t count_ = 0;
};

}  // namespace trovisk
