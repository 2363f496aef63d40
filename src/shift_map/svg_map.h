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

// Where a mover's label goes (SVG units) for an arrow's head at tip: beside
// it up and right; left of it (anchored at its end) where it would pass the
// map's right edge, below it where it would pass the top; always inside the
// map. characters: the label's length in characters.
struct LabelPlace {
  double x, y;
  bool anchorEnd;  // text-anchor="end"
};
LabelPlace placeLabel(double tipX, double tipY, std::size_t characters);

// Writes the SVG; false when the stream failed.
bool writeSvgMap(const ShiftResults& results, const PageOptions& options, std::ostream& out);

}  // namespace tessovane2::shifts
