// The weighted least-squares 2D similarity (conformal, Helmert) transformation
// between two sets of planar points, in closed form: the step that the robust
// fit of a network's systematic change repeats with new weights.
#pragma once

#include <span>

namespace tessovane2::analysis {

// A point or a shift in the plane (metres): x east, y north, or any other
// right-handed pair of axes.
struct PlanarVector {
  double x;
  double y;
};

// X = tx + a x - b y, Y = ty + b x + a y, with a = k cos(theta) and
// b = k sin(theta) for a scale k and a rotation theta counter-clockwise
// (from x towards y). a is kept as a - 1, which carries a scale or a
// rotation of some ppm without cancellation.
struct PlanarSimilarity {
  double aMinusOne;  // dimensionless
  double b;          // dimensionless
  double tx;         // metres, at the coordinates' origin
  double ty;         // metres, at the coordinates' origin
};

enum class PlanarModel {
  Translation,  // a = 1, b = 0: tx and ty only
  Similarity,   // tx, ty, a and b
};

// The solution and its standard deviations.
struct PlanarSimilarityFit {
  PlanarSimilarity transform;
  double sigma0;            // standard deviation of unit weight
  double sigmaAB;           // standard deviation of a and of b (dimensionless; 0 for a translation)
  double sigmaTranslation;  // standard deviation of tx and of ty at the origin (metres)
};

// Fits the shift of every point (target minus source, metres) at its source
// position (metres) with the weights given (all three spans of one length,
// weights positive). Sums run in the order given. The caller makes sure the
// points determine the model (two points for a translation, two distinct
// points for a similarity); with as many unknowns as coordinates sigma0 is 0.
PlanarSimilarityFit fitPlanarSimilarity(PlanarModel model, std::span<const PlanarVector> source,
                                        std::span<const PlanarVector> shift, std::span<const double> weights);

// The same solution without its standard deviations: the reweighting's step.
PlanarSimilarity planarSimilarity(PlanarModel model, std::span<const PlanarVector> source,
                                  std::span<const PlanarVector> shift, std::span<const double> weights);

// The shift the transformation gives at a point (metres): target minus source.
// Inline, as verticalShiftAt: the reweighting evaluates both twice per mark
// and step; 2 x 200,000 stations by PID with --fit similarity took 5.23
// billion instructions (callgrind) with the two out of line, 5.09 inline.
inline PlanarVector planarShiftAt(const PlanarSimilarity& transform, const PlanarVector& point) {
  return {transform.tx + transform.aMinusOne * point.x - transform.b * point.y,
          transform.ty + transform.b * point.x + transform.aMinusOne * point.y};
}

// k - 1 = sqrt(a^2 + b^2) - 1 (dimensionless), computed without cancellation.
double planarScaleMinusOne(const PlanarSimilarity& transform);

// theta = atan2(b, a) (radians), counter-clockwise from x towards y.
double planarRotation(const PlanarSimilarity& transform);

}  // namespace tessovane2::analysis
