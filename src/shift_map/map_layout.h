// Where everything of a run goes on the map: every row's map position, the
// extent and the arrows' exaggeration, worked out once for the page and the
// SVG.
#pragma once

#include <vector>

#include "shift_map/map_geometry.h"
#include "shift_map/page_options.h"
#include "shifts/shift_results.h"

namespace tessovane2::shifts {

// Width over height of the map as first shown (the SVG's map area, the
// exaggeration's notion of the map's width).
inline constexpr double kMapAspect = 1.5;

struct MapLayout {
  LocalProjection projection;
  std::vector<MapPoint> points;  // one per row, metres
  MapBounds bounds;              // of the stations on the map, and with an automatic
                                 // exaggeration of their arrows' heads too
  double width = 0.0;            // metres across the map as first shown
  double exaggeration = 1.0;     // arrow length over shift
  bool exaggerationGiven = false;
  double referenceLength = 0.0;  // metres of shift the reference arrow stands for
};

MapLayout layoutMap(const ShiftResults& results, const PageOptions& options);

}  // namespace tessovane2::shifts
