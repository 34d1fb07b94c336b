// Neighbour grid: the points sorted by the cell they lie in, and one pass over
// the cells in that order that pairs each cell with itself and with the
// occupied cells next to it that come later in that order.
#include "convert/neighbour_grid.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace trovisk {
namespace {

// Cells are the reach wide, widened by far more than the rounding of the
// cell numbers, so that two points closer than the reach never lie more than
// one cell apart along an axis.
constexpr double kReachSlack = 1e-9;
// A cell's key holds its number along each counted axis in a field of 21
// bits, the first axis highest, so that keys sort like the numbers and the
// key of a neighbour is the key plus or minus a field's unit. Numbers start
// at 1 on the lowest point, leaving room for a neighbour on either side;
// cells are widened where needed so that the widest spread of the points
// takes no more than this many.
constexpr int kFieldBits = 21;
constexpr double kMostCellsPerAxis = 2000000.0;

struct Member {
  std::uint64_t cell;  // key
  std::uint32_t position;
};

}  // namespace

void ForEachPairInNeighbouringCells(
    const std::vector<GridPoint>& points, int dims, double reach,
    const std::vector<std::uint32_t>& anywhere,
    const std::function<void(std::uint32_t, std::uint32_t)>& visit) {
  const auto count = static_cast<std::uint32_t>(points.size());
  std::vector<bool> kept_out(count, false);
  for (const std::uint32_t a : anywhere) kept_out[a] = true;
  for (const std::uint32_t a : anywhere) {
    for (std::uint32_t b = 0; b < count; ++b) {
      if (b == a || (kept_out[b] && b < a)) continue;  // a pair of two kept out comes once
      visit(std::min(a, b), std::max(a, b));
    }
  }

  double lowest[3] = {0.0, 0.0, 0.0};
  double highest[3] = {0.0, 0.0, 0.0};
  bool first = true;
  for (std::uint32_t i = 0; i < count; ++i) {
    if (kept_out[i]) continue;
    for (int d = 0; d < dims; ++d) {
      lowest[d] = first ? points[i].c[d] : std::min(lowest[d], points[i].c[d]);
      highest[d] = first ? points[i].c[d] : std::max(highest[d], points[i].c[d]);
    }
    first = false;
  }
  double widest = 0.0;
  for (int d = 0; d < dims; ++d) widest = std::max(widest, highest[d] - lowest[d]);
  const double width = std::max(reach * (1.0 + kReachSlack), widest / kMostCellsPerAxis);
  // A cell of unbounded width, for an unbounded reach or spread, holds every point.
  const bool one_cell = std::isinf(width);
  std::vector<Member> members;
  members.reserve(count - anywhere.size());
  for (std::uint32_t i = 0; i < count; ++i) {
    if (kept_out[i]) continue;
    Member member{0, i};
    for (int d = 0; d < dims; ++d) {
      // Never negative, so the conversion rounds down.
      const auto n =
          one_cell ? 0 : static_cast<std::uint64_t>((points[i].c[d] - lowest[d]) / width);
      member.cell = (member.cell << kFieldBits) | (n + 1);
    }
    members.push_back(member);
  }
  std::sort(members.begin(), members.end(),
            [](const Member& x, const Member& y) { return x.cell < y.cell; });

  // The neighbours that come later in cell order: the next cell along the
  // last axis, and rows of three cells along it (one down, level, one up)
  // whose other numbers are further on by (+1) for two axes, and by (0, +1),
  // (+1, -1), (+1, 0) and (+1, +1) for three. Adding an offset keeps the
  // order of the keys, so one cursor per row walks the sorted members once.
  const std::uint64_t unit[3] = {std::uint64_t{1} << (2 * kFieldBits),
                                 std::uint64_t{1} << kFieldBits, 1};
  const std::uint64_t* axis = unit + 3 - dims;  // units of the counted axes
  struct Row {
    std::uint64_t first, last;  // offsets from the cell's key
  };
  std::vector<Row> rows = {{1, 1}};
  auto add_row = [&](std::uint64_t step) { rows.push_back({step - 1, step + 1}); };
  add_row(axis[dims - 2]);
  if (dims == 3) {
    add_row(axis[0] - axis[1]);
    add_row(axis[0]);
    add_row(axis[0] + axis[1]);
  }
  std::vector<std::size_t> cursor(rows.size(), 0);
  auto pair = [&](const Member& x, const Member& y) {
    visit(std::min(x.position, y.position), std::max(x.position, y.position));
  };
  const std::size_t gridded = members.size();
  for (std::size_t begin = 0, end = 0; begin < gridded; begin = end) {
    const std::uint64_t key = members[begin].cell;
    while (end < gridded && members[end].cell == key) ++end;
    for (std::size_t i = begin; i < end; ++i) {
      for (std::size_t j = i + 1; j < end; ++j) pair(members[i], members[j]);
    }
    for (std::size_t r = 0; r < rows.size(); ++r) {
      std::size_t& k = cursor[r];
      while (k < gridded && members[k].cell < key + rows[r].first) ++k;
      for (std::size_t j = k; j < gridded && members[j].cell <= key + rows[r].last; ++j) {
        for (std::size_t i = begin; i < end; ++i) pair(members[i], members[j]);
      }
    }
  }
}

}  // namespace trovisk
