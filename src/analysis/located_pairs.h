// --pair-located: each accepted candidate pair of --locate becomes one row
// of status located, with its residuals when there is a fit.
#pragma once

#include <optional>
#include <span>
#include <vector>

#include "shifts/shift_results.h"

namespace tessovane2::analysis {

struct LocatedResults {
  std::vector<shifts::ShiftRow> rows;
  shifts::LocationMatches matches;  // one per new row; paired set
  std::optional<shifts::SystematicChange> fit;
};

// Replaces the two rows of every accepted pair (matches.acceptedRows, the
// 1st-file rows, with their partners) by the located row made for it
// (`located`, one per accepted pair in that order, with the shifts of the
// two stations), at the place of the 2nd-file row: the rows keep the 2nd
// file's order. The located row keeps the candidate columns of its 1st-file
// row. With a fit, its systematic part is the one at the 1st-file position
// (`atFirstOnly`, one per row), and its residuals, standard-deviation ratio
// and outlier flag are worked out as for any pair; it counts among the
// outliers and the largest residuals, but never took part in the fit.
LocatedResults pairLocated(std::span<const shifts::ShiftRow> rows, std::span<const shifts::ShiftRow> located,
                           const shifts::LocationMatches& matches,
                           const std::optional<shifts::SystematicChange>& fit,
                           std::span<const shifts::RowFit> atFirstOnly);

}  // namespace tessovane2::analysis
