#include <gtest/gtest.h>

#include <string>

#include "compare/report_line.h"
#include "compare/report_page.h"
#include "geodesy/inver.h"
#include "support/builders.h"

namespace tessovane2::testing {
namespace {

// Only the texts of the station print.
POS_ELEV named(std::string_view pid, std::string_view ssn, std::string_view designation) {
  return station(pid, ssn, 0.0, 0.0, designation);
}

TEST(ReportLine, FixedColumnLayout) {
  using namespace std::string_literals;
  struct Case {
    const char* what;
    POS_ELEV first;
    StationShift shift;
    std::string expected;
  };
  const Case cases[] = {
      {"positive shifts",
       named("AB1234", "0123", "TOWER 1"),
       {1.23456, 0.5, 2.5, 30.123},
       "AB1234  0123                        TOWER 1  1.23456   0.50000    2.500  30.123"},
      {"negative shifts, trailing blanks of the designation kept",
       named("", "12", "MARK 7    "),
       {-1.5, -0.00001, -12.345, 0.0004},
       "          12                     MARK 7     -1.50000  -0.00001  -12.345   0.000"},
      {"zero shifts, empty texts",
       named("", "", ""),
       {0.0, 0.0, 0.0, 0.0},
       "                                             0.00000   0.00000    0.000   0.000"},
      {"values wider than their fields push the rest right",
       named("KV0", "12345", "STATION NAME WITH THIRTY CHARS"),
       {12345.678901, -0.25, -12345.6, 12345.6789},
       "   KV0 12345 STATION NAME WITH THIRTY CHARS12345.67890  -0.25000 -12345.600 12345.679"},
      {"a NUL byte in the designation is written, not cut",
       named("P\0Q"s, "7", "A\0B"s),
       {0.0, 0.0, 0.0, 1.0},
       "   P\0Q     7                            A\0B  0.00000   0.00000    0.000   1.000"s},
  };
  for (const Case& c : cases) {
    std::string line = "kept|";
    appendReportLine(line, c.first, c.shift);
    EXPECT_EQ(line, "kept|" + c.expected) << c.what;
  }
}

TEST(ReportLine, ShiftsAreSecondFileMinusFirstFile) {
  POS_ELEV first = named("", "1", "");
  first.latitude = 38.5;
  first.longitude = -77.25;
  first.elevation = 10.0;
  POS_ELEV second = first;
  second.latitude -= 2.0 / 3600;
  second.longitude += 1.0 / 3600;
  second.elevation = 9.5;
  const StationShift shift = stationShift(first, second);
  EXPECT_NEAR(shift.latitudeSeconds, -2.0, 1e-9);
  EXPECT_NEAR(shift.longitudeSeconds, 1.0, 1e-9);
  EXPECT_EQ(shift.elevationMetres, -0.5);
  EXPECT_EQ(shift.positionMetres,
            shortLineInverse(second.latitude, second.longitude, first.latitude, first.longitude));
  EXPECT_NEAR(shift.positionMetres, 66.26, 0.01);
}

TEST(ReportPage, ColumnHeadingsAreThreeLinesOfKnownLength) {
  const std::string& headings = columnHeadings();
  ASSERT_EQ(headings.back(), '\n');
  std::vector<std::size_t> lengths;
  for (std::size_t start = 0, end; (end = headings.find('\n', start)) != std::string::npos; start = end + 1) {
    lengths.push_back(end - start);
  }
  EXPECT_EQ(lengths, (std::vector<std::size_t>{78, 79, 77}));
  EXPECT_EQ(headings.rfind("PID     SSN  Designation", 0), 0u);
}

TEST(ReportPage, BreaksOnlyWhenMoreThan66LinesAreUsed) {
  PageState page{1, 66};
  std::string out = "x";
  EXPECT_FALSE(breakPageIfFull(page, out));
  EXPECT_EQ(out, "x");
  EXPECT_EQ(page.pageNumber, 1);
  EXPECT_EQ(page.lineCount, 66);

  page.lineCount = 67;
  EXPECT_TRUE(breakPageIfFull(page, out));
  EXPECT_EQ(out, "x\n2\n" + columnHeadings() + "\n");
  EXPECT_EQ(page.pageNumber, 2);
  EXPECT_EQ(page.lineCount, 7);

  page = {9, 80};
  out.clear();
  EXPECT_TRUE(breakPageIfFull(page, out));
  EXPECT_EQ(out, "\n10\n" + columnHeadings() + "\n");
}

}  // namespace
}  // namespace tessovane2::testing
