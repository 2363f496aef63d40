// The best line runs through the centroid along the eigenvector of the
// largest eigenvalue of the points' scatter matrix. Its distances are taken
// from the points themselves, not as the remaining eigenvalues: on a line
// some hundred kilometres long those carry a rounding error of a millimetre
// squared, the size of the threshold they would be held against.
#include "analysis/point_spread.h"

#include <Eigen/Dense>
#include <cmath>

namespace tessovane2::analysis {

namespace {
Eigen::Vector3d centroidOf(std::span<const SpatialVector> points) {
  Eigen::Vector3d sum = Eigen::Vector3d::Zero();
  for (const SpatialVector& p : points) {
    sum += Eigen::Vector3d(p.x, p.y, p.z);
  }
  return sum / static_cast<double>(points.size());
}
}  // namespace

double spreadAboutCentroid(std::span<const SpatialVector> points) {
  if (points.empty()) {
    return 0.0;
  }
  const Eigen::Vector3d centroid = centroidOf(points);
  double sum = 0;
  for (const SpatialVector& p : points) {
    sum += (Eigen::Vector3d(p.x, p.y, p.z) - centroid).squaredNorm();
  }
  return std::sqrt(sum / static_cast<double>(points.size()));
}

double spreadAboutLine(std::span<const SpatialVector> points) {
  if (points.empty()) {
    return 0.0;
  }
  const Eigen::Vector3d centroid = centroidOf(points);
  Eigen::Matrix3d scatter = Eigen::Matrix3d::Zero();
  for (const SpatialVector& p : points) {
    const Eigen::Vector3d x = Eigen::Vector3d(p.x, p.y, p.z) - centroid;
    scatter += x * x.transpose();
  }
  const Eigen::SelfAdjointEigenSolver<Eigen::Matrix3d> eigen(scatter);
  const Eigen::Vector3d axis = eigen.eigenvectors().col(2);  // eigenvalues ascending
  double sum = 0;
  for (const SpatialVector& p : points) {
    const Eigen::Vector3d x = Eigen::Vector3d(p.x, p.y, p.z) - centroid;
    sum += (x - axis * axis.dot(x)).squaredNorm();
  }
  return std::sqrt(sum / static_cast<double>(points.size()));
}

}  // namespace tessovane2::analysis
