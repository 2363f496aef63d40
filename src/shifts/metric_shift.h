// The shift of one station between the two files in metres north and east.
#pragma once

#include "records/pos_elev.h"

namespace tessovane2::shifts {

struct MetricShift {
  double north;       // metres, 2nd file minus 1st, north positive
  double east;        // metres, 2nd file minus 1st, east positive
  double horizontal;  // metres: the report's position shift, bit for bit, for letters that agree
  double azimuth;     // degrees clockwise from north, [0, 360); kMissing for a zero shift
};

// The longitude difference (degrees) taken modulo 360 into (-180, 180]: the
// short way round, so that 359 59 59.99999 W and 0 00 00 W lie 0.3 mm apart.
double longitudeDifference(double degrees);

// The shift from station `first` (1st file) to station `second` (2nd file),
// from their signed positions (the hemisphere letters give the signs) by
// the report's short-line arithmetic, the longitude difference reduced by
// longitudeDifference. Where both stations carry the same letters and the
// difference needs no reduction, the figures are the report's to the last
// bit: its arithmetic on the unsigned digits differs only in signs. Where
// the letters differ, `horizontal` is the true distance, no longer the
// report's position shift (which reads both digit positions in one
// hemisphere).
MetricShift metricShift(const POS_ELEV& first, const POS_ELEV& second);

}  // namespace tessovane2::shifts
