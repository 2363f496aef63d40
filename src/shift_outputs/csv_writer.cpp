#include "shift_outputs/csv_writer.h"

#include <ostream>
#include <string>
#include <string_view>

#include "shift_outputs/number_text.h"

namespace tessovane2::shifts {

namespace {

bool needsQuotes(std::string_view text) {
  for (const char c : text) {
    if (c == ',' || c == '"' || c == '\r' || c == '\n') return true;
  }
  return false;
}

void appendText(std::string& line, std::string_view text) {
  if (!needsQuotes(text)) {
    line += text;
    return;
  }
  line += '"';
  for (const char c : text) {
    if (c == '"') line += '"';
    line += c;
  }
  line += '"';
}

void appendNumber(std::string& line, double value, int decimals) {
  line += ',';
  appendDecimal(line, value, decimals);
}

}  // namespace

void writeCsv(const ShiftResults& results, std::ostream& file) {
  file << "pid,ssn,designation,status,hemispheres_differ,lat1,lon1,h1,lat2,lon2,h2,dn,de,du,horizontal,"
          "azimuth\r\n";
  std::string line;
  for (const ShiftRow& row : results.rows) {
    line.clear();
    appendText(line, row.pid);
    line += ',';
    appendText(line, row.ssn);
    line += ',';
    appendText(line, row.designation);
    line += ',';
    line += statusName(row.status);
    line += row.mixedHemisphere ? ",true" : ",false";
    appendNumber(line, row.lat1, kDegreeDecimals);
    appendNumber(line, row.lon1, kDegreeDecimals);
    appendNumber(line, row.h1, kMetreDecimals);
    appendNumber(line, row.lat2, kDegreeDecimals);
    appendNumber(line, row.lon2, kDegreeDecimals);
    appendNumber(line, row.h2, kMetreDecimals);
    appendNumber(line, row.dn, kMetreDecimals);
    appendNumber(line, row.de, kMetreDecimals);
    appendNumber(line, row.du, kMetreDecimals);
    appendNumber(line, row.horizontal, kMetreDecimals);
    line += ',';
    appendAzimuth(line, row.azimuth);
    line += "\r\n";
    file.write(line.data(), static_cast<std::streamsize>(line.size()));
  }
}

}  // namespace tessovane2::shifts
