// Stations found in one file only, matched by where they lie: a mark that
// got a new identifier between the surveys shows up as one only_in_1st and
// one only_in_2nd row; --locate looks for its counterpart near the position
// where it is expected, and accepts it only by a rule with a safeguard.
#pragma once

#include <span>

#include "shifts/shift_results.h"

namespace tessovane2::analysis {

// For every only_in_1st and only_in_2nd row, the nearest station of the
// other file's unpaired rows within `radius` (metres) of the position where
// it is expected: the 1st-file position moved by `systematic` (one per row,
// its fitDn and fitDe in metres; empty: not moved) and the 2nd-file position
// itself. Distances are the straight lines between the points on the
// ellipsoid's surface (heights left out): metres, as a horizontal distance
// to well below a millimetre over some kilometres.
//
// The rule: a 1st-file station A and a 2nd-file station B are accepted when
// B is A's nearest within the radius and A is B's nearest, and the second
// nearest of either, looked for up to twice the radius, is at least twice as
// far as B is from A (and farther than it, for two at a distance of 0).
// Otherwise a station with someone within the radius is ambiguous and
// lists its nearest; else none. Ties of distance go by PID, SSN,
// designation and position, so the result is the same for any order of the
// rows. `radius` is positive; a radius so large that every station is in
// reach of every other is allowed: the ratio test then decides alone.
shifts::LocationMatches matchLocations(std::span<const shifts::ShiftRow> rows,
                                       std::span<const shifts::RowFit> systematic, double radius);

}  // namespace tessovane2::analysis
