// The pairs of points that may lie within a given reach of each other, found
// through a grid of cells at least one reach wide instead of comparing every
// point with every other.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace trovisk {

struct GridPoint {
  double c[3] = {0.0, 0.0, 0.0};  // metres; the first `dims` of them count
};

// Calls visit(first, second), first < second, once for every pair of points
// in the same cell or in cells next to each other: every pair closer than
// `reach` (metres, above 0) and some farther apart, in no particular order.
// `points` have all counted coordinates finite; `dims` is 2 or 3. The points
// at the positions in `anywhere` (ascending) are kept out of the cells,
// whatever their coordinates, and paired with every other point.
void ForEachPairInNeighbouringCells(const std::vector<GridPoint>& points, int dims, double reach,
                                    const std::vector<std::uint32_t>& anywhere,
                                    const std::function<void(std::uint32_t, std::uint32_t)>& visit);

}  // namespace trovisk
