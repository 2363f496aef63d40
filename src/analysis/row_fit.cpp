#include "analysis/row_fit.h"

#include <algorithm>
#include <cmath>
#include <unordered_set>

namespace tessovane2::analysis {

namespace {

using shifts::ShiftRow;
using shifts::ShiftStatus;

bool isPair(ShiftStatus status) {
  return status == ShiftStatus::Matched || status == ShiftStatus::OverHorizontal ||
         status == ShiftStatus::OverVertical || status == ShiftStatus::OverBoth;
}

std::string_view keyOf(const ShiftRow& row, RowKey key) { return key == RowKey::Pid ? row.pid : row.ssn; }

std::string_view modelName(FitModel model) {
  switch (model) {
    case FitModel::Translation:
      return "translation";
    case FitModel::Similarity:
      return "similarity";
    case FitModel::Similarity3d:
      return "similarity3d";
  }
  return "";
}

std::string_view verticalName(FitVertical vertical) {
  switch (vertical) {
    case FitVertical::Offset:
      return "offset";
    case FitVertical::Plane:
      return "plane";
    case FitVertical::None:
      return "none";
  }
  return "";
}

bool overHorizontal(const ShiftRow& row) {
  return row.status == ShiftStatus::OverHorizontal || row.status == ShiftStatus::OverBoth;
}
bool overVertical(const ShiftRow& row) {
  return row.status == ShiftStatus::OverVertical || row.status == ShiftStatus::OverBoth;
}

}  // namespace

// The ten rows of largest residual, largest first; ties by row number.
std::vector<std::size_t> largestResiduals(const std::vector<shifts::RowFit>& fits) {
  std::vector<std::size_t> order;
  for (std::size_t i = 0; i < fits.size(); ++i) {
    if (!std::isnan(fits[i].resHorizontal)) order.push_back(i);
  }
  const std::size_t count = std::min<std::size_t>(10, order.size());
  std::partial_sort(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(count), order.end(),
                    [&](std::size_t a, std::size_t b) {
                      if (fits[a].resHorizontal != fits[b].resHorizontal) {
                        return fits[a].resHorizontal > fits[b].resHorizontal;
                      }
                      return a < b;
                    });
  order.resize(count);
  return order;
}

std::vector<std::string> stableNames(std::string_view text) {
  std::vector<std::string> names;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    const std::size_t first = line.find_first_not_of(" \t\r");
    if (first == std::string_view::npos || line[first] == '#') continue;
    line = line.substr(first, line.find_last_not_of(" \t\r") - first + 1);
    names.emplace_back(line);
  }
  return names;
}

RowFitOutcome fitRows(std::span<const ShiftRow> rows, const RowFitRequest& request) {
  RowFitOutcome outcome;
  std::unordered_set<std::string_view> stable;
  std::unordered_set<std::string_view> named;
  if (request.stable) stable.insert(request.stable->begin(), request.stable->end());

  const auto firstOnly = [&request](const ShiftRow& row) {
    return request.evaluateFirstOnly && row.status == ShiftStatus::OnlyInFirst;
  };
  // One pass over the rows (some hundred bytes each) for the pairs and the
  // raw counts; the marks are reserved for every row.
  std::vector<FitMark> marks;
  std::vector<std::size_t> rowOfMark;
  marks.reserve(rows.size());
  rowOfMark.reserve(rows.size());
  std::int64_t overHorizontalRaw = 0, overVerticalRaw = 0;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const ShiftRow& row = rows[i];
    overHorizontalRaw += overHorizontal(row) ? 1 : 0;
    overVerticalRaw += overVertical(row) ? 1 : 0;
    if (!isPair(row.status)) continue;
    const std::string_view key = keyOf(row, request.key);
    const bool listed = !request.stable || stable.count(key) > 0;
    if (listed && request.stable) named.insert(key);
    marks.push_back({key, row.lat1, row.lon1, row.h1, row.dn, row.de, row.du, listed && !row.blankKey});
    rowOfMark.push_back(i);
  }
  // The only_in_1st rows follow as marks that never define the fit (no
  // shift, not usable): the fit is evaluated at their positions too, and the
  // pairs' sums, which run over the usable marks alone, stay the same.
  const std::size_t pairMarks = marks.size();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const ShiftRow& row = rows[i];
    if (!firstOnly(row)) continue;
    marks.push_back({keyOf(row, request.key), row.lat1, row.lon1, row.h1, shifts::kMissing, shifts::kMissing,
                     shifts::kMissing, false});
    rowOfMark.push_back(i);
  }
  if (request.stable) {
    for (const std::string& name : *request.stable) {
      if (named.count(name) == 0) outcome.unmatchedStable.push_back(name);
    }
  }

  FitOutcome fit = fitSystematicChange(marks, request.options);
  marks = {};  // 72 bytes a mark, not needed from here on
  if (!fit.result) {
    outcome.refusal = std::move(fit.refusal);
    return outcome;
  }
  const FitResult& result = *fit.result;
  shifts::SystematicChange change;
  change.model = modelName(result.model);
  change.vertical = verticalName(result.vertical);
  for (const FitParameter& p : result.parameters) {
    change.parameters.push_back({p.name, p.unit, p.value, p.standardDeviation});
  }
  change.sigmaH = result.sigmaH;
  change.sigmaV = result.vertical == FitVertical::None && result.model != FitModel::Similarity3d
                      ? shifts::kMissing
                      : result.sigmaV;
  change.sigmaLimit = request.options.sigmaLimit;
  change.pairsUsed = result.pairsUsed;
  change.pairsUsedVertical = result.pairsUsedVertical;
  change.iterations = result.iterations;
  change.converged = result.converged;
  change.rows.resize(rows.size());
  if (request.evaluateFirstOnly) outcome.atFirstOnly.resize(rows.size());
  for (std::size_t m = pairMarks; m < result.marks.size(); ++m) {
    const MarkFit& f = result.marks[m];
    outcome.atFirstOnly[rowOfMark[m]] = {.fitDn = f.fitDn, .fitDe = f.fitDe, .fitDu = f.fitDu};
  }
  for (std::size_t m = 0; m < pairMarks; ++m) {
    const MarkFit& f = result.marks[m];
    change.rows[rowOfMark[m]] = {f.fitDn, f.fitDe,         f.fitDu,    f.resDn,  f.resDe,
                                 f.resDu, f.resHorizontal, f.resSigma, f.outlier};
    change.outliers += f.outlier ? 1 : 0;
  }
  change.overHorizontalRaw = overHorizontalRaw;
  change.overVerticalRaw = overVerticalRaw;
  change.largestResiduals = largestResiduals(change.rows);
  outcome.change = std::move(change);
  return outcome;
}

std::vector<ShiftStatus> statusesByResiduals(std::span<const ShiftRow> rows,
                                             const shifts::SystematicChange& change,
                                             double horizontalTolerance,
                                             std::optional<double> verticalTolerance) {
  std::vector<ShiftStatus> statuses;
  statuses.reserve(rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (!isPair(rows[i].status)) {
      statuses.push_back(rows[i].status);
      continue;
    }
    const shifts::RowFit& f = change.rows[i];
    const bool horizontal = f.resHorizontal > horizontalTolerance;
    const bool vertical =
        verticalTolerance && !std::isnan(f.resDu) && std::fabs(f.resDu) > *verticalTolerance;
    statuses.push_back(horizontal ? (vertical ? ShiftStatus::OverBoth : ShiftStatus::OverHorizontal)
                                  : (vertical ? ShiftStatus::OverVertical : ShiftStatus::Matched));
  }
  return statuses;
}

}  // namespace tessovane2::analysis
