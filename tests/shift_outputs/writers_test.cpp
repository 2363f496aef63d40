// The number and text forms of the CSV and GeoJSON files.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "shift_outputs/csv_writer.h"
#include "shift_outputs/file_writing.h"
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

std::string csvLine(std::string_view designation) {
  std::ostringstream file;
  writeCsv(oneRow(designation), file);
  return file.str().substr(file.str().find("\r\n") + 2);
}

TEST(Csv, TextsAreUtf8QuotedOnlyWhenTheyNeedIt) {
  struct Case {
    std::string designation, field;
  };
  const Case cases[] = {
      {"A, \"B\"", "\"A, \"\"B\"\"\""},
      {"=HYPERLINK(1)", "=HYPERLINK(1)"},              // kept for the GIS readers
      {"CAF\xC3\x89", "CAF\xC3\x89"},                  // valid UTF-8 kept
      {"CAF\xC9", "CAF\xC3\x89"},                      // a Latin-1 byte
      {"TAB\tCR\r", "\"TAB\tCR\r\""},                  // controls kept, quoted
      {std::string("NUL\0X", 5), "NUL\xEF\xBF\xBDX"},  // GDAL would end the line at a NUL
  };
  for (const Case& c : cases) {
    EXPECT_EQ(csvLine(c.designation),
              "P1,," + c.field + ",only_in_1st,false,41.120000000,-96.800000000,,,,,,,,,\r\n");
  }
}

std::vector<std::string> commaFields(std::string line) {
  std::vector<std::string> fields;
  std::istringstream in(line.substr(0, line.find('\r')));
  for (std::string field; std::getline(in, field, ',');) fields.push_back(field);
  return fields;
}

TEST(Csv, TypesFileNamesEveryColumnSsnAsText) {
  std::ostringstream csv, types;
  writeCsv(oneRow("X"), csv);
  writeCsvTypes(ShiftResults{}, types);
  const std::vector<std::string> header = commaFields(csv.str());
  const std::vector<std::string> type = commaFields(types.str());
  ASSERT_EQ(header.size(), type.size());
  ASSERT_EQ(commaFields(csvLine("X")).size() + 1, header.size());  // getline drops the empty last field
  for (std::size_t i = 0; i < header.size(); ++i) {
    const bool text = header[i] == "pid" || header[i] == "ssn" || header[i] == "designation" ||
                      header[i] == "status" || header[i] == "hemispheres_differ";
    EXPECT_EQ(type[i], text ? "\"String\"" : "\"Real\"") << header[i];
  }
}

TEST(GeoJson, FeaturesAreNumberedFromOne) {
  ShiftResults results = oneRow("X");
  results.rows.push_back(results.rows[0]);
  std::ostringstream file;
  writeGeoJson(results, file);
  EXPECT_NE(file.str().find(R"({"type":"Feature","id":1,"geometry")"), std::string::npos);
  EXPECT_NE(file.str().find(R"({"type":"Feature","id":2,"geometry")"), std::string::npos);
}

TEST(Files, WrittenTwoAtATimeAsOneAfterTheOther) {
  const ShiftResults results = oneRow("X");
  std::vector<const OutputFile*> files;
  for (const OutputFormat& format : outputFormats()) {
    for (const OutputFile& file : format.files) files.push_back(&file);
  }
  std::vector<std::ostringstream> parallel(files.size());
  std::vector<std::ostream*> streams;
  for (std::ostringstream& stream : parallel) streams.push_back(&stream);
  EXPECT_EQ(writeFiles(files, results, {}, streams), std::nullopt);
  for (std::size_t i = 0; i < files.size(); ++i) {
    std::ostringstream alone;
    files[i]->write(results, {}, alone);
    EXPECT_EQ(parallel[i].str(), alone.str()) << files[i]->extension;
  }

  // The first stream that fails, in the files' order, is told.
  std::vector<std::ostringstream> failing(files.size());
  streams.clear();
  for (std::ostringstream& stream : failing) streams.push_back(&stream);
  failing[3].setstate(std::ios::badbit);
  failing[5].setstate(std::ios::badbit);
  EXPECT_EQ(writeFiles(files, results, {}, streams), std::optional<std::size_t>(3));
}

}  // namespace
}  // namespace tessovane2::shifts
