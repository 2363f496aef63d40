// OUTPUT.svg: the shift map and its legend alone, as plain vector output for
// a vector editor or a printer.
#pragma once

#include <cstddef>
#include <ostream>
#include <vector>

#include "shift_map/page_options.h"
#include "shifts/shift_results.h"

namespace tessovane2::shifts {

// The rows the SVG draws, in row order: all of them when they fit in limit;
// otherwise every flagged row (over a tolerance or in one file only; the
// first limit of them if they alone are more) and an even sample, every k-th,
// of the others, up to limit in all.
struct SvgSelection {
  std::vector<std::size_t> rows;
  std::size_t flagged = 0;  // flagged rows drawn
  std::size_t stride = 1;   // every stride-th other row is drawn
};
SvgSelection selectSvgRows(const std::vector<ShiftRow>& rows, std::size_t limit);

// Writes the SVG; false when the stream failed.
bool writeSvgMap(const ShiftResults& results, const PageOptions& options, std::ostream& out);

}  // namespace tessovane2::shifts
