// How far a set of points is from being one point or one straight line:
// the test that marks determine a model.
#pragma once

#include <span>

#include "analysis/spatial_similarity.h"

namespace tessovane2::analysis {

// Root-mean-square distance (metres) of the points from their centroid.
double spreadAboutCentroid(std::span<const SpatialVector> points);

// Root-mean-square distance (metres) of the points from the straight line
// that fits them best (through the centroid along the principal axis).
double spreadAboutLine(std::span<const SpatialVector> points);

}  // namespace tessovane2::analysis
