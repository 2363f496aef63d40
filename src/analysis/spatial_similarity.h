// The weighted 3D similarity (seven-parameter, Helmert) transformation
// between two sets of points, with the rotation in closed form: no iteration
// and no small-angle assumption for the parameters themselves.
#pragma once

#include <span>

namespace tessovane2::analysis {

// A point or a shift in space (metres), in any right-handed axes x, y, z.
struct SpatialVector {
  double x;
  double y;
  double z;
};

// X' = t + s R X. R turns the source into the target: it is the rotation by
// the angle |r| about the axis r / |r| of the rotation vector r (radians,
// right-handed: positive counter-clockwise seen from the axis' tip), kept as
// the unit quaternion (w, x, y, z) with w >= 0.
struct SpatialSimilarity {
  double quaternion[4];   // dimensionless, unit length
  double rotation[3];     // rotation vector (radians) about x, y and z
  double scaleMinusOne;   // s - 1 (dimensionless)
  double translation[3];  // metres, at the coordinates' origin
};

struct SpatialSimilarityFit {
  SpatialSimilarity transform;
  double sigma0;               // standard deviation of unit weight
  double sigmaTranslation[3];  // metres, at the origin
  double sigmaRotation[3];     // radians, about x, y and z
  double sigmaScale;           // dimensionless
};

// Fits the shift of every point (target minus source, metres) at its source
// position (metres) with the weights given (spans of one length, weights
// positive), summing in the order given. The caller makes sure the points
// do not all lie on one line.
SpatialSimilarityFit fitSpatialSimilarity(std::span<const SpatialVector> source,
                                          std::span<const SpatialVector> shift,
                                          std::span<const double> weights);

// The shift the transformation gives at a point (metres): target minus source.
SpatialVector spatialShiftAt(const SpatialSimilarity& transform, const SpatialVector& point);

}  // namespace tessovane2::analysis
