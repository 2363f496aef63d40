#include "shift_map/html_tables.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <utility>
#include <vector>

#include "format/text_escape.h"
#include "shift_map/map_geometry.h"

namespace tessovane2::shifts {
namespace {

constexpr int kMetreDecimals = 4;
constexpr int kFitDecimals = 6;  // the fit's parameters: metres, arc-seconds, ppm
constexpr const char* kNoValue = "&ndash;";

std::string metres(double value) {
  return std::isfinite(value) ? fixedNumber(value, kMetreDecimals) : std::string(kNoValue);
}

void tableStart(std::string& out, const char* id, const char* caption) {
  out += "<table id=\"";
  out += id;
  out += "\"><caption>";
  out += caption;
  out += "</caption>\n";
}

void labelledRow(std::string& out, std::string_view label, const std::string& valueHtml, bool number = true) {
  out += "<tr><th scope=\"row\">";
  out += label;
  out += number ? "</th><td class=\"num\">" : "</th><td>";
  out += valueHtml;
  out += "</td></tr>\n";
}

// The CSV's status name with blanks for its underscores ("over horizontal").
std::string statusText(ShiftStatus status) {
  std::string text(statusName(status));
  std::replace(text.begin(), text.end(), '_', ' ');
  return text;
}

void moversTable(std::string& out, const ShiftResults& results, const std::vector<std::size_t>& movers,
                 const char* id, const char* caption) {
  tableStart(out, id, caption);
  out +=
      "<thead><tr><th>#</th><th>PID</th><th>SSN</th><th>Designation</th><th>horizontal (m)</th>"
      "<th>dn (m)</th><th>de (m)</th><th>du (m)</th><th>status</th></tr></thead><tbody>\n";
  for (std::size_t rank = 0; rank < movers.size(); ++rank) {
    const std::size_t i = movers[rank];
    if (i >= results.rows.size()) continue;
    const ShiftRow& row = results.rows[i];
    out += "<tr class=\"mover\" data-row=\"" + std::to_string(i) + "\" tabindex=\"0\"><td class=\"num\">" +
           std::to_string(rank + 1) + "</td><td>" + escapeMarkup(row.pid) + "</td><td>" +
           escapeMarkup(row.ssn) + "</td><td>" + escapeMarkup(row.designation) + "</td><td class=\"num\">" +
           metres(row.horizontal) + "</td><td class=\"num\">" + metres(row.dn) + "</td><td class=\"num\">" +
           metres(row.de) + "</td><td class=\"num\">" + metres(row.du) + "</td><td>" +
           statusText(row.status) + "</td></tr>\n";
  }
  if (movers.empty()) out += "<tr><td colspan=\"9\">none</td></tr>\n";
  out += "</tbody></table>\n";
}

// --locate: the counts and the accepted pairs, 1st-file station first. A
// row carries data-row like a mover's, so that the script centres the map
// on the station.
void locationTable(std::string& out, const ShiftResults& results) {
  const LocationMatches& locate = *results.locate;
  tableStart(out, "location-counts", "Location search");
  labelledRow(out, "radius (m)", metres(locate.radius));
  labelledRow(out, "accepted pairs", std::to_string(locate.acceptedPairs));
  labelledRow(out, "ambiguous stations", std::to_string(locate.ambiguous));
  labelledRow(out, "stations without a candidate", std::to_string(locate.none));
  out += "</table>\n";
  tableStart(out, "located", locate.paired ? "Paired by location" : "Accepted by location (left unpaired)");
  out +=
      "<thead><tr><th>#</th><th>PID</th><th>SSN</th><th>Designation</th><th>candidate PID</th>"
      "<th>candidate SSN</th><th>distance (m)</th><th>status</th></tr></thead><tbody>\n";
  for (std::size_t rank = 0; rank < locate.acceptedRows.size(); ++rank) {
    const std::size_t i = locate.acceptedRows[rank];
    if (i >= results.rows.size()) continue;
    const ShiftRow& row = results.rows[i];
    const RowCandidate& c = locate.rows[i];
    out += "<tr class=\"mover\" data-row=\"" + std::to_string(i) + "\" tabindex=\"0\"><td class=\"num\">" +
           std::to_string(rank + 1) + "</td><td>" + escapeMarkup(row.pid) + "</td><td>" +
           escapeMarkup(row.ssn) + "</td><td>" + escapeMarkup(row.designation) + "</td><td>" +
           escapeMarkup(c.pid) + "</td><td>" + escapeMarkup(c.ssn) + "</td><td class=\"num\">" +
           metres(c.distance) + "</td><td>" + statusText(row.status) + "</td></tr>\n";
  }
  if (locate.acceptedRows.empty()) out += "<tr><td colspan=\"8\">none</td></tr>\n";
  out += "</tbody></table>\n";
}

// --fit: the model, each parameter with its standard deviation, the robust
// scales and counts, and the largest residuals (rows carry data-row, as the
// movers' do).
void fitTables(std::string& out, const ShiftResults& results) {
  const SystematicChange& fit = *results.fit;
  tableStart(out, "fit", "Systematic change");
  labelledRow(out, "model", std::string(fit.model) + ", vertical " + std::string(fit.vertical), false);
  labelledRow(out, "pairs used", std::to_string(fit.pairsUsed));
  labelledRow(
      out, "iterations",
      std::to_string(fit.iterations) + (fit.converged ? "" : " (stopped at the limit before it settled)"));
  for (const FitParameterValue& p : fit.parameters) {
    labelledRow(
        out, std::string(p.name) + " (" + std::string(p.unit) + ")",
        fixedNumber(p.value, kFitDecimals) + " &plusmn; " + fixedNumber(p.standardDeviation, kFitDecimals));
  }
  labelledRow(out, "sigma_h (m)", metres(fit.sigmaH));
  labelledRow(out, "sigma_v (m)", metres(fit.sigmaV));
  labelledRow(out, "over the horizontal tolerance, raw", std::to_string(fit.overHorizontalRaw));
  labelledRow(out, "over the horizontal tolerance, by residual",
              std::to_string(results.summary.overHorizontal));
  labelledRow(out, "over the vertical tolerance, raw", std::to_string(fit.overVerticalRaw));
  labelledRow(out, "over the vertical tolerance, by residual", std::to_string(results.summary.overVertical));
  labelledRow(out, "outliers (residual over " + shortNumber(fit.sigmaLimit, 2) + " sigma_h)",
              std::to_string(fit.outliers));
  out += "</table>\n";

  tableStart(out, "largest-residuals", "Largest residuals");
  out +=
      "<thead><tr><th>#</th><th>PID</th><th>SSN</th><th>Designation</th><th>residual (m)</th>"
      "<th>res_dn (m)</th><th>res_de (m)</th><th>res_du (m)</th><th>sigma</th><th>status</th></tr></thead>"
      "<tbody>\n";
  for (std::size_t rank = 0; rank < fit.largestResiduals.size(); ++rank) {
    const std::size_t i = fit.largestResiduals[rank];
    const ShiftRow& row = results.rows[i];
    const RowFit& f = fit.rows[i];
    out += "<tr class=\"mover\" data-row=\"" + std::to_string(i) + "\" tabindex=\"0\"><td class=\"num\">" +
           std::to_string(rank + 1) + "</td><td>" + escapeMarkup(row.pid) + "</td><td>" +
           escapeMarkup(row.ssn) + "</td><td>" + escapeMarkup(row.designation) + "</td><td class=\"num\">" +
           metres(f.resHorizontal) + "</td><td class=\"num\">" + metres(f.resDn) + "</td><td class=\"num\">" +
           metres(f.resDe) + "</td><td class=\"num\">" + metres(f.resDu) + "</td><td class=\"num\">" +
           (std::isfinite(f.resSigma) ? fixedNumber(f.resSigma, 2) : std::string(kNoValue)) + "</td><td>" +
           statusText(row.status) + (f.outlier ? ", outlier" : "") + "</td></tr>\n";
  }
  if (fit.largestResiduals.empty()) out += "<tr><td colspan=\"10\">none</td></tr>\n";
  out += "</tbody></table>\n";
}

}  // namespace

std::string runTables(const ShiftResults& results, const MapLayout& layout) {
  const RunFacts& run = results.run;
  std::string out;
  tableStart(out, "arguments", "The six arguments");
  static constexpr std::array<const char*, 6> kArgumentNames = {"1st file",      "2nd file",   "output name",
                                                                "tolerance (m)", "SSN length", "match type"};
  for (std::size_t i = 0; i < kArgumentNames.size(); ++i) {
    labelledRow(out, kArgumentNames[i], "<code>" + escapeMarkup(run.arguments[i]) + "</code>", false);
  }
  out += "</table>\n";

  tableStart(out, "files", "Files");
  out += "<thead><tr><th></th><th>name</th><th>records</th><th>*80 records</th></tr></thead><tbody>\n";
  for (const auto& [label, facts] :
       {std::pair<const char*, const FileFacts*>{"1st", &run.first}, {"2nd", &run.second}}) {
    out += "<tr><th scope=\"row\">" + std::string(label) + "</th><td><code>" + escapeMarkup(facts->name) +
           "</code></td><td class=\"num\">" + std::to_string(facts->recordCount) + "</td><td class=\"num\">" +
           std::to_string(facts->controlPointCount) + "</td></tr>\n";
  }
  out += "</tbody></table>\n";

  tableStart(out, "run", "Run");
  labelledRow(out, "local time", escapeMarkup(run.localTime), false);
  labelledRow(out, "program", "tessovane2_shifts " + escapeMarkup(run.version), false);
  labelledRow(out, "horizontal tolerance (m)", metres(run.horizontalTolerance));
  labelledRow(out, "vertical tolerance (m)",
              run.verticalTolerance ? metres(*run.verticalTolerance) : std::string("none"));
  if (layout.exaggerationGiven) {
    labelledRow(out, "arrow exaggeration",
                "&times;" + escapeMarkup(shortNumber(layout.exaggeration, 3)) + " (given)");
  } else {
    // The page chooses the factor per view from the robust typical shift.
    std::vector<double> horizontal;
    for (const ShiftRow& row : results.rows) {
      if (!std::isnan(row.horizontal)) horizontal.push_back(row.horizontal);
    }
    const TypicalShift typical = robustTypicalShift(std::move(horizontal));
    labelledRow(out, "arrow exaggeration",
                "per view: the typical shift of " + escapeMarkup(moverLengthLabel(typical.typical)) +
                    " draws " + shortNumber(kArrowTargetPx, 0) + " px");
  }
  out += "</table>\n";
  return out;
}

std::string summaryTables(const ShiftResults& results) {
  const ShiftSummary& s = results.summary;
  std::string out;
  tableStart(out, "counts", "Counts");
  const std::array<std::pair<const char*, std::int64_t>, 11> counts = {{
      {"pairs", s.pairs},
      {"only in the 1st file", s.onlyInFirst},
      {"only in the 2nd file", s.onlyInSecond},
      {"over the horizontal tolerance", s.overHorizontal},
      {"over the vertical tolerance", s.overVertical},
      {"pairs formed by blank keys", s.blankKeyPairs},
      {"stations with a blank key, not paired", s.noKey},
      {"bad positions (left out)", s.badPosition},
      {"stations without height", s.withoutHeight},
      {"blank hemisphere letters (taken as N or W)", s.blankHemisphere},
      {"pairs with different hemisphere letters", s.mixedHemisphere},
  }};
  for (const auto& [label, count] : counts) labelledRow(out, label, std::to_string(count));
  out += "</table>\n";

  tableStart(out, "horizontal-statistics", "Horizontal shift (m)");
  const std::array<std::pair<const char*, double>, 7> horizontal = {{
      {"minimum", s.horizontalMin},
      {"maximum", s.horizontalMax},
      {"mean", s.horizontalMean},
      {"RMS", s.horizontalRms},
      {"50th percentile", s.horizontalP50},
      {"95th percentile", s.horizontalP95},
      {"99th percentile", s.horizontalP99},
  }};
  for (const auto& [label, value] : horizontal) labelledRow(out, label, metres(value));
  out += "</table>\n";

  tableStart(out, "component-statistics", "Components (m)");
  out +=
      "<thead><tr><th></th><th>count</th><th>mean</th><th>standard deviation</th><th>RMS</th></tr></thead>"
      "<tbody>\n";
  for (const auto& [label, c] : {std::pair<const char*, const ComponentStatistics*>{"dn (north)", &s.dn},
                                 {"de (east)", &s.de},
                                 {"du (up)", &s.du}}) {
    out += "<tr><th scope=\"row\">" + std::string(label) + "</th><td class=\"num\">" +
           std::to_string(c->count) + "</td><td class=\"num\">" + metres(c->mean) +
           "</td><td class=\"num\">" + metres(c->standardDeviation) + "</td><td class=\"num\">" +
           metres(c->rms) + "</td></tr>\n";
  }
  out += "</tbody></table>\n";

  moversTable(out, results, s.largestHorizontal, "largest-horizontal", "Largest horizontal movers");
  moversTable(out, results, s.largestVertical, "largest-vertical", "Largest vertical movers (|du|)");
  if (results.fit) fitTables(out, results);
  if (results.locate) locationTable(out, results);
  return out;
}

}  // namespace tessovane2::shifts
