#include "shift_map/page_data.h"

#include <cmath>
#include <string>

#include "format/text_escape.h"
#include "shift_map/map_geometry.h"

namespace tessovane2::shifts {
namespace {

// Columns go out through a buffer of about this size, so that memory stays
// small however many rows there are.
constexpr std::size_t kChunkBytes = 1 << 16;

template <typename Append>
void writeColumn(std::ostream& out, const char* name, std::size_t count, Append append) {
  std::string buffer = std::string(",\n\"") + name + "\":[";
  for (std::size_t i = 0; i < count; ++i) {
    if (i > 0) buffer += ',';
    append(buffer, i);
    if (buffer.size() >= kChunkBytes) {
      out << buffer;
      buffer.clear();
    }
  }
  buffer += ']';
  out << buffer;
}

void writeRowNumbers(std::ostream& out, const std::vector<std::size_t>& rows) {
  out << '[';
  for (std::size_t i = 0; i < rows.size(); ++i) out << (i > 0 ? "," : "") << rows[i];
  out << ']';
}

// The systematic change the run fitted: its model and parameters, and per
// row its systematic part and residual (metres, null where the row has none)
// and whether it is an outlier ('1') or not ('0').
void writeFit(std::ostream& out, const SystematicChange& fit, std::size_t n) {
  out << ",\n\"fit\":{\"model\":" << jsonString(fit.model) << ",\"vertical\":" << jsonString(fit.vertical)
      << ",\"parameters\":[";
  for (std::size_t k = 0; k < fit.parameters.size(); ++k) {
    const FitParameterValue& p = fit.parameters[k];
    out << (k > 0 ? "," : "") << "{\"name\":" << jsonString(p.name) << ",\"unit\":" << jsonString(p.unit)
        << ",\"value\":" << (std::isfinite(p.value) ? shortestNumber(p.value) : "null")
        << ",\"sd\":" << (std::isfinite(p.standardDeviation) ? shortestNumber(p.standardDeviation) : "null")
        << '}';
  }
  out << "],\"sigmaH\":" << (std::isfinite(fit.sigmaH) ? fixedNumber(fit.sigmaH, kShiftDecimals) : "null")
      << ",\"outliers\":" << fit.outliers << '}';
  const auto column = [&](const char* name, double RowFit::*member) {
    writeColumn(out, name, n, [&](std::string& b, std::size_t i) {
      appendFixed(b, i < fit.rows.size() ? fit.rows[i].*member : kMissing, kShiftDecimals);
    });
  };
  column("fitDn", &RowFit::fitDn);
  column("fitDe", &RowFit::fitDe);
  column("fitDu", &RowFit::fitDu);
  column("resDn", &RowFit::resDn);
  column("resDe", &RowFit::resDe);
  column("resDu", &RowFit::resDu);
  std::string outliers = ",\n\"outlier\":\"";
  for (std::size_t i = 0; i < n; ++i) outliers += i < fit.rows.size() && fit.rows[i].outlier ? '1' : '0';
  out << outliers << '"';
}

}  // namespace

char statusLetter(ShiftStatus status) {
  switch (status) {
    case ShiftStatus::Matched:
      return 'm';
    case ShiftStatus::OverHorizontal:
      return 'h';
    case ShiftStatus::OverVertical:
      return 'v';
    case ShiftStatus::OverBoth:
      return 'b';
    case ShiftStatus::OnlyInFirst:
      return '1';
    case ShiftStatus::OnlyInSecond:
      return '2';
    case ShiftStatus::BadPosition:
      return 'x';
    case ShiftStatus::NoKey:
      return 'k';
    case ShiftStatus::Located:
      return 'l';
  }
  return 'm';
}

char shiftClassLetter(const ShiftRow& row, double tolerance) {
  if (row.status == ShiftStatus::OnlyInFirst || row.status == ShiftStatus::OnlyInSecond) return '-';
  switch (shiftClass(row.horizontal, tolerance)) {
    case ShiftClass::Within:
      return '0';
    case ShiftClass::UpToTwice:
      return '1';
    case ShiftClass::BeyondTwice:
      return '2';
  }
  return '2';
}

void writePageData(const ShiftResults& results, const MapLayout& layout, std::ostream& out) {
  const std::vector<ShiftRow>& rows = results.rows;
  const std::size_t n = rows.size();
  const auto number = [](double value, int decimals) { return fixedNumber(value, decimals); };
  const std::optional<double>& vertical = results.run.verticalTolerance;
  out << "{\"format\":1,\n\"tolerance\":" << number(results.run.horizontalTolerance, kShiftDecimals)
      << ",\"verticalTolerance\":" << (vertical ? number(*vertical, kShiftDecimals) : "null")
      << ",\n\"map\":{\"exaggeration\":" << shortestNumber(layout.exaggeration)
      << ",\"exaggerationGiven\":" << (layout.exaggerationGiven ? "true" : "false")
      << ",\"reference\":" << shortestNumber(layout.referenceLength)
      << ",\"width\":" << number(layout.width, kPositionDecimals)
      << ",\"minX\":" << number(layout.bounds.minX, kPositionDecimals)
      << ",\"minY\":" << number(layout.bounds.minY, kPositionDecimals)
      << ",\"maxX\":" << number(layout.bounds.maxX, kPositionDecimals)
      << ",\"maxY\":" << number(layout.bounds.maxY, kPositionDecimals) << "},\n\"palette\":{\"within\":\""
      << kPalette.within << "\",\"upToTwice\":\"" << kPalette.upToTwice << "\",\"beyondTwice\":\""
      << kPalette.beyondTwice << "\",\"onlyInFirst\":\"" << kPalette.onlyInFirst << "\",\"onlyInSecond\":\""
      << kPalette.onlyInSecond << "\",\"station\":\"" << kPalette.station << "\",\"down\":\"" << kPalette.down
      << "\",\"level\":\"" << kPalette.level << "\",\"up\":\"" << kPalette.up << "\"},\n\"count\":" << n;
  writeColumn(out, "x", n,
              [&](std::string& b, std::size_t i) { appendFixed(b, layout.points[i].x, kPositionDecimals); });
  writeColumn(out, "y", n,
              [&](std::string& b, std::size_t i) { appendFixed(b, layout.points[i].y, kPositionDecimals); });
  std::string status = ",\n\"status\":\"";
  for (const ShiftRow& row : rows) status += statusLetter(row.status);
  out << status << '"';
  writeColumn(out, "dn", n,
              [&](std::string& b, std::size_t i) { appendFixed(b, rows[i].dn, kShiftDecimals); });
  writeColumn(out, "de", n,
              [&](std::string& b, std::size_t i) { appendFixed(b, rows[i].de, kShiftDecimals); });
  writeColumn(out, "du", n,
              [&](std::string& b, std::size_t i) { appendFixed(b, rows[i].du, kShiftDecimals); });
  writeColumn(out, "horizontal", n,
              [&](std::string& b, std::size_t i) { appendFixed(b, rows[i].horizontal, kShiftDecimals); });
  writeColumn(out, "azimuth", n, [&](std::string& b, std::size_t i) {
    const std::size_t start = b.size();
    appendFixed(b, rows[i].azimuth, kDirectionDecimals);
    foldWholeTurn(b, start);
  });
  std::string classes = ",\n\"shiftClass\":\"";
  for (const ShiftRow& row : rows) classes += shiftClassLetter(row, results.run.horizontalTolerance);
  out << classes << '"';
  writeColumn(out, "pid", n, [&](std::string& b, std::size_t i) { b += jsonString(rows[i].pid); });
  writeColumn(out, "ssn", n, [&](std::string& b, std::size_t i) { b += jsonString(rows[i].ssn); });
  writeColumn(out, "designation", n,
              [&](std::string& b, std::size_t i) { b += jsonString(rows[i].designation); });
  if (results.fit) writeFit(out, *results.fit, n);
  out << ",\n\"movers\":{\"horizontal\":";
  writeRowNumbers(out, results.summary.largestHorizontal);
  out << ",\"vertical\":";
  writeRowNumbers(out, results.summary.largestVertical);
  out << "}}";
}

}  // namespace tessovane2::shifts
