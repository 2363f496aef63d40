// The weighted least-squares fit of the up components of a network's shifts:
// one offset, or an offset and two tilts (a plane).
#pragma once

#include <span>

#include "analysis/planar_similarity.h"

namespace tessovane2::analysis {

enum class VerticalModel {
  Offset,  // up = offset
  Plane,   // up = offset + tiltX x + tiltY y
};

// up = offset + tiltX x + tiltY y at a point (x, y) of the plane (metres).
struct VerticalSurface {
  double offset;  // metres, at the origin
  double tiltX;   // metres per metre along x
  double tiltY;   // metres per metre along y
};

struct VerticalFit {
  VerticalSurface surface;
  double sigma0;       // standard deviation of unit weight
  double sigmaOffset;  // metres, at the origin
  double sigmaTiltX;   // metres per metre (0 for an offset)
  double sigmaTiltY;   // metres per metre (0 for an offset)
};

// Fits the up shifts (metres) at the planar positions (metres) with the
// weights given (spans of one length, weights positive), summing in the
// order given. For a plane the caller makes sure the positions do not lie on
// one line.
VerticalFit fitVertical(VerticalModel model, std::span<const PlanarVector> position,
                        std::span<const double> up, std::span<const double> weights);

// The same surface without its standard deviations: the reweighting's step.
VerticalSurface verticalSurface(VerticalModel model, std::span<const PlanarVector> position,
                                std::span<const double> up, std::span<const double> weights);

// The up shift the surface gives at a point (metres). Inline: see planarShiftAt.
inline double verticalShiftAt(const VerticalSurface& surface, const PlanarVector& point) {
  return surface.offset + surface.tiltX * point.x + surface.tiltY * point.y;
}

}  // namespace tessovane2::analysis
