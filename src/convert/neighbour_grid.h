// A grid of occupied cells that finds the points that may lie within a
// given reach of a point, without comparing every point with every other.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace trovisk {

struct GridPoint {
  double c[3] = {0.0, 0.0, 0.0};  // metres; the first `dims` of them count
};

class NeighbourGrid {
 public:
  // Points with all counted coordinates finite; `dims` is 2 or 3. A reach
  // that is not above 0 is taken as the smallest positive one. The points
  // at the positions in `anywhere` are kept out of the cells, whatever their
  // coordinates: each is a candidate of every other point, and every other
  // point is a candidate of it.
  NeighbourGrid(const std::vector<GridPoint>& points, int dims, double reach,
                std::vector<std::uint32_t> anywhere = {});
  // A grid of no points, to be built later.
  NeighbourGrid() = default;

  // Places a new set of points in place of the last one, on the same terms
  // as the constructor. The memory of the last build is used again, so a
  // caller with several large sets in turn pays for its pages only once.
  void Build(const std::vector<GridPoint>& points, int dims, double reach,
             std::vector<std::uint32_t> anywhere = {});

  // False when no other point is a candidate of this one, so that a caller
  // visiting every point can pass it over without asking.
  bool MayHaveCandidates(std::uint32_t position) const;
  // The first position from `position` on that may have candidates, or the
  // number of points when none does.
  std::uint32_t NextThatMayPair(std::uint32_t position) const;

  // Fills `out` with the positions after `position` of every point that may
  // lie closer than the reach to it (and some that do not), ascending.
  void LaterCandidates(std::uint32_t position, std::vector<std::uint32_t>& out) const;

 private:
  // From an occupied cell to an occupied cell next to it, and the sides a
  // point of the first must lie near to reach the second (bits of the
  // point's side mask).
  struct Link {
    std::uint32_t from = 0;
    std::uint32_t cell = 0;
    std::uint8_t need = 0;
  };
  static constexpr std::uint32_t kNone = 0xFFFFFFFFu;

  // Room for at least n values that are written before they are read: the
  // large arrays of a build are neither cleared first nor given back between
  // builds.
  template <typename T>
  class Scratch {
   public:
    T* Take(std::size_t n) {
      if (n > capacity_) {
        data_.reset();
        data_ = std::make_unique_for_overwrite<T[]>(n);
        capacity_ = n;
      }
      return data_.get();
    }
    T* data() const { return data_.get(); }

   private:
    std::unique_ptr<T[]> data_;
    std::size_t capacity_ = 0;
  };

  // Keys of cells in the order of their points, one more past the last.
  template <typename Key, typename ShiftFn>
  void BuildCells(Key* keys, std::size_t n, std::vector<std::uint32_t>& busy_cells, ShiftFn shift);
  void KeepPointsThatMayPair(const std::vector<std::uint32_t>& busy_cells);
  // The links from a cell: first and one past the last.
  std::pair<const Link*, const Link*> LinksFrom(std::uint32_t cell) const;
  std::uint32_t PairingNumber(std::uint32_t position) const;

  int dims_ = 3;
  std::size_t count_ = 0;
  std::vector<std::uint32_t> anywhere_;    // positions of the points kept out, ascending
  Scratch<std::uint32_t> members_;         // positions by cell, ascending within a cell
  std::vector<std::uint32_t> cell_begin_;  // per cell, its slice of members_; one more at the end
  // By the cell they start from. Few cells have any, so they are searched
  // rather than given a slice per cell.
  std::vector<Link> links_;
  // The points that have a point of their own cell or of a neighbour they
  // reach as candidate, one bit each, numbered in position order; only they
  // keep their cell and side bits. Side bits, two per axis: near the lower
  // side (bit 2d), near the upper side (bit 2d + 1), where the neighbour on
  // that side may be reached.
  std::vector<std::uint64_t> may_pair_;
  std::vector<std::uint32_t> may_pair_before_;  // per word of may_pair_
  std::vector<std::uint32_t> pairing_cell_;
  std::vector<std::uint8_t> pairing_sides_;

  // Working arrays of a build, kept for the next one.
  Scratch<std::uint8_t> sides_;  // per position, the side bits of a gridded point
  Scratch<std::uint64_t> keys_;
  Scratch<std::uint64_t> spare_keys_;
  Scratch<std::uint32_t> spare_members_;
  std::vector<std::uint8_t> cell_sides_;
  std::vector<std::uint32_t> busy_cells_;  // with more than one point, or linked
};

}  // namespace trovisk
