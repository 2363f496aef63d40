#include "compare/compare_tables.h"

#include <ostream>
#include <vector>

#include "compare/report_line.h"
#include "records/station_key.h"

namespace tessovane2 {

namespace {

std::string_view keyOf(const POS_ELEV& station, MatchKey key) {
  return key == MatchKey::Pid ? station.pid.view() : station.ssn.view();
}

// The stations of the 1st file by key: each key leads to its entries in load
// order, so that the pairs come out exactly as a scan of the whole table
// would give them, in time proportional to the number of pairs.
class PartnerIndex {
 public:
  static constexpr std::size_t kNone = KeyIndex::kNone;

  PartnerIndex(const StationTable& table, MatchKey key) : first_(table.size()), next_(table.size()) {
    for (std::size_t i = table.size(); i-- > 0;) {
      std::size_t& first = first_.entry(packKey(keyOf(table[i], key)));
      next_[i] = first;
      first = i;
    }
  }

  std::size_t first(std::string_view key) const { return first_.find(packKey(key)); }
  std::size_t next(std::size_t entry) const { return next_[entry]; }

 private:
  KeyIndex first_;
  std::vector<std::size_t> next_;
};

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
  const PartnerIndex partners(first, key);
  // All lookups first, in one tight loop, rather than one after every
  // flushed report line, when the index has left the caches.
  std::vector<std::size_t> firstPartner(second.size());
  for (std::size_t i = 0; i < second.size(); ++i) {
    firstPartner[i] = partners.first(keyOf(second[i], key));
  }

  PairWriter writer(shiftTolerance, output);
  for (std::size_t i = 0; i < second.size(); ++i) {
    const POS_ELEV& station = second[i];
    std::size_t entry = firstPartner[i];
    if (entry == PartnerIndex::kNone) {
      output.messageFile << "Warning: Station in 2nd file not in 1st file:  "
                         << "   PID = " << station.pid.view() << "   SSN = " << station.ssn.view() << '\n'
                         << std::flush;
      ++output.messageCount;
      continue;
    }
    for (; entry != PartnerIndex::kNone; entry = partners.next(entry)) {
      writer.write(first[entry], station);
    }
  }
  return writer.take();
}

}  // namespace tessovane2
