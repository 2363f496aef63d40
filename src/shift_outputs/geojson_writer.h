// The rows as a GeoJSON (RFC 7946) FeatureCollection.
#pragma once

#include <iosfwd>

#include "shifts/shift_results.h"

namespace tessovane2::shifts {

// One Point feature per row, one per line, its "id" the row's number from 1
// (the CSV's line number less one), a stable key to select and join by, at
// the 2nd-file position (the 1st-file position where the 2nd has none; no
// geometry, null, where neither is a position the format can mean),
// coordinates [longitude, latitude] in signed decimal degrees, longitudes in
// [-180, 180], on the files' own datum; hemispheres_differ a boolean; the row's fields as
// properties, numbers with the CSV's decimals, missing values null. Texts
// are written as UTF-8: valid UTF-8 passes as it is, any other byte is read
// as Latin-1.
void writeGeoJson(const ShiftResults& results, std::ostream& file);

}  // namespace tessovane2::shifts
