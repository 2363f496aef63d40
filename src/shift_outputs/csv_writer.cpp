#include "shift_outputs/csv_writer.h"

#include <array>
#include <cmath>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "format/text_escape.h"
#include "shift_outputs/number_text.h"

namespace tessovane2::shifts {

namespace {

// The columns of every run, then those of a run with --fit, then those of a
// run with --locate.
constexpr std::size_t kBaseColumns = 16;
constexpr std::size_t kFitColumns = 9;
constexpr std::array<CsvColumn, 29> kColumns = {{
    {"pid", "String"},
    {"ssn", "String"},
    {"designation", "String"},
    {"status", "String"},
    {"hemispheres_differ", "String"},  // true or false
    {"lat1", "Real"},
    {"lon1", "Real"},
    {"h1", "Real"},
    {"lat2", "Real"},
    {"lon2", "Real"},
    {"h2", "Real"},
    {"dn", "Real"},
    {"de", "Real"},
    {"du", "Real"},
    {"horizontal", "Real"},
    {"azimuth", "Real"},
    {"fit_dn", "Real"},
    {"fit_de", "Real"},
    {"fit_du", "Real"},
    {"res_dn", "Real"},
    {"res_de", "Real"},
    {"res_du", "Real"},
    {"res_horizontal", "Real"},
    {"res_sigma", "Real"},
    {"outlier", "String"},
    {"candidate_pid", "String"},
    {"candidate_ssn", "String"},
    {"candidate_distance", "Real"},
    {"candidate_status", "String"},
}};

// Printable ASCII but the comma and the quote: the usual identifier, written
// as it is.
bool plain(char c) { return c >= 0x20 && c < 0x7F && c != ',' && c != '"'; }

void appendText(std::string& line, std::string_view bytes) {
  bool allPlain = true;
  for (const char c : bytes) allPlain = allPlain && plain(c);
  if (allPlain) {
    line += bytes;
    return;
  }
  std::string text = toUtf8Exact(bytes);
  // A NUL ends the line for the readers written in C (GDAL drops the rest of
  // the row): it becomes U+FFFD. Any other control character (a tab, a
  // carriage return) is kept and quoted, so that no reader takes it for a
  // separator or a line end.
  constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
  for (std::size_t at = text.find('\0'); at != std::string::npos; at = text.find('\0', at)) {
    text.replace(at, 1, kReplacement);
  }
  bool quote = false;
  for (const char c : text) {
    const auto u = static_cast<unsigned char>(c);
    quote = quote || c == ',' || c == '"' || u < 0x20 || u == 0x7F;
  }
  if (!quote) {
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

// The fit's columns after azimuth: empty where the row has no pair.
void appendFit(std::string& line, const RowFit& fit) {
  const DecimalField numbers[] = {
      {",", fit.fitDn, kMetreDecimals},         {",", fit.fitDe, kMetreDecimals},
      {",", fit.fitDu, kMetreDecimals},         {",", fit.resDn, kMetreDecimals},
      {",", fit.resDe, kMetreDecimals},         {",", fit.resDu, kMetreDecimals},
      {",", fit.resHorizontal, kMetreDecimals}, {",", fit.resSigma, kSigmaDecimals},
  };
  appendDecimalFields(line, numbers, "");
  line += ',';
  if (!std::isnan(fit.resHorizontal)) line += fit.outlier ? "true" : "false";
}

// The --locate columns: empty on the rows that were not searched (pairs by
// identifier).
void appendCandidate(std::string& line, const RowCandidate& candidate) {
  line += ',';
  appendText(line, candidate.pid);
  line += ',';
  appendText(line, candidate.ssn);
  appendNumber(line, candidate.distance, kMetreDecimals);
  line += ',';
  if (candidate.searched) line += candidateStatusName(candidate.status);
}

}  // namespace

std::vector<CsvColumn> csvColumns(bool withFit, bool withLocate) {
  const std::span<const CsvColumn> all(kColumns);
  std::vector<CsvColumn> columns(all.begin(), all.begin() + kBaseColumns);
  if (withFit)
    columns.insert(columns.end(), all.begin() + kBaseColumns, all.begin() + kBaseColumns + kFitColumns);
  if (withLocate) columns.insert(columns.end(), all.begin() + kBaseColumns + kFitColumns, all.end());
  return columns;
}

void writeCsv(const ShiftResults& results, std::ostream& file) {
  std::string line;
  for (const CsvColumn& column : csvColumns(results.fit.has_value(), results.locate.has_value())) {
    if (!line.empty()) line += ',';
    line += column.name;
  }
  line += "\r\n";
  file.write(line.data(), static_cast<std::streamsize>(line.size()));
  for (std::size_t i = 0; i < results.rows.size(); ++i) {
    const ShiftRow& row = results.rows[i];
    line.clear();
    appendText(line, row.pid);
    line += ',';
    appendText(line, row.ssn);
    line += ',';
    appendText(line, row.designation);
    line += ',';
    line += statusName(row.status);
    line += row.mixedHemisphere ? ",true" : ",false";
    const DecimalField numbers[] = {
        {",", row.lat1, kDegreeDecimals}, {",", row.lon1, kDegreeDecimals},
        {",", row.h1, kMetreDecimals},    {",", row.lat2, kDegreeDecimals},
        {",", row.lon2, kDegreeDecimals}, {",", row.h2, kMetreDecimals},
        {",", row.dn, kMetreDecimals},    {",", row.de, kMetreDecimals},
        {",", row.du, kMetreDecimals},    {",", row.horizontal, kMetreDecimals},
    };
    appendDecimalFields(line, numbers, "");
    line += ',';
    appendAzimuth(line, row.azimuth);
    if (results.fit) appendFit(line, results.fit->rows[i]);
    if (results.locate) appendCandidate(line, results.locate->rows[i]);
    line += "\r\n";
    file.write(line.data(), static_cast<std::streamsize>(line.size()));
  }
}

void writeCsvTypes(const ShiftResults& results, std::ostream& file) {
  std::string line;
  for (const CsvColumn& column : csvColumns(results.fit.has_value(), results.locate.has_value())) {
    if (!line.empty()) line += ',';
    line += '"';
    line += column.type;
    line += '"';
  }
  line += "\r\n";
  file.write(line.data(), static_cast<std::streamsize>(line.size()));
}

}  // namespace tessovane2::shifts
