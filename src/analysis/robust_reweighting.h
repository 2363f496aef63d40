// The iteratively reweighted fit that makes a least-squares step robust:
// marks that moved must not drag the systematic part along.
#pragma once

#include <functional>
#include <span>
#include <vector>

#include "analysis/spatial_similarity.h"

namespace tessovane2::analysis {

// Weights below this residual length stop growing (metres): 0.1 mm.
inline constexpr double kResidualFloor = 1e-4;
// The fit has settled when no fitted shift changes by more than this (metres).
inline constexpr double kSettledChange = 1e-6;
inline constexpr int kMaximumIterations = 100;

struct Reweighting {
  std::vector<double> weights;  // of the last step
  int iterations;
  bool converged;  // false when it stopped at kMaximumIterations
};

// A weighted fit: given one weight per mark, it fits and returns the fitted
// shift at every mark (metres).
using WeightedStep = std::function<std::vector<SpatialVector>(std::span<const double> weights)>;

// Starts from equal weights and refits with w = 1 / max(|v|, kResidualFloor)
// for each mark's residual v = observed - fitted, until no fitted shift
// changes by more than kSettledChange. At convergence this minimises the sum
// of |v|: an L1 fit (the iterative weighted similarity transformation of
// deformation analysis). The step's last call is the one with the weights
// returned.
Reweighting reweight(std::span<const SpatialVector> observed, const WeightedStep& step);

}  // namespace tessovane2::analysis
