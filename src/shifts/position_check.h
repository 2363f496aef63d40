// Positions the *80 record format cannot mean: minutes or seconds of 60 or
// more, a minus sign in an angle's columns (the letters give the signs), a
// latitude over 90 degrees, a longitude of 360 degrees or more. The report
// reads such fields as they are; the companion keeps the station's row with
// status bad_position and leaves it out of every figure.
#pragma once

#include <string>

#include "records/pos_elev.h"

namespace tessovane2::shifts {

// The station's position means nothing.
bool isBadPosition(const POS_ELEV& station);

// What is wrong with it, for a warning: "latitude minutes 60 or more;
// longitude over 359 degrees"; empty for a good position.
std::string positionFaults(const POS_ELEV& station);

}  // namespace tessovane2::shifts
