#include "shift_outputs/summary_text.h"

#include <string_view>

#include "format/fixed_columns.h"
#include "shift_outputs/number_text.h"

namespace tessovane2::shifts {

namespace {

constexpr int kFigureWidth = 10;

void appendFigure(std::string& text, double value, int decimals = kMetreDecimals) {
  std::string figure;
  const bool present = appendDecimal(figure, value, decimals);
  appendRight(text, present ? std::string_view(figure) : std::string_view("-"), kFigureWidth);
}

void appendLeft(std::string& text, std::string_view value, std::size_t width) {
  text += value;
  if (value.size() < width) text.append(width - value.size(), ' ');
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

void appendComponent(std::string& text, std::string_view name, const ComponentStatistics& s) {
  text += "   ";
  appendLeft(text, name, 12);
  appendFigure(text, s.mean);
  appendFigure(text, s.standardDeviation);
  appendFigure(text, s.rms);
  text += '\n';
}

// A station's identifiers and three figures; the second figure with
// `middleDecimals` decimals.
void appendMover(std::string& text, const ShiftRow& row, double a, double b, double c,
                 int middleDecimals = kMetreDecimals) {
  text += "   ";
  appendLeft(text, row.pid, 7);
  appendLeft(text, row.ssn, 6);
  appendLeft(text, row.designation, 31);
  appendFigure(text, a);
  appendFigure(text, b, middleDecimals);
  appendFigure(text, c);
  text += '\n';
}

std::string toleranceNote(double metres) {
  std::string note = "tolerance ";
  appendDecimal(note, metres, kMetreDecimals);
  note += " m";
  return note;
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
  text += "   parameter            value      std dev  unit\n";
  for (const FitParameterValue& p : fit.parameters) {
    text += "   ";
    appendLeft(text, p.name, 10);
    for (const double value : {p.value, p.standardDeviation}) {
      std::string figure;
      appendDecimal(figure, value, kFitParameterDecimals);
      appendRight(text, figure, 13);
    }
    text += "  ";
    text += p.unit;
    text += '\n';
  }
  text += "   sigma_h";
  appendFigure(text, fit.sigmaH);
  text += " m   sigma_v";
  appendFigure(text, fit.sigmaV);
  text += " m\n";
  appendCount(text, "Over horizontal, raw", fit.overHorizontalRaw, "by the raw shifts");
  appendCount(text, "Over horizontal, residual", s.overHorizontal, "by the residuals");
  appendCount(text, "Over vertical, raw", fit.overVerticalRaw, "by the raw shifts");
  appendCount(text, "Over vertical, residual", s.overVertical, "by the residuals");
  std::string limit = "residual over ";
  appendDecimal(limit, fit.sigmaLimit, 2);
  limit += " sigma_h";
  appendCount(text, "Outliers", fit.outliers, limit);
  text += "\n Largest residuals (m)\n   PID    SSN   designation                    ";
  text += "  residual     sigma     res_u\n";
  for (const std::size_t i : fit.largestResiduals) {
    const RowFit& f = fit.rows[i];
    appendMover(text, results.rows[i], f.resHorizontal, f.resSigma, f.resDu, kSigmaDecimals);
  }
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
    appendLeft(text, row.pid, 7);
    appendLeft(text, row.ssn, 6);
    appendLeft(text, row.designation, 31);
    appendLeft(text, c.pid, 11);
    appendLeft(text, c.ssn, 8);
    appendFigure(text, c.distance);
    text += '\n';
  }
}

}  // namespace

std::string summaryText(const ShiftResults& results) {
  const ShiftSummary& s = results.summary;
  const RunFacts& run = results.run;
  std::string text;
  for (const std::string_view part :
       {std::string_view(" tessovane2_shifts "), std::string_view(run.version), std::string_view(": "),
        std::string_view(run.first.name), std::string_view(" -> "), std::string_view(run.second.name),
        std::string_view(", matched by "), std::string_view(run.searchTypeLabel)}) {
    text += part;
  }
  text += '\n';
  appendCount(text, "Pairs", s.pairs);
  appendCount(text, "Only in the 1st file", s.onlyInFirst);
  appendCount(text, "Only in the 2nd file", s.onlyInSecond);
  appendCount(text, "Over horizontal tolerance", s.overHorizontal, toleranceNote(run.horizontalTolerance));
  appendCount(text, "Over vertical tolerance", s.overVertical,
              run.verticalTolerance ? toleranceNote(*run.verticalTolerance) : "no vertical tolerance");
  appendCount(text, "Pairs by blank keys", s.blankKeyPairs);
  appendCount(text, "Stations without height", s.withoutHeight);
  appendCount(text, "Unlettered hemispheres", s.blankHemisphere, "stations taken as N or W");
  appendCount(text, "Mixed hemisphere pairs", s.mixedHemisphere);

  text += "\n Horizontal shift (m)  ";
  for (const std::string_view name : {"min", "max", "mean", "rms", "p50", "p95", "p99"}) {
    appendRight(text, name, kFigureWidth);
  }
  text += "\n                       ";
  for (const double value : {s.horizontalMin, s.horizontalMax, s.horizontalMean, s.horizontalRms,
                             s.horizontalP50, s.horizontalP95, s.horizontalP99}) {
    appendFigure(text, value);
  }
  text += "\n\n Component (m)";
  for (const std::string_view name : {"mean", "std dev", "rms"}) appendRight(text, name, kFigureWidth);
  text += '\n';
  appendComponent(text, "dn (north)", s.dn);
  appendComponent(text, "de (east)", s.de);
  appendComponent(text, "du (up)", s.du);

  text += "\n Largest horizontal shifts (m)\n   PID    SSN   designation                    ";
  text += "horizontal        dn        de\n";
  for (const std::size_t i : s.largestHorizontal) {
    const ShiftRow& row = results.rows[i];
    appendMover(text, row, row.horizontal, row.dn, row.de);
  }
  text += "\n Largest vertical shifts (m)\n   PID    SSN   designation                    ";
  text += "        du        h1        h2\n";
  for (const std::size_t i : s.largestVertical) {
    const ShiftRow& row = results.rows[i];
    appendMover(text, row, row.du, row.h1, row.h2);
  }
  if (results.fit) appendSystematicChange(text, results);
  if (results.locate) appendLocationSearch(text, results);
  return text;
}

}  // namespace tessovane2::shifts
