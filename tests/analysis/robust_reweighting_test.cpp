// The reweighting's stopping rule: it looks at the probes first, but a step
// is settled only when no mark at all changed by more than the limit.
#include "analysis/robust_reweighting.h"

#include <gtest/gtest.h>

#include <array>
#include <cstddef>
#include <span>

namespace tessovane2::analysis {
namespace {

// Models are step numbers; `changing(model, i)` is mark i's fitted up shift.
template <class FittedAt>
Reweighting<int> run(std::span<const std::size_t> probes, const FittedAt& fittedAt) {
  int steps = 0;
  const auto fit = [&steps](std::span<const double>) { return ++steps; };
  return reweight(5, probes, fit, fittedAt, [](std::size_t) { return 0.0; });
}

TEST(RobustReweighting, SettlesOnlyWhenNoMarkChanges) {
  const std::array<std::size_t, 2> probes = {0, 4};
  // Mark 2, no probe, moves by a metre a step up to step 5, then stays.
  const Reweighting<int> inner = run(probes, [](int model, std::size_t i) {
    return i == 2 && model < 5 ? static_cast<double>(model) : 0.0;
  });
  EXPECT_TRUE(inner.converged);
  EXPECT_EQ(inner.iterations, 6);
  EXPECT_EQ(inner.model, 6);

  // Every mark keeps moving: stopped at the limit, not converged.
  const Reweighting<int> endless =
      run(probes, [](int model, std::size_t) { return static_cast<double>(model); });
  EXPECT_FALSE(endless.converged);
  EXPECT_EQ(endless.iterations, kMaximumIterations);
}

TEST(RobustReweighting, ProbesAreTheEndsOfEachAxis) {
  const std::array<PlanarVector, 5> plane = {{{0, 0}, {-3, 1}, {2, 5}, {4, -1}, {-3, -2}}};
  EXPECT_EQ(extremeMarks<PlanarVector>(plane), (std::vector<std::size_t>{1, 3, 4, 2}));
  const std::array<SpatialVector, 3> space = {{{0, 0, 1}, {1, -1, 0}, {-1, 1, 2}}};
  EXPECT_EQ(extremeMarks<SpatialVector>(space), (std::vector<std::size_t>{2, 1, 1, 2, 1, 2}));
}

}  // namespace
}  // namespace tessovane2::analysis
