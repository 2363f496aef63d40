// One station, as read from an *80 record.
#pragma once

#include <cstdint>

#include "records/fixed_text.h"

namespace tessovane2 {

// What an *80 record's angle columns held beyond the decimal degrees made of
// them: the report reads such fields as they are (96 48 with a minus sign in
// the degree field is -95.2); the companion judges the position from these.
// One bit each, for the latitude; the longitude's are the same shifted left
// by kLongitudeFieldShift.
enum AngleField : std::uint8_t {
  kMinutesOver59 = 1,  // the two minutes columns read 60 or more
  kSecondsOver59 = 2,  // the seven seconds columns read 60 seconds or more
  kMinusSign = 4,      // a minus sign in the degree, minutes or seconds columns
};
inline constexpr int kLongitudeFieldShift = 3;

struct POS_ELEV {
  FixedText<30> designation;  // columns 15-44, blanks kept
  FixedText<6> pid;           // columns 1-6
  FixedText<5> ssn;           // columns 10-14, 11-14 or 11-13 by SSN length
  // Hemisphere letters as written: column 56 (N or S) and column 69 (E or
  // W), blank when absent. The report ignores them; the companion signs its
  // positions with them. They sit in the padding before latitude.
  char latitudeHemisphere = ' ';
  char longitudeHemisphere = ' ';
  std::uint8_t angleFields = 0;  // AngleField bits, latitude and shifted longitude; also in the padding
  double latitude = 0.0;         // decimal degrees
  double longitude = 0.0;        // decimal degrees
  double elevation = 0.0;        // metres; 0.0 means the station has no elevation
};

}  // namespace tessovane2
