// The shift of one station between the two files in metres north and east.
#pragma once

#include "records/pos_elev.h"

namespace tessovane2::shifts {

struct MetricShift {
  double north;       // metres, 2nd file minus 1st, north positive
  double east;        // metres, 2nd file minus 1st, east positive
  double horizontal;  // metres: the report's position shift, bit for bit
  double azimuth;     // degrees clockwise from north, [0, 360); kMissing for a zero shift
};

// The shift from station `first` (1st file) to station `second` (2nd file).
// The components come from the report's own short-line arithmetic on the
// unsigned digit values, so that `horizontal` is its position shift; the
// hemisphere letters of the 1st-file station then orient them. For a pair
// whose letters differ (a data error) the figures are thus those of the 2nd
// station's digits read in the 1st station's hemisphere.
MetricShift metricShift(const POS_ELEV& first, const POS_ELEV& second);

}  // namespace tessovane2::shifts
