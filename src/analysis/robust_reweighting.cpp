#include "analysis/robust_reweighting.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace tessovane2::analysis {

namespace {
double distance(const SpatialVector& a, const SpatialVector& b) {
  const double dx = a.x - b.x, dy = a.y - b.y, dz = a.z - b.z;
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}
}  // namespace

Reweighting reweight(std::span<const SpatialVector> observed, const WeightedStep& step) {
  Reweighting run{std::vector<double>(observed.size(), 1.0), 0, false};
  std::vector<SpatialVector> previous;
  std::vector<double> next(observed.size());
  for (int iteration = 1; iteration <= kMaximumIterations; ++iteration) {
    const std::vector<SpatialVector> fitted = step(run.weights);
    run.iterations = iteration;
    if (!previous.empty()) {
      double change = 0;
      for (std::size_t i = 0; i < fitted.size(); ++i) {
        change = std::max(change, distance(fitted[i], previous[i]));
      }
      if (change <= kSettledChange) {
        run.converged = true;
        return run;
      }
    }
    if (iteration == kMaximumIterations) {
      break;
    }
    for (std::size_t i = 0; i < observed.size(); ++i) {
      next[i] = 1.0 / std::max(distance(observed[i], fitted[i]), kResidualFloor);
    }
    run.weights = next;
    previous = fitted;
  }
  return run;
}

}  // namespace tessovane2::analysis
