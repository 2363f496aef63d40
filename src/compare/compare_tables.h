// The comparison: the pairs of the two files into the report, their totals
// and the over-tolerance list, and the warnings of the unpaired stations.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

#include "compare/comparison_totals.h"
#include "compare/match_key.h"
#include "compare/report_page.h"
#include "records/station_table.h"

namespace tessovane2 {

struct ComparisonOutput {
  std::ostream& reportFile;
  std::ostream& messageFile;
  std::ostream& out;           // progress marks
  PageState reportPage;        // where the report stands after its header
  int overToleranceFirstLine;  // line of the statistics file where the over-tolerance list starts
};

struct ComparisonResult {
  ComparisonTotals totals;
  std::string exceedList;         // lines of the flagged pairs, with their own page breaks
  std::int64_t warningCount = 0;  // warnings written to the message file
};

// For every station of `second` in load order, every station of `first` with
// an equal key (byte for byte), in load order: one report line per pair, "*"
// when the position shift is greater than shiftTolerance (metres). A station
// of `second` without partner is reported in the message file.
ComparisonResult compareTables(const StationTable& first, const StationTable& second, MatchKey key,
                               double shiftTolerance, const ComparisonOutput& output);

}  // namespace tessovane2
