#include "shift_outputs/csv_writer.h"

#include <cmath>
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

// The fit's columns after azimuth: empty where the row has no pair.
void appendFit(std::string& line, const RowFit& fit) {
  for (const double metres :
       {fit.fitDn, fit.fitDe, fit.fitDu, fit.resDn, fit.resDe, fit.resDu, fit.resHorizontal}) {
    appendNumber(line, metres, kMetreDecimals);
  }
  appendNumber(line, fit.resSigma, kSigmaDecimals);
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

void writeCsv(const ShiftResults& results, std::ostream& file) {
  file << "pid,ssn,designation,status,lat1,lon1,h1,lat2,lon2,h2,dn,de,du,horizontal,azimuth"
       << (results.fit ? ",fit_dn,fit_de,fit_du,res_dn,res_de,res_du,res_horizontal,res_sigma,outlier" : "")
       << (results.locate ? ",candidate_pid,candidate_ssn,candidate_distance,candidate_status" : "")
       << "\r\n";
  std::string line;
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
    if (results.fit) appendFit(line, results.fit->rows[i]);
    if (results.locate) appendCandidate(line, results.locate->rows[i]);
    line += "\r\n";
    file.write(line.data(), static_cast<std::streamsize>(line.size()));
  }
}

}  // namespace tessovane2::shifts
