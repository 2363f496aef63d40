// The robust fit of the systematic change applied to the companion's rows:
// which pairs define it, its values at every row, and the statuses by the
// residuals.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "analysis/systematic_fit.h"
#include "shifts/shift_results.h"

namespace tessovane2::analysis {

enum class RowKey { Pid, Ssn };

struct RowFitRequest {
  FitOptions options;
  RowKey key = RowKey::Pid;
  // With --stable: only pairs whose key is named here define the fit.
  std::optional<std::vector<std::string>> stable;
  double horizontalTolerance = 0.0;         // metres
  std::optional<double> verticalTolerance;  // metres
  // With --locate: the fit is also evaluated at the only_in_1st rows
  // (RowFitOutcome::atFirstOnly).
  bool evaluateFirstOnly = false;
};

struct RowFitOutcome {
  std::optional<shifts::SystematicChange> change;
  std::string refusal;                       // why there is no fit; empty with one
  std::vector<std::string> unmatchedStable;  // names of the stable list that match no pair
  // One per row: the systematic part (fitDn, fitDe, fitDu) at each
  // only_in_1st row's position, where --locate expects its 2nd-file
  // counterpart; kMissing everywhere else. Empty unless the request asks
  // for it (14 MB on 200,000 rows).
  std::vector<shifts::RowFit> atFirstOnly;
};

// Fits the systematic change to the pairs of `rows` and evaluates it at
// every pair, and, when asked, at every only_in_1st row (outcome.atFirstOnly).
// Unpaired rows take no part in the fit.
RowFitOutcome fitRows(std::span<const shifts::ShiftRow> rows, const RowFitRequest& request);

// Every row's status taken from its residuals instead of its raw shift:
// over a tolerance then means moved relative to the network. Unpaired rows
// keep theirs.
std::vector<shifts::ShiftStatus> statusesByResiduals(std::span<const shifts::ShiftRow> rows,
                                                     const shifts::SystematicChange& change,
                                                     double horizontalTolerance,
                                                     std::optional<double> verticalTolerance);

// The ten rows of largest res_horizontal, largest first; ties by row number.
std::vector<std::size_t> largestResiduals(const std::vector<shifts::RowFit>& fits);

// The stable list's names from its text: one PID or SSN a line, blanks
// around it dropped; blank lines and lines starting with '#' ignored.
std::vector<std::string> stableNames(std::string_view text);

}  // namespace tessovane2::analysis
