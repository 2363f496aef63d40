// The local east/north/up frame at the centroid of a network, in which its
// systematic change is fitted, and the turn of a mark's shift between the
// mark's own local frame and that frame.
#pragma once

#include <span>

#include "geodesy/local_frame.h"

namespace tessovane2::analysis {

struct NetworkFrame {
  geodesy::Geocentric origin;  // the centroid of the points (metres)
  geodesy::Geodetic originGeodetic;
  geodesy::LocalFrame axes;  // east, north and up at the origin's latitude and longitude
};

// The frame at the centroid of the points (geocentric, metres), summed in
// the order given (at least one point).
NetworkFrame networkFrame(std::span<const geodesy::Geocentric> points);

// A point's coordinates in the frame (metres).
geodesy::EastNorthUp positionIn(const NetworkFrame& frame, const geodesy::Geocentric& point);

// A shift given in the network frame's components, in a mark's local frame
// (metres).
geodesy::EastNorthUp networkToMark(const NetworkFrame& frame, const geodesy::LocalFrame& mark,
                                   const geodesy::EastNorthUp& shift);

}  // namespace tessovane2::analysis
