// The rows as CSV (RFC 4180) in UTF-8: a header row, fields separated by
// commas, lines ended by CR LF, a field holding a comma, a quote, a line end
// or another control character enclosed in quotes with its quotes doubled;
// and the column types beside it, as GDAL and QGIS read them.
#pragma once

#include <iosfwd>
#include <span>
#include <string_view>
#include <vector>

#include "shifts/shift_results.h"

namespace tessovane2::shifts {

struct CsvColumn {
  std::string_view name;
  std::string_view type;  // as a .csvt file names it: "String" or "Real"
};

// pid, ssn, designation, status (String), lat1, lon1, h1, lat2, lon2, h2, dn,
// de, du, horizontal, azimuth (Real), in the file's order; with a fit then
// fit_dn, fit_de, fit_du, res_dn, res_de, res_du, res_horizontal, res_sigma
// (Real) and outlier (String: true or false); with --locate then
// candidate_pid, candidate_ssn (String), candidate_distance (Real) and
// candidate_status (String).
std::vector<CsvColumn> csvColumns(bool withFit, bool withLocate);

// pid, ssn, designation, status, hemispheres_differ (true or false), lat1,
// lon1, h1, lat2, lon2, h2, dn, de, du, horizontal, azimuth, and the fit's
// columns with a fit; degrees with 9 decimals, metres with 4, the azimuth
// with 2; a missing value is an empty field. Texts are UTF-8 with every character kept: valid
// UTF-8 as it is, any other byte read as Latin-1 (as the GeoJSON reads it),
// control characters kept but NUL, which becomes U+FFFD; a text starting with "=" stays as it is, for the GIS
// readers (a spreadsheet imports the columns as text, as the README says).
void writeCsv(const ShiftResults& results, std::ostream& file);

// OUTPUT.csvt: one line of the columns' quoted types ("String","String",
// ...,"Real"), which GDAL and QGIS read beside OUTPUT.csv, so that an SSN
// keeps its leading zeros instead of being guessed a number.
void writeCsvTypes(const ShiftResults& results, std::ostream& file);

}  // namespace tessovane2::shifts
