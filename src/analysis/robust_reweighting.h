// The iteratively reweighted fit that makes a least-squares step robust:
// marks that moved must not drag the systematic part along.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

#include "analysis/planar_similarity.h"
#include "analysis/spatial_similarity.h"

namespace tessovane2::analysis {

// Weights below this residual length stop growing (metres): 0.1 mm.
inline constexpr double kResidualFloor = 1e-4;
// The fit has settled when no fitted shift changes by more than this (metres).
inline constexpr double kSettledChange = 1e-6;
inline constexpr int kMaximumIterations = 100;

// The length of a - b (metres), in space, in the plane and along a line:
// the horizontal and the vertical parts are reweighted by their own lengths
// (against the length of a 3D vector with zero components, that saves two
// square roots a mark and step in the vertical part, whose reweighting took
// the most samples of `perf record` in a run with --fit similarity).
inline double distance(const SpatialVector& a, const SpatialVector& b) {
  const double dx = a.x - b.x, dy = a.y - b.y, dz = a.z - b.z;
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}
inline double distance(const PlanarVector& a, const PlanarVector& b) {
  const double dx = a.x - b.x, dy = a.y - b.y;
  return std::sqrt(dx * dx + dy * dy);
}
inline double distance(double a, double b) { return std::fabs(a - b); }

template <class Model>
struct Reweighting {
  Model model;  // of the last step
  int iterations;
  bool converged;  // false when it stopped at kMaximumIterations
};

// Starts from equal weights and refits with w = 1 / max(|v|, kResidualFloor)
// for each mark's residual v = observed - fitted, until no fitted shift
// changes by more than kSettledChange. At convergence this minimises the sum
// of |v|: an L1 fit (the iterative weighted similarity transformation of
// deformation analysis).
//   fit(std::span<const double> weights) -> Model: a weighted fit;
//   fittedAt(const Model&, i) and observedAt(i): the fitted and the observed
//   shift at mark i (metres), for i < count, as a SpatialVector, a
//   PlanarVector or a double (up).
// The fitted shifts are evaluated from the models, not kept (two vectors of
// them cost 10 MB on 200,000 marks); one pass over the marks gives both the
// change since the last step and the weights for the next.
template <class Fit, class FittedAt, class ObservedAt>
auto reweight(std::size_t count, const Fit& fit, const FittedAt& fittedAt, const ObservedAt& observedAt) {
  std::vector<double> weights(count, 1.0);
  Reweighting<decltype(fit(weights))> run{fit(weights), 1, false};
  auto previous = run.model;
  for (;;) {
    // Settled when no fitted shift changed by more than kSettledChange: an
    // and over the marks rather than their largest change, which lets the
    // compiler take two marks at a time.
    // (In the first step `previous` is the model itself.)
    bool settled = true;
    for (std::size_t i = 0; i < count; ++i) {
      const auto fitted = fittedAt(run.model, i);
      settled &= !(distance(fitted, fittedAt(previous, i)) > kSettledChange);
      // `fit` is done with the last weights.
      weights[i] = 1.0 / std::max(distance(observedAt(i), fitted), kResidualFloor);
    }
    if (run.iterations > 1 && settled) {
      run.converged = true;
      return run;
    }
    if (run.iterations == kMaximumIterations) return run;
    previous = run.model;
    run.model = fit(weights);
    run.iterations += 1;
  }
}

}  // namespace tessovane2::analysis
