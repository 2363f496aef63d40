// Weighted least squares of up = offset (+ tiltX x + tiltY y). The plane is
// solved about the weighted centroid, where the offset and the tilts are
// uncorrelated: the tilts from the 2 x 2 normal equations
//   [Sxx Sxy; Sxy Syy] [tiltX; tiltY] = [sum w x u; sum w y u],
// the offset at the centroid the weighted mean, then moved to the origin.
// sigma0^2 = sum w v^2 / (n - p) with p = 1 or 3; the covariance of the tilts
// is sigma0^2 times the inverse normal matrix, and at the origin
// var(offset) = sigma0^2 (1 / sum w + c' inv(N) c) for the centroid c.
#include "analysis/vertical_fit.h"

#include <cmath>
#include <cstddef>

namespace tessovane2::analysis {

namespace {
constexpr double kOne = 1.0;
}  // namespace

namespace {

// The solution and the sums its standard deviations need.
struct VerticalSolution {
  bool solved;  // false without marks or weight
  bool plane;
  VerticalSurface surface;
  double sumW, meanX, meanY, sxx, sxy, syy, determinant;
};

VerticalSolution solveVertical(VerticalModel model, std::span<const PlanarVector> position,
                               std::span<const double> up, std::span<const double> weights) {
  const std::size_t n = up.size();
  double sumW = 0, sumX = 0, sumY = 0, sumU = 0;
  for (std::size_t i = 0; i < n; ++i) {
    sumW += weights[i];
    sumX += weights[i] * position[i].x;
    sumY += weights[i] * position[i].y;
    sumU += weights[i] * up[i];
  }
  if (n == 0 || !(sumW > 0)) {
    return {};
  }
  const double meanX = sumX / sumW, meanY = sumY / sumW, meanU = sumU / sumW;
  double sxx = 0, sxy = 0, syy = 0, sxu = 0, syu = 0;
  if (model == VerticalModel::Plane) {
    for (std::size_t i = 0; i < n; ++i) {
      const double x = position[i].x - meanX, y = position[i].y - meanY, u = up[i] - meanU;
      sxx += weights[i] * x * x;
      sxy += weights[i] * x * y;
      syy += weights[i] * y * y;
      sxu += weights[i] * x * u;
      syu += weights[i] * y * u;
    }
  }
  const double determinant = sxx * syy - sxy * sxy;
  const bool plane = model == VerticalModel::Plane && determinant > 0;
  VerticalSurface s{};
  if (plane) {
    s.tiltX = (syy * sxu - sxy * syu) / determinant;
    s.tiltY = (sxx * syu - sxy * sxu) / determinant;
  }
  s.offset = meanU - s.tiltX * meanX - s.tiltY * meanY;
  return {true, plane, s, sumW, meanX, meanY, sxx, sxy, syy, determinant};
}

}  // namespace

VerticalSurface verticalSurface(VerticalModel model, std::span<const PlanarVector> position,
                                std::span<const double> up, std::span<const double> weights) {
  return solveVertical(model, position, up, weights).surface;
}

VerticalFit fitVertical(VerticalModel model, std::span<const PlanarVector> position,
                        std::span<const double> up, std::span<const double> weights) {
  const VerticalSolution solution = solveVertical(model, position, up, weights);
  VerticalFit fit{};
  if (!solution.solved) {
    return fit;
  }
  fit.surface = solution.surface;
  const std::size_t n = up.size();
  double sumWvv = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const double v = up[i] - verticalShiftAt(fit.surface, position[i]);
    sumWvv += weights[i] * v * v;
  }
  const double unknowns = model == VerticalModel::Plane ? 3.0 : 1.0;
  const double redundancy = static_cast<double>(n) - unknowns;
  fit.sigma0 = redundancy > 0 ? std::sqrt(sumWvv / redundancy) : 0.0;
  if (solution.plane) {
    const double sxx = solution.sxx, sxy = solution.sxy, syy = solution.syy;
    const double determinant = solution.determinant, meanX = solution.meanX, meanY = solution.meanY;
    // inv(N) = [syy -sxy; -sxy sxx] / determinant.
    fit.sigmaTiltX = fit.sigma0 * std::sqrt(syy / determinant);
    fit.sigmaTiltY = fit.sigma0 * std::sqrt(sxx / determinant);
    const double centroidTerm =
        (syy * meanX * meanX - 2.0 * sxy * meanX * meanY + sxx * meanY * meanY) / determinant;
    fit.sigmaOffset = fit.sigma0 * std::sqrt(kOne / solution.sumW + centroidTerm);
  } else {
    fit.sigmaOffset = fit.sigma0 / std::sqrt(solution.sumW);
  }
  return fit;
}

}  // namespace tessovane2::analysis
