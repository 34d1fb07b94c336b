// Neighbour grid: cells four times the reach wide, so a point's reach stays
// in its own cell along an axis unless it lies in the outer quarter on a
// side, and then reaches only the neighbour on that side. The points are
// sorted by cell, and one pass over the cells in that order links the
// occupied neighbours, so no cell is ever looked up at random.
#include "convert/neighbour_grid.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <limits>
#include <utility>

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
constexpr int kMaxDims = 3;
constexpr std::size_t kSideCombinations = 64;  // two side bits per axis

// A cell's number along one axis; adds the side bits of a point that lies
// within a quarter of the width of an edge. Without branches: which quarter
// a point falls in is as good as random.
std::int64_t CellNumber(double coordinate, double per_width, int axis, std::uint8_t& sides) {
  // Clamping first keeps the conversion below in range; the limits are whole
  // numbers, so the cell number is the same.
  const double q = std::min(std::max(coordinate * per_width, -kCellNumberLimit), kCellNumberLimit);
  if (std::isnan(q)) return 0;  // an infinite coordinate in a cell of infinite width
  std::int64_t n = static_cast<std::int64_t>(q);               // towards zero
  n -= static_cast<std::int64_t>(q < static_cast<double>(n));  // down
  const double within = q - static_cast<double>(n);
  const double near_edge = 1.0 / kCellsPerReach;
  sides |= static_cast<std::uint8_t>((unsigned{within < near_edge} << (2 * axis)) |
                                     (unsigned{within > 1.0 - near_edge} << (2 * axis + 1)));
  return n;
}

// The side bit of a point near the edge towards a neighbour `step` away.
std::uint8_t SideBit(int axis, int step) {
  if (step == 0) return 0;
  return static_cast<std::uint8_t>(1u << (2 * axis + (step > 0 ? 1 : 0)));
}

bool Reaches(std::uint8_t sides, std::uint8_t need) { return (sides & need) == need; }

// A step from a cell to a neighbour that comes later in cell order (the
// first axis that changes goes up), and the side bits a point must carry to
// reach across it, from either end.
struct Direction {
  std::array<int, kMaxDims> delta{};
  std::uint8_t need = 0;       // of a point in the earlier cell
  std::uint8_t back_need = 0;  // of a point in the later cell
};

Direction MakeDirection(int dims, const std::array<int, kMaxDims>& delta) {
  Direction direction;
  direction.delta = delta;
  for (int d = 0; d < dims; ++d) {
    const int step = delta[static_cast<std::size_t>(d)];
    direction.need |= SideBit(d, step);
    direction.back_need |= SideBit(d, -step);
  }
  return direction;
}

// The later neighbours in cell order: first the next cell along the last
// axis, then rows of three (the last axis one down, level, one up) for each
// later step over the other axes. The three cells of a row are consecutive
// in cell order, so one search finds them all.
struct Neighbourhood {
  Direction next;
  std::vector<std::array<Direction, 3>> rows;
  // Per combination of side bits: bit 0 when it reaches the next cell, bit
  // 1 + 3r + k when it reaches cell k of row r.
  std::array<std::uint32_t, kSideCombinations> reached{};
};

Neighbourhood LaterNeighbours(int dims) {
  Neighbourhood hood;
  const int last = dims - 1;
  std::array<int, kMaxDims> delta{};
  delta[static_cast<std::size_t>(last)] = 1;
  hood.next = MakeDirection(dims, delta);
  int combinations = 1;
  for (int d = 0; d < last; ++d) combinations *= 3;
  for (int code = 0; code < combinations; ++code) {
    delta = {};
    int rest = code;
    for (int d = last - 1; d >= 0; --d) {
      delta[static_cast<std::size_t>(d)] = rest % 3 - 1;
      rest /= 3;
    }
    const auto first_change =
        std::find_if(delta.begin(), delta.begin() + last, [](int step) { return step != 0; });
    if (first_change == delta.begin() + last || *first_change < 0) continue;
    std::array<Direction, 3> row;
    for (int k = 0; k < 3; ++k) {
      delta[static_cast<std::size_t>(last)] = k - 1;
      row[static_cast<std::size_t>(k)] = MakeDirection(dims, delta);
    }
    hood.rows.push_back(row);
  }
  for (std::size_t sides = 0; sides < kSideCombinations; ++sides) {
    const auto s = static_cast<std::uint8_t>(sides);
    std::uint32_t bits = Reaches(s, hood.next.need) ? 1u : 0u;
    for (std::size_t r = 0; r < hood.rows.size(); ++r) {
      for (std::size_t k = 0; k < 3; ++k) {
        if (Reaches(s, hood.rows[r][k].need)) bits |= 1u << (1 + 3 * r + k);
      }
    }
    hood.reached[sides] = bits;
  }
  return hood;
}

// Cell numbers of every axis, for grids too wide to pack into 64 bits.
struct CellTriple {
  std::array<std::int64_t, kMaxDims> n{};
  auto operator<=>(const CellTriple&) const = default;
};

template <typename Key>
Key KeyAboveAll();
// Keys use fewer bits than 64, or leave the top field short of all ones.
template <>
std::uint64_t KeyAboveAll<std::uint64_t>() {
  return std::numeric_limits<std::uint64_t>::max();
}
// Cell numbers are clamped far below the largest.
template <>
CellTriple KeyAboveAll<CellTriple>() {
  CellTriple key;
  key.n.fill(std::numeric_limits<std::int64_t>::max());
  return key;
}

// A key moved by an offset (the key of a step from the cell numbered 0).
std::uint64_t Plus(std::uint64_t key, std::uint64_t offset) { return key + offset; }
CellTriple Plus(CellTriple key, const CellTriple& offset) {
  for (std::size_t d = 0; d < kMaxDims; ++d) key.n[d] += offset.n[d];
  return key;
}

// The spreading pass takes 8 bits, to write into few places at once; the
// sorts in the cache take 10, for fewer passes.
constexpr int kDigitBits = 8;
constexpr std::size_t kBuckets = std::size_t{1} << kDigitBits;
using DigitCounts = std::array<std::uint32_t, kBuckets>;
constexpr int kLowDigitBits = 10;
constexpr std::size_t kLowBuckets = std::size_t{1} << kLowDigitBits;
using LowDigitCounts = std::array<std::uint32_t, kLowBuckets>;

// Stable sort of n keys with their values by the digits below bit `bits`,
// least significant first, back and forth between the two pairs of arrays.
// True when the result ends in the spare arrays. `counts` is only room for
// the digit counts.
bool SortByLowDigits(std::uint64_t* keys, std::uint32_t* values, std::uint64_t* spare_keys,
                     std::uint32_t* spare_values, std::size_t n, int bits,
                     std::vector<LowDigitCounts>& counts) {
  const int digits = (bits + kLowDigitBits - 1) / kLowDigitBits;
  counts.resize(static_cast<std::size_t>(digits));
  for (LowDigitCounts& c : counts) c.fill(0);
  for (std::size_t i = 0; i < n; ++i) {
    for (int digit = 0; digit < digits; ++digit) {
      ++counts[static_cast<std::size_t>(digit)]
              [(keys[i] >> (digit * kLowDigitBits)) & (kLowBuckets - 1)];
    }
  }
  bool in_spare = false;
  for (int digit = 0; digit < digits; ++digit) {
    LowDigitCounts& count = counts[static_cast<std::size_t>(digit)];
    // A digit every key shares leaves the order as it is.
    if (std::find(count.begin(), count.end(), n) != count.end()) continue;
    std::uint32_t next = 0;
    for (std::uint32_t& c : count) next += std::exchange(c, next);
    const std::uint64_t* from_keys = in_spare ? spare_keys : keys;
    const std::uint32_t* from_values = in_spare ? spare_values : values;
    std::uint64_t* to_keys = in_spare ? keys : spare_keys;
    std::uint32_t* to_values = in_spare ? values : spare_values;
    const int shift = digit * kLowDigitBits;
    for (std::size_t i = 0; i < n; ++i) {
      const std::uint32_t to = count[(from_keys[i] >> shift) & (kLowBuckets - 1)]++;
      to_keys[to] = from_keys[i];
      to_values[to] = from_values[i];
    }
    in_spare = !in_spare;
  }
  return in_spare;
}

// Copies n keys and their values.
void CopySorted(const std::uint64_t* from_keys, const std::uint32_t* from_values,
                std::uint64_t* to_keys, std::uint32_t* to_values, std::size_t n) {
  std::copy(from_keys, from_keys + n, to_keys);
  std::copy(from_values, from_values + n, to_values);
}

// Below this many keys a bucket is sorted by insertion: the digit counts of
// a radix sort would cost more than the keys.
constexpr std::size_t kFewKeys = 48;

void InsertionSort(std::uint64_t* keys, std::uint32_t* values, std::size_t n) {
  for (std::size_t i = 1; i < n; ++i) {
    const std::uint64_t key = keys[i];
    const std::uint32_t value = values[i];
    std::size_t j = i;
    for (; j > 0 && keys[j - 1] > key; --j) {
      keys[j] = keys[j - 1];
      values[j] = values[j - 1];
    }
    keys[j] = key;
    values[j] = value;
  }
}

// Sorts the n keys, which differ only in their lowest `bits`, carrying the
// values along, through spare arrays of n; equal keys keep their value
// order. One pass spreads them by their most significant varying digit into
// buckets small enough, as a rule, to sort in the cache by the rest, each
// ending in its place.
void RadixSort(std::uint64_t* keys, std::uint32_t* values, std::uint64_t* spare_keys,
               std::uint32_t* spare_values, std::size_t n, int bits) {
  if (n <= kFewKeys) {
    InsertionSort(keys, values, n);
    return;
  }
  std::vector<LowDigitCounts> counts;  // taken over by each bucket in turn
  if (bits <= kDigitBits) {
    if (SortByLowDigits(keys, values, spare_keys, spare_values, n, bits, counts)) {
      CopySorted(spare_keys, spare_values, keys, values, n);
    }
    return;
  }
  const int top = bits - kDigitBits;
  // Four sets of counts: nearby stations share a top digit, and one set
  // would have each count wait for the previous one.
  std::array<DigitCounts, 4> partial{};
  std::size_t counted = 0;
  for (; counted + 4 <= n; counted += 4) {
    for (std::size_t j = 0; j < 4; ++j) {
      ++partial[j][(keys[counted + j] >> top) & (kBuckets - 1)];
    }
  }
  for (; counted < n; ++counted) ++partial[0][(keys[counted] >> top) & (kBuckets - 1)];
  DigitCounts start{};
  for (std::size_t b = 0; b < kBuckets; ++b) {
    start[b] = partial[0][b] + partial[1][b] + partial[2][b] + partial[3][b];
  }
  std::uint32_t next = 0;
  for (std::uint32_t& c : start) next += std::exchange(c, next);
  DigitCounts fill = start;
  for (std::size_t i = 0; i < n; ++i) {
    const std::uint32_t to = fill[(keys[i] >> top) & (kBuckets - 1)]++;
    spare_keys[to] = keys[i];
    spare_values[to] = values[i];
  }
  // Each bucket sorts in the spare arrays and ends back in the first ones,
  // moved there by its last pass or copied while still in the cache.
  for (std::size_t b = 0; b < kBuckets; ++b) {
    const std::size_t first = start[b];
    const std::size_t size = fill[b] - start[b];
    std::uint64_t* bucket_keys = spare_keys + first;
    std::uint32_t* bucket_values = spare_values + first;
    if (size <= kFewKeys) {
      InsertionSort(bucket_keys, bucket_values, size);
    } else if (SortByLowDigits(bucket_keys, bucket_values, keys + first, values + first, size, top,
                               counts)) {
      continue;
    }
    CopySorted(bucket_keys, bucket_values, keys + first, values + first, size);
  }
}

// Moves `at` forward to the first key not below `target`: a few steps, then
// doubling strides and a binary search for a long way.
template <typename Key>
void AdvanceTo(const Key* keys, std::size_t size, std::size_t& at, const Key& target) {
  constexpr int kSteps = 4;
  for (int step = 0; step < kSteps; ++step) {
    if (at >= size || !(keys[at] < target)) return;
    ++at;
  }
  std::size_t stride = 1;
  std::size_t bound = at;
  while (bound < size && keys[bound] < target) {
    at = bound + 1;
    bound = at + stride;
    stride *= 2;
  }
  at = static_cast<std::size_t>(std::lower_bound(keys + at, keys + std::min(bound, size), target) -
                                keys);
}

}  // namespace

NeighbourGrid::NeighbourGrid(const std::vector<GridPoint>& points, int dims, double reach,
                             std::vector<std::uint32_t> anywhere) {
  Build(points, dims, reach, std::move(anywhere));
}

void NeighbourGrid::Build(const std::vector<GridPoint>& points, int dims, double reach,
                          std::vector<std::uint32_t> anywhere) {
  dims_ = std::clamp(dims, 1, kMaxDims);
  count_ = points.size();
  anywhere_ = std::move(anywhere);
  cell_begin_.clear();
  links_.clear();
  busy_cells_.clear();
  if (!(reach > 0.0)) reach = std::numeric_limits<double>::denorm_min();
  if (!std::is_sorted(anywhere_.begin(), anywhere_.end())) {
    std::sort(anywhere_.begin(), anywhere_.end());
  }
  anywhere_.erase(std::unique(anywhere_.begin(), anywhere_.end()), anywhere_.end());
  anywhere_.erase(std::lower_bound(anywhere_.begin(), anywhere_.end(), count_), anywhere_.end());
  // Calls visit(i) for every point placed in the cells, in position order.
  auto for_each_gridded = [this](auto&& visit) {
    auto kept_out = anywhere_.begin();
    for (std::uint32_t i = 0; i < count_; ++i) {
      if (kept_out != anywhere_.end() && *kept_out == i) {
        ++kept_out;
        continue;
      }
      visit(i);
    }
  };

  // Kept in locals: through memory each point would wait for the last.
  double least0 = std::numeric_limits<double>::infinity(), least1 = least0, least2 = least0;
  double most0 = -least0, most1 = most0, most2 = most0;
  for_each_gridded([&](std::uint32_t i) {
    const GridPoint& p = points[i];
    least0 = std::min(least0, p.c[0]);
    least1 = std::min(least1, p.c[1]);
    least2 = std::min(least2, p.c[2]);
    most0 = std::max(most0, p.c[0]);
    most1 = std::max(most1, p.c[1]);
    most2 = std::max(most2, p.c[2]);
  });
  const std::array<double, kMaxDims> least{least0, least1, least2};
  const std::array<double, kMaxDims> most{most0, most1, most2};
  const std::size_t gridded = count_ - anywhere_.size();
  if (gridded == 0) {
    KeepPointsThatMayPair({});
    return;
  }
  double largest = 0.0;
  for (std::size_t d = 0; d < static_cast<std::size_t>(dims_); ++d) {
    largest = std::max({largest, std::fabs(least[d]), std::fabs(most[d])});
  }
  // Infinite for an enormous reach: every point then falls into cell 0.
  const double width =
      kCellsPerReach * (reach * (1.0 + kReachSlack) + largest * kCoordinateRounding);
  // Multiplying by the inverse rounds once more, by far less than the
  // widening above allows for.
  const double per_width = 1.0 / width;

  // Cell numbers rise with the coordinates, so their range along each axis
  // is that of the extremes. Each axis gets a field of the key one wider on
  // both ends than its cell numbers, so that a step to a neighbour is an
  // addition that never carries into the next field, and keys sort like
  // the cell numbers, the first axis first.
  std::array<std::int64_t, kMaxDims> low{};
  std::array<int, kMaxDims> field_shift{};
  int key_bits = 0;
  for (int d = dims_ - 1; d >= 0; --d) {
    const auto axis = static_cast<std::size_t>(d);
    std::uint8_t unused = 0;
    low[axis] = CellNumber(least[axis], per_width, d, unused);
    const std::int64_t high = CellNumber(most[axis], per_width, d, unused);
    const std::uint64_t span =
        static_cast<std::uint64_t>(high) - static_cast<std::uint64_t>(low[axis]);
    field_shift[axis] = key_bits;
    key_bits += std::bit_width(span + 2);
  }

  std::uint8_t* const sides = sides_.Take(count_);
  for (const std::uint32_t i : anywhere_) sides[i] = 0;
  std::uint32_t* const members = members_.Take(gridded);
  if (key_bits <= 64) {
    std::uint64_t* const keys = keys_.Take(gridded + 1);  // and one past the last cell
    std::size_t k = 0;
    std::uint64_t any = 0, every = ~std::uint64_t{0};
    for_each_gridded([&](std::uint32_t i) {
      std::uint64_t key = 0;
      std::uint8_t point_sides = 0;
      for (int d = 0; d < dims_; ++d) {
        const auto axis = static_cast<std::size_t>(d);
        const std::int64_t n = CellNumber(points[i].c[d], per_width, d, point_sides);
        key |= (static_cast<std::uint64_t>(n) - static_cast<std::uint64_t>(low[axis]) + 1)
               << field_shift[axis];
      }
      sides[i] = point_sides;
      any |= key;
      every &= key;
      keys[k] = key;
      members[k++] = i;
    });
    RadixSort(keys, members, spare_keys_.Take(gridded), spare_members_.Take(gridded), gridded,
              std::bit_width(any ^ every));
    BuildCells(keys, gridded, busy_cells_,
               [&](std::uint64_t key, const std::array<int, kMaxDims>& delta) {
                 for (std::size_t d = 0; d < static_cast<std::size_t>(dims_); ++d) {
                   const std::uint64_t unit = std::uint64_t{1} << field_shift[d];
                   key = delta[d] > 0 ? key + unit : (delta[d] < 0 ? key - unit : key);
                 }
                 return key;
               });
  } else {
    // Cells spread too far apart for one 64-bit key: sort the cell numbers
    // themselves.
    std::vector<CellTriple> numbers(count_);
    std::size_t k = 0;
    for_each_gridded([&](std::uint32_t i) {
      std::uint8_t point_sides = 0;
      for (int d = 0; d < dims_; ++d) {
        numbers[i].n[static_cast<std::size_t>(d)] =
            CellNumber(points[i].c[d], per_width, d, point_sides);
      }
      sides[i] = point_sides;
      members[k++] = i;
    });
    std::sort(members, members + gridded, [&](std::uint32_t a, std::uint32_t b) {
      return numbers[a] < numbers[b] || (numbers[a] == numbers[b] && a < b);
    });
    std::vector<CellTriple> keys;
    keys.reserve(gridded + 1);  // and one past the last cell
    for (std::size_t m = 0; m < gridded; ++m) keys.push_back(numbers[members[m]]);
    keys.emplace_back();
    numbers = {};
    BuildCells(keys.data(), gridded, busy_cells_,
               [](CellTriple key, const std::array<int, kMaxDims>& delta) {
                 for (std::size_t d = 0; d < kMaxDims; ++d) key.n[d] += delta[d];
                 return key;
               });
  }
  KeepPointsThatMayPair(busy_cells_);
}

// Groups the sorted points into cells (leaving one key per cell) and links
// each cell to the occupied later neighbours its points may reach, when a
// point there may reach back. `shift(key, delta)` is the key of the cell
// `delta` away. For each row of neighbours, the rows' keys rise with the
// cell's, so a cursor per row only ever moves forward.
template <typename Key, typename ShiftFn>
void NeighbourGrid::BuildCells(Key* keys, std::size_t n, std::vector<std::uint32_t>& busy_cells,
                               ShiftFn shift) {
  const std::uint8_t* const sides = sides_.data();
  const std::uint32_t* const members = members_.data();
  std::vector<std::uint8_t>& cell_sides = cell_sides_;  // the side bits of any of its points
  std::size_t cells = 0;
  cell_begin_.reserve(n + 1);
  cell_sides.clear();
  cell_sides.reserve(n);
  // Ends the last cell opened, at member `end`.
  auto close_cell = [&](std::size_t end) {
    if (cells > 0 && end - cell_begin_.back() > 1) {
      busy_cells.push_back(static_cast<std::uint32_t>(cells - 1));
    }
  };
  for (std::size_t k = 0; k < n; ++k) {
    if (k == 0 || !(keys[k] == keys[cells - 1])) {
      close_cell(k);
      cell_begin_.push_back(static_cast<std::uint32_t>(k));
      keys[cells++] = keys[k];
      cell_sides.push_back(0);
    }
    cell_sides.back() |= sides[members[k]];
  }
  close_cell(n);
  cell_begin_.push_back(static_cast<std::uint32_t>(n));
  // Past the last cell, a key above every key and every neighbour's: the
  // searches below stop there without testing the end.
  keys[cells] = KeyAboveAll<Key>();

  struct CellPair {
    std::uint32_t first, second;
    std::uint8_t need, back_need;
  };
  std::vector<CellPair> pairs;
  auto link_if_reached = [&](std::size_t c, std::size_t other, const Direction& direction) {
    if (Reaches(cell_sides[other], direction.back_need)) {
      pairs.push_back({static_cast<std::uint32_t>(c), static_cast<std::uint32_t>(other),
                       direction.need, direction.back_need});
    }
  };
  const Neighbourhood hood = LaterNeighbours(dims_);
  auto offset = [&](const Direction& direction) { return shift(Key{}, direction.delta); };
  const Key next_offset = offset(hood.next);
  std::vector<std::array<Key, 3>> row_offset(hood.rows.size());
  for (std::size_t r = 0; r < hood.rows.size(); ++r) {
    for (std::size_t k = 0; k < 3; ++k) row_offset[r][k] = offset(hood.rows[r][k]);
  }
  // Every later neighbour lies in one of two stretches of cell order: up to
  // the last neighbour with the same first-axis number, and from the first
  // to the last neighbour with the next one. A cell whose next cell lies
  // beyond the first stretch, and the first cell at or after the start of
  // the second beyond its end, has none: most cells are done with these two
  // comparisons, which are nearly always false.
  std::array<int, kMaxDims> delta{};
  for (int d = 1; d < dims_; ++d) delta[static_cast<std::size_t>(d)] = 1;
  if (dims_ == 1) delta[0] = 1;
  const Key same_last = shift(Key{}, delta);
  delta[0] = 1;
  const Key next_last = shift(Key{}, delta);
  for (int d = 1; d < dims_; ++d) delta[static_cast<std::size_t>(d)] = -1;
  const Key next_first = shift(Key{}, delta);
  std::size_t next_at = 0;
  std::vector<std::size_t> cursor(hood.rows.size(), 0);
  for (std::size_t c = 0; c < cells; ++c) {
    const Key key = keys[c];
    const bool near_same = c + 1 < cells && !(Plus(key, same_last) < keys[c + 1]);
    bool near_next = false;
    if (dims_ > 1) {
      // Moved on for every cell, so it steps through the cells once in all;
      // mostly by one step or none, taken without a branch.
      const Key first = Plus(key, next_first);
      next_at += static_cast<std::size_t>(keys[next_at] < first);
      while (keys[next_at] < first) ++next_at;
      near_next = next_at < cells && !(Plus(key, next_last) < keys[next_at]);
    }
    if (!near_same && !near_next) continue;
    const std::uint32_t reached = hood.reached[cell_sides[c]];
    if ((reached & 1u) && c + 1 < cells && keys[c + 1] == Plus(key, next_offset)) {
      link_if_reached(c, c + 1, hood.next);
    }
    for (std::size_t r = 0; r < hood.rows.size(); ++r) {
      const std::uint32_t in_row = (reached >> (1 + 3 * r)) & 7u;
      const bool same_slab = hood.rows[r][0].delta[0] == 0;
      if (in_row == 0 || !(same_slab ? near_same : near_next)) continue;
      std::size_t& at = cursor[r];
      AdvanceTo(keys, cells + 1, at, Plus(key, row_offset[r][0]));
      // At most the three cells of the row lie from here on up to its last.
      for (std::size_t k = 0, j = at; k < 3 && j < cells; ++k) {
        if (!((in_row >> k) & 1u)) continue;
        const Key target = Plus(key, row_offset[r][k]);
        while (j < cells && keys[j] < target) ++j;
        if (j < cells && keys[j] == target) link_if_reached(c, j, hood.rows[r][k]);
      }
    }
  }
  if (pairs.empty()) return;
  for (const CellPair& pair : pairs) {
    busy_cells.push_back(pair.first);
    busy_cells.push_back(pair.second);
  }
  std::sort(busy_cells.begin(), busy_cells.end());
  busy_cells.erase(std::unique(busy_cells.begin(), busy_cells.end()), busy_cells.end());

  // Each pair is linked from both ends.
  links_.reserve(2 * pairs.size());
  for (const CellPair& pair : pairs) {
    links_.push_back({pair.first, pair.second, pair.need});
    links_.push_back({pair.second, pair.first, pair.back_need});
  }
  std::sort(links_.begin(), links_.end(), [](const Link& x, const Link& y) {
    return x.from < y.from || (x.from == y.from && x.cell < y.cell);
  });
}

std::pair<const NeighbourGrid::Link*, const NeighbourGrid::Link*> NeighbourGrid::LinksFrom(
    std::uint32_t cell) const {
  const auto range =
      std::equal_range(links_.data(), links_.data() + links_.size(), Link{cell, 0, 0},
                       [](const Link& x, const Link& y) { return x.from < y.from; });
  return {range.first, range.second};
}

// Marks the points with a point of their own cell or of a linked cell they
// reach, and keeps the cell and side bits of those alone.
void NeighbourGrid::KeepPointsThatMayPair(const std::vector<std::uint32_t>& busy_cells) {
  const std::uint8_t* const sides = sides_.data();
  const std::uint32_t* const members = members_.data();
  may_pair_.assign((count_ + 63) / 64, 0);
  may_pair_before_.assign(may_pair_.size(), 0);
  auto for_each_pairing = [&](auto&& action) {
    for (const std::uint32_t c : busy_cells) {
      const std::uint32_t begin = cell_begin_[c];
      const std::uint32_t end = cell_begin_[c + 1];
      const bool crowded = end - begin > 1;
      const auto [first_link, end_link] = LinksFrom(c);
      const bool linked = first_link != end_link;
      if (!crowded && !linked) continue;
      for (std::uint32_t k = begin; k < end; ++k) {
        const std::uint32_t position = members[k];
        bool pairs = crowded;
        for (const Link* l = first_link; !pairs && l != end_link; ++l) {
          pairs = Reaches(sides[position], l->need);
        }
        if (pairs) action(position, static_cast<std::uint32_t>(c));
      }
    }
  };
  for_each_pairing([this](std::uint32_t position, std::uint32_t) {
    may_pair_[position / 64] |= std::uint64_t{1} << (position % 64);
  });
  std::uint32_t before = 0;
  for (std::size_t w = 0; w < may_pair_.size(); ++w) {
    may_pair_before_[w] = before;
    before += static_cast<std::uint32_t>(std::popcount(may_pair_[w]));
  }
  pairing_cell_.assign(before, 0);
  pairing_sides_.assign(before, 0);
  for_each_pairing([&](std::uint32_t position, std::uint32_t cell) {
    const std::uint32_t number = PairingNumber(position);
    pairing_cell_[number] = cell;
    pairing_sides_[number] = sides[position];
  });
}

std::uint32_t NeighbourGrid::PairingNumber(std::uint32_t position) const {
  const std::uint64_t word = may_pair_[position / 64];
  const std::uint64_t bit = std::uint64_t{1} << (position % 64);
  if (!(word & bit)) return kNone;
  return may_pair_before_[position / 64] +
         static_cast<std::uint32_t>(std::popcount(word & (bit - 1)));
}

std::uint32_t NeighbourGrid::NextThatMayPair(std::uint32_t position) const {
  if (position >= count_) return static_cast<std::uint32_t>(count_);
  if (!anywhere_.empty()) return position;
  std::size_t word = position / 64;
  std::uint64_t bits = may_pair_[word] & (~std::uint64_t{0} << (position % 64));
  while (bits == 0) {
    if (++word == may_pair_.size()) return static_cast<std::uint32_t>(count_);
    bits = may_pair_[word];
  }
  return static_cast<std::uint32_t>(word * 64 + static_cast<std::size_t>(std::countr_zero(bits)));
}

bool NeighbourGrid::MayHaveCandidates(std::uint32_t position) const {
  if (position >= count_) return false;
  // A point kept out is a candidate of every other point.
  if (!anywhere_.empty()) return count_ > 1;
  return (may_pair_[position / 64] >> (position % 64)) & 1u;
}

void NeighbourGrid::LaterCandidates(std::uint32_t position, std::vector<std::uint32_t>& out) const {
  out.clear();
  if (position >= count_) return;
  if (std::binary_search(anywhere_.begin(), anywhere_.end(), position)) {
    for (std::uint32_t j = position + 1; j < count_; ++j) out.push_back(j);
    return;
  }
  auto later = [position, &out](auto first, auto last) {
    out.insert(out.end(), std::upper_bound(first, last, position), last);
  };
  const std::uint32_t number = PairingNumber(position);
  if (number != kNone) {
    const std::uint32_t cell = pairing_cell_[number];
    const std::uint32_t* const members = members_.data();
    later(members + cell_begin_[cell], members + cell_begin_[cell + 1]);
    const auto [first_link, end_link] = LinksFrom(cell);
    for (const Link* link = first_link; link != end_link; ++link) {
      if (!Reaches(pairing_sides_[number], link->need)) continue;
      later(members + cell_begin_[link->cell], members + cell_begin_[link->cell + 1]);
    }
  }
  later(anywhere_.begin(), anywhere_.end());
  std::sort(out.begin(), out.end());
}

}  // namespace trovisk
