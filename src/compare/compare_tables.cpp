#include "compare/compare_tables.h"

#include <ostream>
#include <vector>

#include "compare/pairing.h"
#include "compare/report_line.h"

namespace tessovane2 {

namespace {

// Every line goes to the system as soon as it is complete.
void writeAndFlush(std::ostream& file, const std::string& lines) {
  file.write(lines.data(), static_cast<std::streamsize>(lines.size()));
  file.flush();
}

class PairWriter {
 public:
  PairWriter(double shiftTolerance, const ComparisonOutput& output)
      : tolerance_(shiftTolerance), output_(output) {}

  void write(const POS_ELEV& first, const POS_ELEV& second) {
    ComparisonTotals& totals = result_.totals;
    ++totals.matchedCount;
    if (totals.matchedCount % 200 == 0) output_.out << '.' << std::flush;

    const StationShift shift = stationShift(first, second);
    totals.shiftSum += shift.positionMetres;
    if (totals.matchedCount == 1 || shift.positionMetres < totals.minShift) {
      totals.minShift = shift.positionMetres;
    }
    if (totals.matchedCount == 1 || shift.positionMetres > totals.maxShift) {
      totals.maxShift = shift.positionMetres;
    }

    line_.clear();
    if (breakPageIfFull(output_.reportPage, line_)) {
      writeAndFlush(output_.reportFile, line_);
      line_.clear();
    }
    // The list gets its own page breaks, checked for every pair, flagged or not.
    breakPageIfFull(listPage_, result_.exceedList);

    appendReportLine(line_, first, shift);
    if (shift.positionMetres > tolerance_) {
      result_.exceedList += line_;
      result_.exceedList += '\n';
      line_ += "*\n";
      ++totals.exceedCount;
      ++listPage_.lineCount;
    } else {
      line_ += '\n';
    }
    writeAndFlush(output_.reportFile, line_);
    ++output_.reportPage.lineCount;
  }

  ComparisonResult take() { return std::move(result_); }

 private:
  double tolerance_;
  const ComparisonOutput& output_;
  ComparisonResult result_;
  PageState listPage_{1, 20};
  std::string line_;
};

}  // namespace

ComparisonResult compareTables(const StationTable& first, const StationTable& second, MatchKey key,
                               double shiftTolerance, const ComparisonOutput& output) {
  const StationPairing pairing(first, second, key);
  PairWriter writer(shiftTolerance, output);
  for (const StationPair& pair : pairing) writer.write(first[pair.first], second[pair.second]);
  for (const std::size_t entry : pairing.onlyInSecond()) {
    const POS_ELEV& station = second[entry];
    output.messageFile << "Warning: Station in 2nd file not in 1st file:  "
                       << "   PID = " << station.pid.view() << "   SSN = " << station.ssn.view() << '\n'
                       << std::flush;
    ++output.messageCount;
  }
  return writer.take();
}

}  // namespace tessovane2
