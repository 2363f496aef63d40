// The rows as CSV (RFC 4180): a header row, fields separated by commas,
// lines ended by CR LF, a field holding a comma, a quote or a line end
// enclosed in quotes with its quotes doubled.
#pragma once

#include <iosfwd>

#include "shifts/shift_results.h"

namespace tessovane2::shifts {

// pid, ssn, designation, status, hemispheres_differ (true or false), lat1, lon1, h1, lat2, lon2, h2, dn, de, du,
// horizontal, azimuth; degrees with 9 decimals, metres with 4, the azimuth
// with 2; a missing value is an empty field.
void writeCsv(const ShiftResults& results, std::ostream& file);

}  // namespace tessovane2::shifts
