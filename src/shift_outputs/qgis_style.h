// OUTPUT.qml: the QGIS style of OUTPUT.geojson, which QGIS applies when the
// layer is added (a style file of the same base name beside it).
#pragma once

#include <iosfwd>
#include <string>

#include "shift_map/page_options.h"
#include "shifts/shift_results.h"

namespace tessovane2::shifts {

// The QGIS expression of a pair's shift arrow (a LineString in the layer's
// longitude and latitude, degrees) from its 1st-file position ("lon1",
// "lat1") along "de" and "dn" (metres) times `exaggeration`; NULL for a row
// without a horizontal shift.
std::string qgisArrowExpression(double exaggeration);

// A rule-based renderer coloured as the page's map: each pair a station dot
// and an arrow drawn by a geometry generator with the map's exaggeration,
// blue within the horizontal tolerance, orange up to twice it, vermillion
// beyond; a hollow square for a station only in the 1st file, a triangle
// for one only in the 2nd.
void writeQgisStyle(const ShiftResults& results, const PageOptions& options, std::ostream& file);

}  // namespace tessovane2::shifts
