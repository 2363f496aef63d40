// The rows of tessovane2_shifts: one per pair and one per unpaired station.
#pragma once

#include <optional>
#include <vector>

#include "compare/match_key.h"
#include "records/station_table.h"
#include "shifts/shift_results.h"

namespace tessovane2::shifts {

struct ShiftTolerances {
  double horizontal = 0.0;         // metres; the report's shift tolerance
  std::optional<double> vertical;  // metres; none: no height is flagged
};

// The rows in the 2nd table's order: each 2nd-file station gives its pairs
// (the report's lines, in the 1st table's order) or one only_in_2nd row;
// then the only_in_1st rows in the 1st table's order. A pair is over a
// tolerance when its shift is strictly greater, as in the report. The rows
// view the tables' texts: both tables must outlive them.
std::vector<ShiftRow> shiftRows(const StationTable& first, const StationTable& second, MatchKey key,
                                const ShiftTolerances& tolerances);

// The row of a pair made by location (status located): the shifts of
// station `first` (1st table, at `firstIndex`) to `second`, computed as for
// any pair, with the 1st station's identifiers.
ShiftRow locatedRow(const POS_ELEV& first, std::size_t firstIndex, const POS_ELEV& second, MatchKey key);

}  // namespace tessovane2::shifts
