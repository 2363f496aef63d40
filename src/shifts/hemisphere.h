// The hemisphere letters of an *80 record: column 56 after the latitude (N
// or S), column 69 after the longitude (E or W), in either case. The record
// holds the angles as unsigned digits; the letters give their signs.
#pragma once

#include "records/pos_elev.h"

namespace tessovane2::shifts {

// +1 north, -1 south (S or s). Any other character, a blank included, is
// taken as north.
double latitudeSign(char letter);

// +1 east (E or e), -1 west. Any other character, a blank included, is taken
// as west: the surveys this format carries lie in the western hemisphere.
double longitudeSign(char letter);

// Neither letter of its kind (a blank or any other character): the default
// hemisphere was taken.
bool isUnletteredLatitude(char letter);
bool isUnletteredLongitude(char letter);

// Signed decimal degrees, north and east positive; never -0.0. The
// longitude as the record gives it: the format's three degree digits reach
// 359 W (Pacific networks are written so, Guam as W 215).
double signedLatitude(const POS_ELEV& station);
double signedLongitude(const POS_ELEV& station);

// A signed longitude (degrees) brought into [-180, 180] by whole turns, as
// RFC 7946 and every map want it: -215.16 is 144.84.
double longitudeWithin180(double degrees);

// The two stations lie in different hemispheres by their letters (after the
// defaults): a data error, since one station does not cross the equator or
// the prime meridian between two surveys.
bool hemispheresDiffer(const POS_ELEV& first, const POS_ELEV& second);

// value, with -0.0 written as 0.0.
inline double withoutNegativeZero(double value) { return value == 0.0 ? 0.0 : value; }

}  // namespace tessovane2::shifts
