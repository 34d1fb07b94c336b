// The rows of the grid table, generated into grid_systems_table.cpp by
// scripts/make-grid-systems.py, in order of EPSG code.
#pragma once

#include <span>

#include "geodesy/grid_system.h"

namespace trovisk {

std::span<const GridSystem> GridSystemTable();

}  // namespace trovisk
