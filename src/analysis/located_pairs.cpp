#include "analysis/located_pairs.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "analysis/row_fit.h"

namespace tessovane2::analysis {

namespace {

// The residuals of a located row from the systematic part at its 1st-file
// position: shift minus systematic part, as for the pairs of the fit.
shifts::RowFit locatedFit(const shifts::ShiftRow& row, const shifts::RowFit& systematic,
                          const shifts::SystematicChange& change) {
  shifts::RowFit f;
  f.fitDn = systematic.fitDn;
  f.fitDe = systematic.fitDe;
  f.fitDu = systematic.fitDu;
  f.resDn = row.dn - f.fitDn;
  f.resDe = row.de - f.fitDe;
  f.resDu = row.du - f.fitDu;
  f.resHorizontal = residualLength(f.resDn, f.resDe);
  f.resSigma = f.resHorizontal / change.sigmaH;
  f.outlier = f.resSigma > change.sigmaLimit;
  return f;
}

}  // namespace

LocatedResults pairLocated(std::span<const shifts::ShiftRow> rows, std::span<const shifts::ShiftRow> located,
                           const shifts::LocationMatches& matches,
                           const std::optional<shifts::SystematicChange>& fit,
                           std::span<const shifts::RowFit> atFirstOnly) {
  constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  // For each 2nd-file row of an accepted pair: the pair's number; the 1st-file rows go.
  std::vector<std::size_t> pairAt(rows.size(), kNone);
  std::vector<bool> gone(rows.size(), false);
  for (std::size_t p = 0; p < matches.acceptedRows.size(); ++p) {
    const std::size_t firstRow = matches.acceptedRows[p];
    pairAt[matches.rows[firstRow].partner] = p;
    gone[firstRow] = true;
  }
  LocatedResults out;
  out.matches.radius = matches.radius;
  out.matches.paired = true;
  out.matches.acceptedPairs = matches.acceptedPairs;
  out.matches.ambiguous = matches.ambiguous;
  out.matches.none = matches.none;
  if (fit) {
    out.fit = *fit;
    out.fit->rows.clear();
  }
  std::vector<std::size_t> newRow(rows.size(), kNone);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (gone[i]) continue;
    newRow[i] = out.rows.size();
    if (pairAt[i] == kNone) {
      out.rows.push_back(rows[i]);
      out.matches.rows.push_back(matches.rows[i]);
      if (fit) out.fit->rows.push_back(fit->rows[i]);
      continue;
    }
    const std::size_t firstRow = matches.acceptedRows[pairAt[i]];
    out.rows.push_back(located[pairAt[i]]);
    out.matches.rows.push_back(matches.rows[firstRow]);
    out.matches.acceptedRows.push_back(out.rows.size() - 1);
    if (fit) {
      const shifts::RowFit f = locatedFit(out.rows.back(), atFirstOnly[firstRow], *fit);
      out.fit->outliers += f.outlier ? 1 : 0;
      out.fit->rows.push_back(f);
    }
  }
  // Partners of the remaining candidates (ambiguous ones) by their new row
  // numbers; a partner that went into a located row points there.
  for (shifts::RowCandidate& c : out.matches.rows) {
    if (c.status == shifts::CandidateStatus::None || !c.searched) continue;
    const std::size_t target = gone[c.partner] ? matches.rows[c.partner].partner : c.partner;
    c.partner = newRow[target];
  }
  if (out.fit) out.fit->largestResiduals = largestResiduals(out.fit->rows);
  return out;
}

}  // namespace tessovane2::analysis
