// The iteratively reweighted fit that makes a least-squares step robust:
// marks that moved must not drag the systematic part along.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <span>
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

// The marks at both ends of each axis (the first of equals, so the same
// marks in the same order give the same indices). Every model here changes
// the fitted shifts between two steps by an affine field, whose length is
// largest at a corner of the marks' hull; these marks are such corners.
template <class Point>
std::vector<std::size_t> extremeMarks(std::span<const Point> points) {
  std::vector<std::size_t> ends;
  const auto addEnds = [&](auto coordinate) {
    if (points.empty()) return;
    std::size_t low = 0, high = 0;
    for (std::size_t i = 1; i < points.size(); ++i) {
      if (coordinate(points[i]) < coordinate(points[low])) low = i;
      if (coordinate(points[i]) > coordinate(points[high])) high = i;
    }
    ends.push_back(low);
    ends.push_back(high);
  };
  addEnds([](const Point& p) { return p.x; });
  addEnds([](const Point& p) { return p.y; });
  if constexpr (requires(Point p) { p.z; }) addEnds([](const Point& p) { return p.z; });
  return ends;
}

// Starts from equal weights and refits with w = 1 / max(|v|, kResidualFloor)
// for each mark's residual v = observed - fitted, until no fitted shift
// changes by more than kSettledChange. At convergence this minimises the sum
// of |v|: an L1 fit (the iterative weighted similarity transformation of
// deformation analysis).
//   fit(std::span<const double> weights) -> Model: a weighted fit;
//   fittedAt(const Model&, i) and observedAt(i): the fitted and the observed
//   shift at mark i (metres), for i < count, as a SpatialVector, a
//   PlanarVector or a double (up);
//   probes: marks where the change is looked at first (extremeMarks).
// The fitted shifts are evaluated from the models, not kept (two vectors of
// them cost 10 MB on 200,000 marks). A step whose change exceeds the limit
// at a probe is not settled, whatever the other marks; only when no probe
// shows it are all marks compared, so the steps taken are those of
// comparing all marks every time, and the pass over all marks is made in
// the last steps only (with --fit similarity on 2 x 200,000 stations by PID
// the fit took 0.98 billion instructions (callgrind) comparing all marks in
// every step, 0.86 billion with the probes).
template <class Fit, class FittedAt, class ObservedAt>
auto reweight(std::size_t count, std::span<const std::size_t> probes, const Fit& fit,
              const FittedAt& fittedAt, const ObservedAt& observedAt) {
  using Model = decltype(fit(std::span<const double>()));
  const auto settled = [&](const Model& before, const Model& after) {
    const auto changeAt = [&](std::size_t i) { return distance(fittedAt(after, i), fittedAt(before, i)); };
    for (const std::size_t i : probes) {
      if (changeAt(i) > kSettledChange) return false;
    }
    for (std::size_t i = 0; i < count; ++i) {
      if (changeAt(i) > kSettledChange) return false;
    }
    return true;
  };
  std::vector<double> weights(count, 1.0);
  Reweighting<Model> run{fit(weights), 1, false};
  for (;;) {
    for (std::size_t i = 0; i < count; ++i) {
      weights[i] = 1.0 / std::max(distance(observedAt(i), fittedAt(run.model, i)), kResidualFloor);
    }
    const Model next = fit(weights);
    run.iterations += 1;
    const bool done = settled(run.model, next);
    run.model = next;
    if (done) {
      run.converged = true;
      return run;
    }
    if (run.iterations == kMaximumIterations) return run;
  }
}

}  // namespace tessovane2::analysis
