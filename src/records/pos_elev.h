// One station, as read from an *80 record.
#pragma once

#include "records/fixed_text.h"

namespace tessovane2 {

struct POS_ELEV {
  FixedText<30> designation;  // columns 15-44, blanks kept
  FixedText<6> pid;           // columns 1-6
  FixedText<5> ssn;           // columns 10-14, 11-14 or 11-13 by SSN length
  // Hemisphere letters as written: column 56 (N or S) and column 69 (E or
  // W), blank when absent. The report ignores them; the companion signs its
  // positions with them. They sit in the padding before latitude.
  char latitudeHemisphere = ' ';
  char longitudeHemisphere = ' ';
  double latitude = 0.0;   // decimal degrees
  double longitude = 0.0;  // decimal degrees
  double elevation = 0.0;  // metres; 0.0 means the station has no elevation
};

}  // namespace tessovane2
