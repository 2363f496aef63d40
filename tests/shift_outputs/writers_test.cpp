// The number and text forms of the CSV and GeoJSON files.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "shift_outputs/csv_writer.h"
#include "shift_outputs/geojson_writer.h"
#include "shift_outputs/number_text.h"

namespace tessovane2::shifts {
namespace {

std::string decimal(double value, int decimals) {
  std::string text;
  appendDecimal(text, value, decimals);
  return text;
}

TEST(NumberText, FixedDecimalsWithoutNegativeZero) {
  EXPECT_EQ(decimal(-96.8008929583, 9), "-96.800892958");
  EXPECT_EQ(decimal(0.00005, 4), "0.0001");   // 0.00005 is a little above: rounds up
  EXPECT_EQ(decimal(-0.00004, 4), "0.0000");  // rounds to zero: no sign
  EXPECT_EQ(decimal(-0.0, 4), "0.0000");
  EXPECT_EQ(decimal(1e20, 2), "100000000000000000000.00");
  std::string missing = "x";
  EXPECT_FALSE(appendDecimal(missing, kMissing, 4));
  EXPECT_EQ(missing, "x");
  std::string azimuth;
  appendAzimuth(azimuth, 359.996);  // the same direction as 0
  EXPECT_EQ(azimuth, "0.00");
}

ShiftResults oneRow(std::string_view designation) {
  ShiftResults results;
  ShiftRow& row = results.rows.emplace_back();
  row.status = ShiftStatus::OnlyInFirst;
  row.pid = "P1";
  row.designation = designation;
  row.lat1 = 41.12;
  row.lon1 = -96.8;
  return results;
}

TEST(GeoJson, TextsBecomeValidJsonStringsInUtf8) {
  struct Case {
    std::string designation, json;
  };
  const Case cases[] = {
      {"A \"B\" \\ C", R"("A \"B\" \\ C")"},
      {"TAB\tCR\r", R"("TAB\u0009CR\u000d")"},
      {"CAF\xC3\x89", "\"CAF\xC3\x89\""},           // valid UTF-8 kept
      {"CAF\xC9", R"("CAF\u00c9")"},                // a Latin-1 byte
      {"\xE2\x82", R"("\u00e2\u0082")"},            // a sequence cut short
      {"\xED\xA0\x80", R"("\u00ed\u00a0\u0080")"},  // a surrogate is not UTF-8
  };
  for (const Case& c : cases) {
    std::ostringstream file;
    writeGeoJson(oneRow(c.designation), file);
    EXPECT_NE(file.str().find("\"designation\":" + c.json + ","), std::string::npos) << file.str();
  }
}

TEST(GeoJson, OnlyInFirstStandsAtItsFirstFilePositionLongitudeFirst) {
  std::ostringstream file;
  writeGeoJson(oneRow("X"), file);
  EXPECT_NE(file.str().find(R"("coordinates":[-96.800000000,41.120000000])"), std::string::npos)
      << file.str();
  EXPECT_NE(file.str().find(R"("lat2":null,)"), std::string::npos) << file.str();
}

TEST(Csv, QuotesOnlyFieldsThatNeedIt) {
  std::ostringstream file;
  writeCsv(oneRow("A, \"B\""), file);
  EXPECT_EQ(file.str().substr(file.str().find("\r\n") + 2),
            "P1,,\"A, \"\"B\"\"\",only_in_1st,false,41.120000000,-96.800000000,,,,,,,,,\r\n");
}

}  // namespace
}  // namespace tessovane2::shifts
