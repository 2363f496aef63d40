// The pieces of the comparison: the totals, the over-tolerance list, the
// report writer, and what compareTables adds to them.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>

#include "compare/compare_tables.h"
#include "compare/over_tolerance_list.h"
#include "compare/report_writer.h"
#include "support/builders.h"

namespace tessovane2::testing {
namespace {

TEST(ComparisonTotals, FirstShiftIsMinimumAndMaximumAndOnlyGreaterOnesAreOver) {
  ComparisonTotals totals;
  // The minimum once started at 100 m and a larger shift never became it.
  totals.addShift(250.0, true);
  EXPECT_EQ(totals.minShift, 250.0);
  EXPECT_EQ(totals.maxShift, 250.0);
  totals.addShift(300.0, true);
  totals.addShift(0.5, false);
  EXPECT_EQ(totals.matchedCount, 3);
  EXPECT_EQ(totals.exceedCount, 2);
  EXPECT_EQ(totals.shiftSum, 550.5);
  EXPECT_EQ(totals.minShift, 0.5);
  EXPECT_EQ(totals.maxShift, 300.0);
}

TEST(OverToleranceList, KeepsTheFlaggedLinesAndBreaksItsPageBeforeAnyPairOnceFull) {
  // From line 20 the 47th flagged line fills the page: the next pair,
  // flagged or not, starts page 2, which may end the list.
  OverToleranceList list(20);
  list.addPair("unflagged", false);
  for (int i = 0; i < 47; ++i) list.addPair("flagged", true);
  list.addPair("unflagged", false);
  std::string expected;
  for (int i = 0; i < 47; ++i) expected += "flagged\n";
  expected += "\n2\n" + kHeadings;
  EXPECT_EQ(list.take(), expected);
}

TEST(ReportWriter, WritesTheLineWithItsStarAndBreaksThePageAfterLine66) {
  const POS_ELEV first = station("AB1234", "0123", 38.5, -77.25, "TOWER");
  const StationShift shift{1.0, -1.0, 0.5, 30.25};
  std::string line;
  appendReportLine(line, first, shift);

  std::ostringstream file;
  ReportWriter writer(file, {1, 66});
  EXPECT_EQ(writer.write(first, shift, false), line);
  EXPECT_EQ(writer.write(first, shift, true), line);
  EXPECT_EQ(file.str(), line + "\n\n2\n" + kHeadings + line + "*\n");
  EXPECT_EQ(writer.page().pageNumber, 2);
  EXPECT_EQ(writer.page().lineCount, 8);
}

struct Compared {
  std::ostringstream report, messages, console;
  ComparisonResult result;
};

Compared compare(const StationTable& first, const StationTable& second, double tolerance) {
  Compared c;
  c.result =
      compareTables(first, second, MatchKey::Ssn, tolerance, {c.report, c.messages, c.console, {1, 13}, 20});
  return c;
}

TEST(CompareTables, WarnsOfEverySecondFileStationWithoutPartner) {
  const Compared c = compare({station("AA1111", "0001")}, {station("AB1234", "0123"), station("", "")}, 1.0);
  EXPECT_EQ(c.messages.str(),
            "Warning: Station in 2nd file not in 1st file:     PID = AB1234   SSN = 0123\n"
            "Warning: Station in 2nd file not in 1st file:     PID =    SSN = \n");
  EXPECT_EQ(c.result.warningCount, 2);
  EXPECT_EQ(c.report.str(), "");
  EXPECT_EQ(c.result.totals.matchedCount, 0);
}

TEST(CompareTables, ShiftEqualToToleranceIsNotFlaggedButAnyGreaterShiftIs) {
  const StationTable first = {station("A", "1")};
  const StationTable second = {station("A", "1", 38.5 + 0.0001, -77.25 + 0.0002)};
  const StationShift shift = stationShift(first[0], second[0]);
  std::string line;
  appendReportLine(line, first[0], shift);

  const Compared equal = compare(first, second, shift.positionMetres);
  EXPECT_EQ(equal.report.str(), line + "\n");
  EXPECT_EQ(equal.result.exceedList, "");
  EXPECT_EQ(equal.result.totals.exceedCount, 0);

  const Compared below = compare(first, second, std::nextafter(shift.positionMetres, 0.0));
  EXPECT_EQ(below.report.str(), line + "*\n");
  EXPECT_EQ(below.result.exceedList, line + "\n");
  EXPECT_EQ(below.result.totals.exceedCount, 1);
}

TEST(CompareTables, OneProgressMarkPer200Pairs) {
  for (const auto& [pairs, marks] : {std::pair{199, ""}, std::pair{200, "."}, std::pair{401, ".."}}) {
    const Compared c =
        compare(StationTable(static_cast<std::size_t>(pairs), station("A", "1")), {station("A", "1")}, 1.0);
    EXPECT_EQ(c.console.str(), marks) << pairs;
  }
}

}  // namespace
}  // namespace tessovane2::testing
