// The figures of a comparison that the statistics print.
#pragma once

#include <cstdint>

namespace tessovane2 {

struct ComparisonTotals {
  std::int64_t matchedCount = 0;  // matched pairs (report lines)
  std::int64_t exceedCount = 0;   // pairs whose position shift exceeds the tolerance
  double shiftSum = 0.0;          // metres, sum of all position shifts
  double minShift = 0.0;          // metres, smallest position shift (0.0 before any pair)
  double maxShift = 0.0;          // metres, largest position shift (0.0 before any pair)

  // One more pair, whose position shift (metres) is over the tolerance or not.
  void addShift(double positionMetres, bool overTolerance) {
    ++matchedCount;
    if (overTolerance) ++exceedCount;
    shiftSum += positionMetres;
    // The first shift is both the smallest and the largest so far.
    if (matchedCount == 1 || positionMetres < minShift) minShift = positionMetres;
    if (matchedCount == 1 || positionMetres > maxShift) maxShift = positionMetres;
  }
};

}  // namespace tessovane2
