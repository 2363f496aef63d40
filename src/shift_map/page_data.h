// The data embedded in the page as one JSON object, columnar so that 200,000
// rows stay a few megabytes:
//   {"format":1,
//    "tolerance":0.05, "verticalTolerance":0.02 or null,        metres
//    "map":{"exaggeration":10000, "exaggerationGiven":false,
//           "reference":0.05, "width":23000.00,                 metres
//           "minX":..,"minY":..,"maxX":..,"maxY":..},           metres
//    "palette":{"within":"#0072b2", ...},                      the map's colours
//    "count":N,
//    "x":[..], "y":[..],              map position, metres east and north of the centre, 2 decimals
//    "status":"mhvb12xkl...",         one letter per row: matched, over_horizontal, over_vertical,
//                                     over_both, only_in_1st, only_in_2nd, bad_position, no_key,
//                                     located (bad_position and no_key are not drawn; their x and y are 0)
//    "dn":[..], "de":[..], "du":[..], "horizontal":[..],   metres, 4 decimals, null where missing
//    "azimuth":[..],                  degrees clockwise from north, 2 decimals, as in the CSV;
//                                     null for no shift and a station in one file only
//    "shiftClass":"012-...",          one letter per row: the colour class of a pair (0 within
//                                     the horizontal tolerance, 1 up to twice it, 2 beyond),
//                                     - for a station in one file only
//    "pid":[..], "ssn":[..], "designation":[..],           strings, trailing blanks dropped
//    "fit":{"model":"similarity", "vertical":"offset",          only when the run made a fit
//           "parameters":[{"name":"tn","unit":"m","value":..,"sd":..}, ...],
//           "sigmaH":0.0041 (metres), "outliers":12},
//    "fitDn":[..], "fitDe":[..], "fitDu":[..],   the systematic part at each row, metres, 4 decimals,
//    "resDn":[..], "resDe":[..], "resDu":[..],   and the residual; null where the row has none
//    "outlier":"0010...",             one letter per row: 1 for an outlier of the fit (with a fit only)
//    "movers":{"horizontal":[row numbers], "vertical":[row numbers]}}   largest first
// Strings are escaped so that the object may stand inside a <script> element.
#pragma once

#include <ostream>

#include "shift_map/map_layout.h"
#include "shifts/shift_results.h"

namespace tessovane2::shifts {

inline constexpr int kPositionDecimals = 2;   // map positions, metres: 1 cm
inline constexpr int kShiftDecimals = 4;      // shifts, metres, as in the CSV
inline constexpr int kDirectionDecimals = 2;  // azimuths, degrees, as in the CSV

// One status letter of the "status" string.
char statusLetter(ShiftStatus status);

// One letter of the "shiftClass" string: the pair's colour class by its
// horizontal shift and the horizontal tolerance (metres).
char shiftClassLetter(const ShiftRow& row, double tolerance);

void writePageData(const ShiftResults& results, const MapLayout& layout, std::ostream& out);

}  // namespace tessovane2::shifts
