// The rotation: B. K. P. Horn, "Closed-form solution of absolute orientation
// using unit quaternions", J. Opt. Soc. Am. A 4 (1987) 629-642, with weights.
// About the weighted centroids, with S_ab = sum w x_a y_b (x source, y target),
// the unit quaternion is the eigenvector of the largest eigenvalue of
//   [Sxx+Syy+Szz  Syz-Szy      Szx-Sxz      Sxy-Syx    ]
//   [Syz-Szy      Sxx-Syy-Szz  Sxy+Syx      Szx+Sxz    ]
//   [Szx-Sxz      Sxy+Syx     -Sxx+Syy-Szz  Syz+Szy    ]
//   [Sxy-Syx      Szx+Sxz      Syz+Szy     -Sxx-Syy+Szz].
// The scale is Horn's symmetric one from the weighted spreads,
// s^2 = sum w |y|^2 / sum w |x|^2 (section 2.E), and the translation takes
// the source's weighted centroid to the target's.
// Everything is written for the shifts d = y - x: S = P + D with P = sum w x x'
// symmetric and D = sum w x d', so the quaternion's small components come from
// D alone, s^2 - 1 = (2 tr D + sum w |d|^2) / tr P, and
// R - I = 2 w [v]x + 2 [v]x^2 for the quaternion (w, v): a rotation of an
// arc-second keeps all its digits.
// Standard deviations: the model linearised at the solution,
//   dY = dt - s [R x]x dr + R x ds
// (the rotation perturbed as (I + [dr]x) R), its weighted normal matrix N and
// sigma0^2 = sum w |v|^2 / (3n - 7); the covariance is sigma0^2 inv(N).
#include "analysis/spatial_similarity.h"

#include <Eigen/Dense>
#include <cmath>
#include <cstddef>

namespace tessovane2::analysis {

namespace {
constexpr double kOne = 1.0;

Eigen::Vector3d vectorOf(const SpatialVector& v) { return {v.x, v.y, v.z}; }

// (R - I) p = 2 w (v x p) + 2 (v (v . p) - |v|^2 p).
Eigen::Vector3d rotationMinusIdentity(const SpatialSimilarity& t, const Eigen::Vector3d& p) {
  const double w = t.quaternion[0];
  const Eigen::Vector3d v(t.quaternion[1], t.quaternion[2], t.quaternion[3]);
  return 2.0 * w * v.cross(p) + 2.0 * (v * v.dot(p) - v.squaredNorm() * p);
}

// t + (s R - I) p = t + (s - 1) R p + (R - I) p.
Eigen::Vector3d shiftAt(const SpatialSimilarity& t, const Eigen::Vector3d& p) {
  const Eigen::Vector3d turn = rotationMinusIdentity(t, p);
  const Eigen::Vector3d translation(t.translation[0], t.translation[1], t.translation[2]);
  return translation + t.scaleMinusOne * (p + turn) + turn;
}

Eigen::Matrix3d cross(const Eigen::Vector3d& a) {
  Eigen::Matrix3d m;
  m << 0.0, -a.z(), a.y(), a.z(), 0.0, -a.x(), -a.y(), a.x(), 0.0;
  return m;
}
}  // namespace

SpatialSimilarityFit fitSpatialSimilarity(std::span<const SpatialVector> source,
                                          std::span<const SpatialVector> shift,
                                          std::span<const double> weights) {
  const std::size_t n = source.size();
  double sumW = 0;
  Eigen::Vector3d sumX = Eigen::Vector3d::Zero(), sumD = Eigen::Vector3d::Zero();
  for (std::size_t i = 0; i < n; ++i) {
    sumW += weights[i];
    sumX += weights[i] * vectorOf(source[i]);
    sumD += weights[i] * vectorOf(shift[i]);
  }
  SpatialSimilarityFit fit{};
  fit.transform.quaternion[0] = kOne;
  if (n == 0 || !(sumW > 0)) {
    return fit;
  }
  const Eigen::Vector3d meanX = sumX / sumW, meanD = sumD / sumW;
  Eigen::Matrix3d p = Eigen::Matrix3d::Zero(), d = Eigen::Matrix3d::Zero();
  double shiftSpread = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const Eigen::Vector3d x = vectorOf(source[i]) - meanX, dx = vectorOf(shift[i]) - meanD;
    p += weights[i] * (x * x.transpose());
    d += weights[i] * (x * dx.transpose());
    shiftSpread += weights[i] * dx.squaredNorm();
  }
  const Eigen::Matrix3d s = p + d;
  Eigen::Matrix4d horn;
  horn << s(0, 0) + s(1, 1) + s(2, 2), d(1, 2) - d(2, 1), d(2, 0) - d(0, 2), d(0, 1) - d(1, 0),  //
      d(1, 2) - d(2, 1), s(0, 0) - s(1, 1) - s(2, 2), s(0, 1) + s(1, 0), s(2, 0) + s(0, 2),      //
      d(2, 0) - d(0, 2), s(0, 1) + s(1, 0), -s(0, 0) + s(1, 1) - s(2, 2), s(1, 2) + s(2, 1),     //
      d(0, 1) - d(1, 0), s(2, 0) + s(0, 2), s(1, 2) + s(2, 1), -s(0, 0) - s(1, 1) + s(2, 2);
  const Eigen::SelfAdjointEigenSolver<Eigen::Matrix4d> eigen(horn);
  Eigen::Vector4d q = eigen.eigenvectors().col(3);  // eigenvalues ascending
  if (q(0) < 0) {
    q = -q;
  }
  q.normalize();
  SpatialSimilarity& t = fit.transform;
  for (int k = 0; k < 4; ++k) {
    t.quaternion[k] = q(k);
  }
  const Eigen::Vector3d axis(q(1), q(2), q(3));
  const double half = axis.norm();
  const Eigen::Vector3d rotation =
      half > 0 ? Eigen::Vector3d(axis * (2.0 * std::atan2(half, q(0)) / half)) : Eigen::Vector3d::Zero();
  const double trace = p.trace();
  const double spreadRatioMinusOne = trace > 0 ? (2.0 * d.trace() + shiftSpread) / trace : 0.0;
  t.scaleMinusOne = spreadRatioMinusOne / (kOne + std::sqrt(kOne + spreadRatioMinusOne));
  for (int k = 0; k < 3; ++k) {
    t.rotation[k] = rotation(k);
  }
  // The translation at the origin: the centroid's shift less the rest of the
  // model there (t.translation is still zero).
  const Eigen::Vector3d translation = meanD - shiftAt(t, meanX);
  for (int k = 0; k < 3; ++k) {
    t.translation[k] = translation(k);
  }

  double sumWvv = 0;
  Eigen::Matrix<double, 7, 7> normal = Eigen::Matrix<double, 7, 7>::Zero();
  const double scale = kOne + t.scaleMinusOne;
  for (std::size_t i = 0; i < n; ++i) {
    const Eigen::Vector3d x = vectorOf(source[i]);
    sumWvv += weights[i] * (vectorOf(shift[i]) - shiftAt(t, x)).squaredNorm();
    const Eigen::Vector3d turned = x + rotationMinusIdentity(t, x);
    Eigen::Matrix<double, 3, 7> design;
    design << Eigen::Matrix3d::Identity(), -scale * cross(turned), turned;
    normal += weights[i] * (design.transpose() * design);
  }
  const double redundancy = 3.0 * static_cast<double>(n) - 7.0;
  fit.sigma0 = redundancy > 0 ? std::sqrt(sumWvv / redundancy) : 0.0;
  const Eigen::Matrix<double, 7, 7> covariance = normal.ldlt().solve(Eigen::Matrix<double, 7, 7>::Identity());
  const auto sigma = [&fit, &covariance](int k) {
    const double variance = covariance(k, k);
    return variance > 0 && std::isfinite(variance) ? fit.sigma0 * std::sqrt(variance) : 0.0;
  };
  for (int k = 0; k < 3; ++k) {
    fit.sigmaTranslation[k] = sigma(k);
    fit.sigmaRotation[k] = sigma(3 + k);
  }
  fit.sigmaScale = sigma(6);
  return fit;
}

SpatialVector spatialShiftAt(const SpatialSimilarity& transform, const SpatialVector& point) {
  const Eigen::Vector3d shift = shiftAt(transform, vectorOf(point));
  return {shift.x(), shift.y(), shift.z()};
}

}  // namespace tessovane2::analysis
