// The summary of the shifts: counts, statistics and the largest movers.
#pragma once

#include <span>
#include <vector>

#include "records/station_table.h"
#include "shifts/shift_results.h"

namespace tessovane2::shifts {

// The summary of `rows` (as shiftRows gives them for the two tables).
ShiftSummary summarizeShifts(const std::vector<ShiftRow>& rows, const StationTable& first,
                             const StationTable& second);

// The p-th quantile (0 <= p <= 1) of ascending `sorted`, interpolated
// linearly between order statistics at rank (n - 1) p: numpy's default and
// the spreadsheets' PERCENTILE.INC. kMissing for no values.
double percentile(std::span<const double> sorted, double p);

// Mean, standard deviation (n - 1) and root mean square of `values`.
ComponentStatistics componentStatistics(std::span<const double> values);

}  // namespace tessovane2::shifts
