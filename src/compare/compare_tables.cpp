#include "compare/compare_tables.h"

#include <ostream>

#include "compare/over_tolerance_list.h"
#include "compare/pairing.h"
#include "compare/report_line.h"
#include "compare/report_writer.h"

namespace tessovane2 {

ComparisonResult compareTables(const StationTable& first, const StationTable& second, MatchKey key,
                               double shiftTolerance, const ComparisonOutput& output) {
  ComparisonResult result;
  ReportWriter report(output.reportFile, output.reportPage);
  OverToleranceList list(output.overToleranceFirstLine);
  const StationPairing pairing(first, second, key);
  for (const StationPair& pair : pairing) {
    const POS_ELEV& station = first[pair.first];
    const StationShift shift = stationShift(station, second[pair.second]);
    const bool overTolerance = shift.positionMetres > shiftTolerance;
    result.totals.addShift(shift.positionMetres, overTolerance);
    if (result.totals.matchedCount % 200 == 0) output.out << '.' << std::flush;
    list.addPair(report.write(station, shift, overTolerance), overTolerance);
  }
  result.exceedList = list.take();
  for (const std::size_t entry : pairing.onlyInSecond()) {
    const POS_ELEV& station = second[entry];
    output.messageFile << "Warning: Station in 2nd file not in 1st file:  "
                       << "   PID = " << station.pid.view() << "   SSN = " << station.ssn.view() << '\n'
                       << std::flush;
    ++result.warningCount;
  }
  return result;
}

}  // namespace tessovane2
