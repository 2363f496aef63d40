// OUTPUT.svg: the shift map and its legend alone, as plain vector output for
// a vector editor or a printer (SVG 1.1). It follows the page's rules at its
// one fixed view: the factor from the robust typical shift, arrows cut at
// the off-scale cap, true-scale lines, cells and rings (svg_marks.h), the
// largest flagged movers labelled, in layers whose order does not depend on
// the files'.
#pragma once

#include <ostream>

#include "shift_map/page_options.h"
#include "shifts/shift_results.h"

namespace tessovane2::shifts {

// Writes the SVG; false when the stream failed.
bool writeSvgMap(const ShiftResults& results, const PageOptions& options, std::ostream& out);

}  // namespace tessovane2::shifts
