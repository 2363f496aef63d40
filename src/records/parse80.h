// Parsing one *80 (station position) record.
#pragma once

#include <iosfwd>
#include <string_view>

#include "records/pos_elev.h"

namespace tessovane2 {

// Result of parse80.
enum ParseStatus : int {
  kParsedWithElevation = 1,     // elevation columns held a valid number
  kParsedWithoutElevation = 0,  // elevation columns blank, elevation untouched
  kRefused = -5,                // seconds or elevation not a number; message written
};

// Fills station from an *80 record (one line without its line end).
// ssnLength (3, 4 or 5) selects the SSN columns. A refused record leaves
// station untouched and writes one three-line message to err. Latitude and
// longitude come out in decimal degrees, the elevation in metres.
int parse80(int ssnLength, std::string_view record, POS_ELEV& station, std::ostream& err);

}  // namespace tessovane2
