// The fixed-column line of one matched pair of stations.
#pragma once

#include <string>

#include "records/pos_elev.h"

namespace tessovane2 {

struct StationShift {
  double latitudeSeconds;   // arc-seconds, 2nd file minus 1st
  double longitudeSeconds;  // arc-seconds, 2nd file minus 1st
  double elevationMetres;   // metres, 2nd file minus 1st
  double positionMetres;    // metres, never negative
};

// Shifts of station `second` (2nd file) from station `first` (1st file).
StationShift stationShift(const POS_ELEV& first, const POS_ELEV& second);

// Appends the report line (without "*" and line end) of a pair to out:
// PID in columns 1-6, SSN 8-12, designation 14-43 (right-aligned, like every
// field), latitude and longitude shifts 44-52 and 54-62 (5 decimals),
// elevation shift 64-71 and position shift 73-79 (3 decimals). A wider value
// is written whole and pushes the rest of the line to the right.
void appendReportLine(std::string& out, const POS_ELEV& first, const StationShift& shift);

}  // namespace tessovane2
