// The tables of the page: the run (the six arguments, both files with their
// record counts, the local time), the summary of the shifts and the largest
// movers, as HTML. A mover's row carries data-row, its row number in the
// embedded data, which the script uses to centre the map on it.
#pragma once

#include <string>

#include "shift_map/map_layout.h"
#include "shifts/shift_results.h"

namespace tessovane2::shifts {

std::string runTables(const ShiftResults& results, const MapLayout& layout);
std::string summaryTables(const ShiftResults& results);

}  // namespace tessovane2::shifts
