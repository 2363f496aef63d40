#include "compare/compare_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "compare/inver.h"
#include "compare/report_line.h"

namespace tessovane2 {
namespace {

POS_ELEV station(std::string_view pid, std::string_view ssn, double latitude = 38.5,
                 double longitude = -77.25, std::string_view designation = "MARK") {
  POS_ELEV s;
  s.pid.assign(pid);
  s.ssn.assign(ssn);
  s.designation.assign(designation);
  s.latitude = latitude;
  s.longitude = longitude;
  s.elevation = 10.0;
  return s;
}

// About 250 m north of station(...) at 38.5 degrees.
constexpr double kNorth250 = 0.00225;

// The streams and counters a comparison writes to, as the run hands them
// over after the report header (13 lines used on page 1).
struct Outputs {
  std::ostringstream report, messages, console;
  std::int64_t messageCount = 0;
  PageState reportPage{1, 13};
  ComparisonOutput output{report, messages, console, messageCount, reportPage};
};

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> result;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) result.push_back(line);
  return result;
}

TEST(CompareTables, PairsComeInSecondFileOrderThenFirstFileOrder) {
  // Key 0123 three times in the 1st file and twice in the 2nd (1" north,
  // then 1" south); X is matched by nothing and gives nothing.
  const StationTable first = {station("P1", "0123"), station("X", "0999"), station("P2", "0123"),
                              station("P3", "0123")};
  const StationTable second = {station("Q1", "0123", 38.5 + 1.0 / 3600),
                               station("Q2", "0123", 38.5 - 1.0 / 3600)};
  Outputs o;
  const ComparisonResult result = compareTables(first, second, MatchKey::Ssn, 100.0, o.output);
  std::vector<std::string> pairs;
  for (const std::string& line : lines(o.report.str()))
    pairs.push_back(line.substr(0, 13) + line.substr(43, 9));
  EXPECT_EQ(pairs, (std::vector<std::string>{"    P1  0123   1.00000", "    P2  0123   1.00000",
                                             "    P3  0123   1.00000", "    P1  0123  -1.00000",
                                             "    P2  0123  -1.00000", "    P3  0123  -1.00000"}));
  EXPECT_EQ(result.totals.matchedCount, 6);
  EXPECT_EQ(o.messageCount, 0);
  EXPECT_EQ(o.reportPage.lineCount, 19);
}

TEST(CompareTables, KeysMatchOnlyWhenEqualByteForByte) {
  struct Case {
    MatchKey key;
    const char* key1;
    const char* key2;
    bool match;
  };
  const Case cases[] = {
      {MatchKey::Ssn, "12", "12", true},
      {MatchKey::Ssn, "012", "12", false},
      {MatchKey::Ssn, "", "", true},
      {MatchKey::Ssn, "   ", "   ", true},
      {MatchKey::Ssn, "", " ", false},
      {MatchKey::Ssn, "12 ", "12", false},
      {MatchKey::Pid, "AB1234", "AB1234", true},
      {MatchKey::Pid, "ab1234", "AB1234", false},
      {MatchKey::Pid, "", "", true},
      {MatchKey::Pid, "      ", "      ", true},
  };
  for (const Case& c : cases) {
    const bool bySsn = c.key == MatchKey::Ssn;
    // The other key is equal in both, so only the chosen key decides.
    const StationTable first = {bySsn ? station("SAME", c.key1) : station(c.key1, "5")};
    const StationTable second = {bySsn ? station("SAME", c.key2) : station(c.key2, "5")};
    Outputs o;
    const ComparisonResult result = compareTables(first, second, c.key, 1.0, o.output);
    EXPECT_EQ(result.totals.matchedCount, c.match ? 1 : 0) << '"' << c.key1 << "\" \"" << c.key2 << '"';
    EXPECT_EQ(o.messageCount, c.match ? 0 : 1);
  }
}

TEST(CompareTables, SecondFileStationWithoutPartnerIsWarnedAbout) {
  const StationTable first = {station("AA1111", "0001")};
  const StationTable second = {station("AB1234", "0123"), station("", "")};
  Outputs o;
  o.messageCount = 4;
  const ComparisonResult result = compareTables(first, second, MatchKey::Ssn, 1.0, o.output);
  EXPECT_EQ(o.messages.str(),
            "Warning: Station in 2nd file not in 1st file:     PID = AB1234   SSN = 0123\n"
            "Warning: Station in 2nd file not in 1st file:     PID =    SSN = \n");
  EXPECT_EQ(o.messageCount, 6);
  EXPECT_EQ(o.report.str(), "");
  EXPECT_EQ(result.totals.matchedCount, 0);
}

TEST(CompareTables, ShiftEqualToToleranceIsNotFlaggedButAnyGreaterShiftIs) {
  const StationTable first = {station("A", "1")};
  const StationTable second = {station("A", "1", 38.5 + 0.0001, -77.25 + 0.0002)};
  const double shift = shortLineInverse(second[0].latitude, second[0].longitude, 38.5, -77.25);
  std::string line;
  appendReportLine(line, first[0], stationShift(first[0], second[0]));

  Outputs equal;
  const ComparisonResult notFlagged = compareTables(first, second, MatchKey::Ssn, shift, equal.output);
  EXPECT_EQ(equal.report.str(), line + "\n");
  EXPECT_EQ(notFlagged.exceedList, "");
  EXPECT_EQ(notFlagged.totals.exceedCount, 0);

  Outputs below;
  const ComparisonResult flagged =
      compareTables(first, second, MatchKey::Ssn, std::nextafter(shift, 0.0), below.output);
  EXPECT_EQ(below.report.str(), line + "*\n");
  EXPECT_EQ(flagged.exceedList, line + "\n");
  EXPECT_EQ(flagged.totals.exceedCount, 1);
  EXPECT_EQ(below.reportPage.lineCount, 14);
}

// Regression: the smallest shift started at 100.0 and could never exceed it,
// and without any pair the minimum stayed 100.0.
TEST(CompareTables, MinimumShiftIsTheSmallestShiftOfAllPairs) {
  const StationTable first = {station("A", "1"), station("B", "2")};
  const StationTable second = {station("A", "1", 38.5 + kNorth250),
                               station("B", "2", 38.5 + 1.2 * kNorth250)};
  Outputs o;
  const ComparisonTotals totals = compareTables(first, second, MatchKey::Ssn, 1000.0, o.output).totals;
  EXPECT_NEAR(totals.minShift, 250.0, 1.0);
  EXPECT_NEAR(totals.maxShift, 300.0, 1.0);
  EXPECT_EQ(totals.shiftSum, totals.minShift + totals.maxShift);

  Outputs none;
  const ComparisonTotals empty = compareTables(first, {}, MatchKey::Ssn, 1.0, none.output).totals;
  EXPECT_EQ(empty.minShift, 0.0);
  EXPECT_EQ(empty.maxShift, 0.0);
  EXPECT_EQ(empty.shiftSum, 0.0);
}

TEST(CompareTables, OneProgressMarkPer200Pairs) {
  for (const auto& [pairs, marks] : {std::pair{199, ""}, std::pair{200, "."}, std::pair{401, ".."}}) {
    const StationTable first(static_cast<std::size_t>(pairs), station("A", "1"));
    Outputs o;
    compareTables(first, {station("A", "1")}, MatchKey::Ssn, 1.0, o.output);
    EXPECT_EQ(o.console.str(), marks) << pairs;
  }
}

TEST(CompareTables, ReportPageBreaksBeforeThePairAfterLine66) {
  const StationTable first = {station("A", "1"), station("B", "1")};
  Outputs o;
  o.reportPage.lineCount = 66;
  compareTables(first, {station("Q", "1")}, MatchKey::Ssn, 1.0, o.output);
  const std::string report = o.report.str();
  const std::size_t breakAt = report.find('\n') + 1;
  EXPECT_EQ(report.substr(breakAt, 3 + columnHeadings().size() + 1), "\n2\n" + columnHeadings() + "\n");
  EXPECT_EQ(report.substr(breakAt + 3 + columnHeadings().size() + 1, 6), "     B");
  EXPECT_EQ(o.reportPage.pageNumber, 2);
  EXPECT_EQ(o.reportPage.lineCount, 8);
}

TEST(CompareTables, ExceedListBreaksPageOnThePairAfterThe47thFlaggedPair) {
  // 47 pairs moved 250 m, then one that did not move: flagged or not, the
  // 48th pair starts page 2 of the list.
  StationTable first(47, station("A", "1", 38.5 - kNorth250));
  first.push_back(station("B", "1"));
  Outputs o;
  const ComparisonResult result = compareTables(first, {station("Q", "1")}, MatchKey::Ssn, 100.0, o.output);
  std::string flaggedLine;
  appendReportLine(flaggedLine, first[0], stationShift(first[0], station("Q", "1")));
  std::string expected;
  for (int i = 0; i < 47; ++i) expected += flaggedLine + "\n";
  expected += "\n2\n" + columnHeadings() + "\n";
  EXPECT_EQ(result.exceedList, expected);
  EXPECT_EQ(result.totals.exceedCount, 47);
}

// The nested scan the index stands in for: every 2nd-file station in load
// order against every 1st-file station in load order.
struct ReferenceRun {
  std::string report, messages, console, exceedList;
  std::int64_t messageCount = 0;
  ComparisonTotals totals;
  PageState reportPage{1, 13};
};

ReferenceRun nestedScan(const StationTable& first, const StationTable& second, MatchKey key,
                        double tolerance) {
  ReferenceRun r;
  PageState listPage{1, 20};
  const auto keyOf = [key](const POS_ELEV& s) { return key == MatchKey::Pid ? s.pid.view() : s.ssn.view(); };
  for (const POS_ELEV& b : second) {
    int matches = 0;
    for (const POS_ELEV& a : first) {
      if (keyOf(a) != keyOf(b)) continue;
      ++matches;
      if (++r.totals.matchedCount % 200 == 0) r.console += '.';
      const StationShift shift = stationShift(a, b);
      r.totals.shiftSum += shift.positionMetres;
      if (r.totals.matchedCount == 1 || shift.positionMetres < r.totals.minShift) {
        r.totals.minShift = shift.positionMetres;
      }
      r.totals.maxShift = std::max(r.totals.maxShift, shift.positionMetres);
      breakPageIfFull(r.reportPage, r.report);
      breakPageIfFull(listPage, r.exceedList);
      std::string line;
      appendReportLine(line, a, shift);
      r.report += line;
      ++r.reportPage.lineCount;
      if (shift.positionMetres > tolerance) {
        r.report += '*';
        r.exceedList += line + "\n";
        ++r.totals.exceedCount;
        ++listPage.lineCount;
      }
      r.report += '\n';
    }
    if (matches == 0) {
      r.messages += "Warning: Station in 2nd file not in 1st file:     PID = " + std::string(b.pid.view()) +
                    "   SSN = " + std::string(b.ssn.view()) + "\n";
      ++r.messageCount;
    }
  }
  return r;
}

TEST(CompareTables, IndexedMatchingGivesExactlyTheOutputOfTheNestedScan) {
  // Few keys, blank and empty ones among them, so that most keys repeat in
  // both files; some keys occur in the 2nd file only.
  const char* const keys[] = {"", " ", "  ", "12", "012", "7", "ab12", "AB12", "99999", "only2"};
  std::mt19937 random(20031014);
  const auto table = [&](std::size_t size, std::size_t keyCount) {
    StationTable t;
    for (std::size_t i = 0; i < size; ++i) {
      const std::string designation = "STATION " + std::to_string(i);
      t.push_back(station(keys[random() % keyCount], keys[random() % keyCount],
                          10.0 + static_cast<double>(random() % 1000) * 0.000001,
                          -77.0 - static_cast<double>(random() % 1000) * 0.000001, designation));
    }
    return t;
  };
  const StationTable first = table(150, 9);
  const StationTable second = table(120, 10);
  for (const MatchKey key : {MatchKey::Ssn, MatchKey::Pid}) {
    Outputs o;
    const ComparisonResult result = compareTables(first, second, key, 60.0, o.output);
    const ReferenceRun expected = nestedScan(first, second, key, 60.0);
    ASSERT_GT(expected.totals.matchedCount, 1000);
    ASSERT_GT(expected.messageCount, 0);
    EXPECT_EQ(o.report.str(), expected.report);
    EXPECT_EQ(result.exceedList, expected.exceedList);
    EXPECT_EQ(o.messages.str(), expected.messages);
    EXPECT_EQ(
        std::make_tuple(o.console.str(), o.messageCount, o.reportPage.pageNumber, o.reportPage.lineCount),
        std::make_tuple(expected.console, expected.messageCount, expected.reportPage.pageNumber,
                        expected.reportPage.lineCount));
    const ComparisonTotals& t = result.totals;
    const ComparisonTotals& e = expected.totals;
    EXPECT_EQ(std::make_tuple(t.matchedCount, t.exceedCount, t.shiftSum, t.minShift, t.maxShift),
              std::make_tuple(e.matchedCount, e.exceedCount, e.shiftSum, e.minShift, e.maxShift));
  }
}

}  // namespace
}  // namespace tessovane2
