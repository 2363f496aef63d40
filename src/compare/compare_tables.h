// Pairing the stations of the two files and writing the difference report.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

#include "compare/match_key.h"
#include "compare/report_page.h"
#include "records/station_table.h"

namespace tessovane2 {

struct ComparisonTotals {
  std::int64_t matchedCount = 0;  // matched pairs (report lines)
  std::int64_t exceedCount = 0;   // pairs whose position shift exceeds the tolerance
  double shiftSum = 0.0;          // metres, sum of all position shifts
  double minShift = 0.0;          // metres, smallest position shift (0.0 before any pair)
  double maxShift = 0.0;          // metres, largest position shift (0.0 before any pair)
};

struct ComparisonOutput {
  std::ostream& reportFile;
  std::ostream& messageFile;
  std::ostream& out;  // progress marks
  std::int64_t& messageCount;
  PageState& reportPage;
};

struct ComparisonResult {
  ComparisonTotals totals;
  std::string exceedList;  // lines of the flagged pairs, with their own page breaks
};

// For every station of `second` in load order, every station of `first` with
// an equal key (byte for byte), in load order: one report line per pair, "*"
// when the position shift is greater than shiftTolerance (metres). A station
// of `second` without partner is reported in the message file.
ComparisonResult compareTables(const StationTable& first, const StationTable& second, MatchKey key,
                               double shiftTolerance, const ComparisonOutput& output);

}  // namespace tessovane2
