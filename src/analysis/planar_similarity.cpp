// Weighted 2D similarity, closed form (e.g. E. M. Mikhail, F. Ackermann,
// Observations and Least Squares (1976), the four-parameter conformal
// transformation). With coordinates about the weighted centroids:
//   a = sum w (x X + y Y) / sum w (x^2 + y^2),  b = sum w (x Y - y X) / sum w (x^2 + y^2),
// then the translations from the centroids. Written here for the shifts
// d = target - source, so that X = x + dx and a - 1 = sum w (x dx + y dy) / S:
// the same solution, without the cancellation of a - 1 at a few ppm.
// Standard deviations: sigma0^2 = sum w |v|^2 / (2n - 4) (2n - 2 for a
// translation), sigma_a = sigma_b = sigma0 / sqrt(S), and at the origin
// var(t) = sigma0^2 (1 / sum w + |centroid|^2 / S), since the centroid's shift
// and (a, b) are uncorrelated.
#include "analysis/planar_similarity.h"

#include <cmath>
#include <cstddef>

namespace tessovane2::analysis {

namespace {
constexpr double kOne = 1.0;
}  // namespace

namespace {

// The solution and the sums its standard deviations need.
struct PlanarSolution {
  bool solved;  // false without points or weight
  bool similarity;
  PlanarSimilarity transform;
  double sumW, meanX, meanY, spread;
};

PlanarSolution solvePlanarSimilarity(PlanarModel model, std::span<const PlanarVector> source,
                                     std::span<const PlanarVector> shift, std::span<const double> weights) {
  const std::size_t n = source.size();
  double sumW = 0, sumX = 0, sumY = 0, sumDx = 0, sumDy = 0;
  for (std::size_t i = 0; i < n; ++i) {
    sumW += weights[i];
    sumX += weights[i] * source[i].x;
    sumY += weights[i] * source[i].y;
    sumDx += weights[i] * shift[i].x;
    sumDy += weights[i] * shift[i].y;
  }
  if (n == 0 || !(sumW > 0)) {
    return {};
  }
  const double meanX = sumX / sumW, meanY = sumY / sumW;
  const double meanDx = sumDx / sumW, meanDy = sumDy / sumW;
  double spread = 0, along = 0, across = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const double x = source[i].x - meanX, y = source[i].y - meanY;
    const double dx = shift[i].x - meanDx, dy = shift[i].y - meanDy;
    spread += weights[i] * (x * x + y * y);
    along += weights[i] * (x * dx + y * dy);
    across += weights[i] * (x * dy - y * dx);
  }
  PlanarSimilarity t{};
  const bool similarity = model == PlanarModel::Similarity && spread > 0;
  if (similarity) {
    t.aMinusOne = along / spread;
    t.b = across / spread;
  }
  t.tx = meanDx - t.aMinusOne * meanX + t.b * meanY;
  t.ty = meanDy - t.b * meanX - t.aMinusOne * meanY;
  return {true, similarity, t, sumW, meanX, meanY, spread};
}

}  // namespace

PlanarSimilarity planarSimilarity(PlanarModel model, std::span<const PlanarVector> source,
                                  std::span<const PlanarVector> shift, std::span<const double> weights) {
  return solvePlanarSimilarity(model, source, shift, weights).transform;
}

PlanarSimilarityFit fitPlanarSimilarity(PlanarModel model, std::span<const PlanarVector> source,
                                        std::span<const PlanarVector> shift,
                                        std::span<const double> weights) {
  const PlanarSolution solution = solvePlanarSimilarity(model, source, shift, weights);
  PlanarSimilarityFit fit{};
  if (!solution.solved) {
    return fit;
  }
  fit.transform = solution.transform;
  const std::size_t n = source.size();
  double sumWvv = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const PlanarVector fitted = planarShiftAt(fit.transform, source[i]);
    const double vx = shift[i].x - fitted.x, vy = shift[i].y - fitted.y;
    sumWvv += weights[i] * (vx * vx + vy * vy);
  }
  const double unknowns = model == PlanarModel::Similarity ? 4.0 : 2.0;
  const double redundancy = 2.0 * static_cast<double>(n) - unknowns;
  fit.sigma0 = redundancy > 0 ? std::sqrt(sumWvv / redundancy) : 0.0;
  const double meanX = solution.meanX, meanY = solution.meanY, spread = solution.spread;
  if (solution.similarity) {
    fit.sigmaAB = fit.sigma0 / std::sqrt(spread);
    fit.sigmaTranslation =
        fit.sigma0 * std::sqrt(kOne / solution.sumW + (meanX * meanX + meanY * meanY) / spread);
  } else {
    fit.sigmaTranslation = fit.sigma0 / std::sqrt(solution.sumW);
  }
  return fit;
}

// k^2 - 1 = 2 (a - 1) + (a - 1)^2 + b^2 = q, and k - 1 = q / (1 + sqrt(1 + q)).
double planarScaleMinusOne(const PlanarSimilarity& transform) {
  const double m = transform.aMinusOne;
  const double q = 2.0 * m + m * m + transform.b * transform.b;
  return q / (kOne + std::sqrt(kOne + q));
}

double planarRotation(const PlanarSimilarity& transform) {
  return std::atan2(transform.b, kOne + transform.aMinusOne);
}

}  // namespace tessovane2::analysis
