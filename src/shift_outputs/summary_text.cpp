#include "shift_outputs/summary_text.h"

#include <algorithm>
#include <array>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "format/fixed_columns.h"
#include "format/text_escape.h"
#include "shift_outputs/number_text.h"

namespace tessovane2::shifts {

namespace {

// A figure's column is at least this wide, and always one wider than its
// widest figure, so that figures never run together.
constexpr std::size_t kFigureWidth = 10;
// The identifier columns of the movers' tables, at least: a PID, an SSN and
// a designation, each with a blank after it.
constexpr std::size_t kPidWidth = 7, kSsnWidth = 6, kDesignationWidth = 31;

std::string figure(double value, int decimals = kMetreDecimals) {
  std::string text;
  if (!appendDecimal(text, value, decimals)) text.push_back('-');
  return text;
}

void appendRightIn(std::string& text, std::string_view value, std::size_t width) {
  appendRight(text, value, static_cast<int>(width));
}

void appendLeft(std::string& text, std::string_view value, std::size_t width) {
  text += value;
  const std::size_t used = consoleWidth(value);
  if (used < width) text.append(width - used, ' ');
}

// The width of a column of figures under `heading`.
std::size_t columnWidth(std::string_view heading, std::span<const std::string> figures) {
  std::size_t width = std::max(kFigureWidth, heading.size());
  for (const std::string& f : figures) width = std::max(width, f.size() + 1);
  return width;
}

void appendCount(std::string& text, std::string_view label, std::int64_t count, std::string_view note = {}) {
  text += ' ';
  appendLeft(text, label, 27);
  text += ": ";
  appendInteger(text, count, 8);
  if (!note.empty()) {
    text += "  ";
    text += note;
  }
  text += '\n';
}

std::string toleranceNote(double metres) {
  std::string note = "tolerance ";
  appendDecimal(note, metres, kMetreDecimals);
  note += " m";
  return note;
}

// One row of figures under headings; every column as wide as it needs.
void appendFigureTable(std::string& text, std::string_view title, std::size_t titleWidth,
                       std::span<const std::string_view> headings,
                       std::span<const std::pair<std::string_view, std::vector<double>>> lines) {
  std::vector<std::vector<std::string>> columns(headings.size());
  for (const auto& line : lines) {
    for (std::size_t k = 0; k < headings.size(); ++k) columns[k].push_back(figure(line.second[k]));
  }
  std::vector<std::size_t> widths;
  for (std::size_t k = 0; k < headings.size(); ++k) widths.push_back(columnWidth(headings[k], columns[k]));
  appendLeft(text, title, titleWidth);
  for (std::size_t k = 0; k < headings.size(); ++k) appendRightIn(text, headings[k], widths[k]);
  text += '\n';
  for (std::size_t r = 0; r < lines.size(); ++r) {
    appendLeft(text, lines[r].first, titleWidth);
    for (std::size_t k = 0; k < headings.size(); ++k) appendRightIn(text, columns[k][r], widths[k]);
    text += '\n';
  }
}

// The largest movers: identifiers escaped for the terminal, then three figures.
void appendMovers(std::string& text, std::string_view title, const ShiftResults& results,
                  const std::vector<std::size_t>& movers, std::array<std::string_view, 3> headings,
                  const std::array<std::function<std::string(std::size_t)>, 3>& figures) {
  struct Line {
    std::string pid, ssn, designation;
    std::array<std::string, 3> figures;
  };
  std::vector<Line> lines;
  std::size_t pidWidth = kPidWidth, ssnWidth = kSsnWidth, designationWidth = kDesignationWidth;
  std::array<std::size_t, 3> widths{};
  for (std::size_t k = 0; k < 3; ++k) widths[k] = std::max(kFigureWidth, headings[k].size());
  for (const std::size_t i : movers) {
    const ShiftRow& row = results.rows[i];
    Line& line = lines.emplace_back();
    line.pid = consoleText(row.pid);
    line.ssn = consoleText(row.ssn);
    line.designation = consoleText(row.designation);
    pidWidth = std::max(pidWidth, consoleWidth(line.pid) + 1);
    ssnWidth = std::max(ssnWidth, consoleWidth(line.ssn) + 1);
    designationWidth = std::max(designationWidth, consoleWidth(line.designation) + 1);
    for (std::size_t k = 0; k < 3; ++k) {
      line.figures[k] = figures[k](i);
      widths[k] = std::max(widths[k], line.figures[k].size() + 1);
    }
  }
  text += title;
  text += "\n   ";
  appendLeft(text, "PID", pidWidth);
  appendLeft(text, "SSN", ssnWidth);
  appendLeft(text, "designation", designationWidth);
  for (std::size_t k = 0; k < 3; ++k) appendRightIn(text, headings[k], widths[k]);
  text += '\n';
  for (const Line& line : lines) {
    text += "   ";
    appendLeft(text, line.pid, pidWidth);
    appendLeft(text, line.ssn, ssnWidth);
    appendLeft(text, line.designation, designationWidth);
    for (std::size_t k = 0; k < 3; ++k) appendRightIn(text, line.figures[k], widths[k]);
    text += '\n';
  }
}

void appendSystematicChange(std::string& text, const ShiftResults& results) {
  const SystematicChange& fit = *results.fit;
  const ShiftSummary& s = results.summary;
  text += "\n Systematic change: ";
  text += fit.model;
  text += ", vertical ";
  text += fit.vertical;
  text += "; ";
  appendInteger(text, fit.pairsUsed);
  text += " pairs used, ";
  appendInteger(text, fit.iterations);
  text += fit.converged ? " iterations\n" : " iterations: stopped at the limit before it settled\n";
  // Each figure column as wide as its widest figure, with one blank at least.
  std::vector<std::array<std::string, 2>> numbers;
  std::array<std::size_t, 2> widths = {13, 13};
  for (const FitParameterValue& p : fit.parameters) {
    std::array<std::string, 2>& line = numbers.emplace_back();
    for (std::size_t k = 0; k < 2; ++k) {
      appendDecimal(line[k], k == 0 ? p.value : p.standardDeviation, kFitParameterDecimals);
      widths[k] = std::max(widths[k], line[k].size() + 1);
    }
  }
  text += "   parameter ";
  appendRightIn(text, "value", widths[0]);
  appendRightIn(text, "std dev", widths[1]);
  text += "  unit\n";
  for (std::size_t i = 0; i < fit.parameters.size(); ++i) {
    text += "   ";
    appendLeft(text, fit.parameters[i].name, 10);
    appendRightIn(text, numbers[i][0], widths[0]);
    appendRightIn(text, numbers[i][1], widths[1]);
    text += "  ";
    text += fit.parameters[i].unit;
    text += '\n';
  }
  text += "   sigma_h ";
  text += figure(fit.sigmaH);
  text += " m   sigma_v ";
  text += figure(fit.sigmaV);
  text += " m\n";
  appendCount(text, "Over horizontal, raw", fit.overHorizontalRaw, "by the raw shifts");
  appendCount(text, "Over horizontal, residual", s.overHorizontal, "by the residuals");
  appendCount(text, "Over vertical, raw", fit.overVerticalRaw, "by the raw shifts");
  appendCount(text, "Over vertical, residual", s.overVertical, "by the residuals");
  std::string limit = "residual over ";
  appendDecimal(limit, fit.sigmaLimit, 2);
  limit += " sigma_h";
  appendCount(text, "Outliers", fit.outliers, limit);
  text += '\n';
  const auto residual = [&fit](double RowFit::*member) {
    return [&fit, member](std::size_t i) { return figure(fit.rows[i].*member); };
  };
  appendMovers(text, " Largest residuals (m)", results, fit.largestResiduals, {"residual", "sigma", "res_u"},
               {residual(&RowFit::resHorizontal),
                [&fit](std::size_t i) { return figure(fit.rows[i].resSigma, kSigmaDecimals); },
                residual(&RowFit::resDu)});
}

// --locate: how many stations found a counterpart of each kind, and the
// accepted pairs, 1st-file station first.
void appendLocationSearch(std::string& text, const ShiftResults& results) {
  const LocationMatches& locate = *results.locate;
  text += "\n Location search: radius ";
  appendDecimal(text, locate.radius, kMetreDecimals);
  text += results.fit ? " m about the 1st-file positions moved by the fit\n"
                      : " m about the 1st-file positions\n";
  appendCount(
      text, "Accepted", locate.acceptedPairs,
      locate.paired ? "pairs, paired as located" : "pairs, left unpaired (--pair-located pairs them)");
  appendCount(text, "Ambiguous", locate.ambiguous, "stations, the nearest listed in the outputs");
  appendCount(text, "No candidate", locate.none, "stations");
  if (locate.acceptedRows.empty()) return;
  text += "\n Accepted by location (m)\n   PID    SSN   designation                    ";
  text += "cand. PID  cand. SSN   distance\n";
  for (const std::size_t i : locate.acceptedRows) {
    const ShiftRow& row = results.rows[i];
    const RowCandidate& c = locate.rows[i];
    text += "   ";
    // Each text escaped for the terminal and followed by at least one blank.
    appendLeft(text, consoleText(row.pid) + ' ', 7);
    appendLeft(text, consoleText(row.ssn) + ' ', 6);
    appendLeft(text, consoleText(row.designation) + ' ', 31);
    appendLeft(text, consoleText(c.pid) + ' ', 11);
    appendLeft(text, consoleText(c.ssn) + ' ', 8);
    appendRightIn(text, figure(c.distance), kFigureWidth);
    text += '\n';
  }
}

}  // namespace

std::string summaryText(const ShiftResults& results) {
  const ShiftSummary& s = results.summary;
  const RunFacts& run = results.run;
  std::string text;
  text += " tessovane2_shifts ";
  text += run.version;
  text += ": ";
  text += consoleText(run.first.name);
  text += " -> ";
  text += consoleText(run.second.name);
  text += ", matched by ";
  text += run.searchTypeLabel;
  text += '\n';
  appendCount(text, "Pairs", s.pairs);
  appendCount(text, "Only in the 1st file", s.onlyInFirst);
  appendCount(text, "Only in the 2nd file", s.onlyInSecond);
  appendCount(text, "Over horizontal tolerance", s.overHorizontal, toleranceNote(run.horizontalTolerance));
  appendCount(text, "Over vertical tolerance", s.overVertical,
              run.verticalTolerance ? toleranceNote(*run.verticalTolerance) : "no vertical tolerance");
  appendCount(text, "Pairs by blank keys", s.blankKeyPairs);
  appendCount(text, "Blank keys, not paired", s.noKey, "stations");
  appendCount(text, "Bad positions", s.badPosition, "rows left out of every figure");
  appendCount(text, "Stations without height", s.withoutHeight);
  appendCount(text, "Unlettered hemispheres", s.blankHemisphere, "stations taken as N or W");
  appendCount(text, "Mixed hemisphere pairs", s.mixedHemisphere);

  text += '\n';
  static constexpr std::array<std::string_view, 7> kSpread = {"min", "max", "mean", "rms",
                                                              "p50", "p95", "p99"};
  const std::pair<std::string_view, std::vector<double>> spread[] = {
      {"",
       {s.horizontalMin, s.horizontalMax, s.horizontalMean, s.horizontalRms, s.horizontalP50, s.horizontalP95,
        s.horizontalP99}}};
  appendFigureTable(text, " Horizontal shift (m)", 23, kSpread, spread);

  text += '\n';
  static constexpr std::array<std::string_view, 3> kComponent = {"mean", "std dev", "rms"};
  const std::pair<std::string_view, std::vector<double>> components[] = {
      {"   dn (north)", {s.dn.mean, s.dn.standardDeviation, s.dn.rms}},
      {"   de (east)", {s.de.mean, s.de.standardDeviation, s.de.rms}},
      {"   du (up)", {s.du.mean, s.du.standardDeviation, s.du.rms}}};
  appendFigureTable(text, " Component (m)", 15, kComponent, components);

  text += '\n';
  const auto field = [&](double ShiftRow::*member) {
    return [&results, member](std::size_t i) { return figure(results.rows[i].*member); };
  };
  appendMovers(text, " Largest horizontal shifts (m)", results, s.largestHorizontal,
               {"horizontal", "dn", "de"},
               {field(&ShiftRow::horizontal), field(&ShiftRow::dn), field(&ShiftRow::de)});
  text += '\n';
  appendMovers(text, " Largest vertical shifts (m)", results, s.largestVertical, {"du", "h1", "h2"},
               {field(&ShiftRow::du), field(&ShiftRow::h1), field(&ShiftRow::h2)});
  if (results.fit) appendSystematicChange(text, results);
  if (results.locate) appendLocationSearch(text, results);
  return text;
}

}  // namespace tessovane2::shifts
