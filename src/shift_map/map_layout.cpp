#include "shift_map/map_layout.h"

#include <cmath>

namespace tessovane2::shifts {

MapLayout layoutMap(const ShiftResults& results, const PageOptions& options) {
  MapLayout layout;
  layout.projection = projectionFor(results.rows);
  layout.points.reserve(results.rows.size());
  for (const ShiftRow& row : results.rows) {
    const double lat = rowLatitude(row);
    const double lon = rowLongitude(row);
    layout.points.push_back(std::isnan(lat) || std::isnan(lon) ? MapPoint{}
                                                               : project(layout.projection, lat, lon));
  }
  layout.bounds = boundsOf(layout.points);
  layout.width = mapWidthMetres(layout.bounds, kMapAspect);
  const ShiftSummary& summary = results.summary;
  if (options.exaggeration) {
    layout.exaggeration = *options.exaggeration;
    layout.exaggerationGiven = true;
  } else {
    layout.exaggeration = chooseExaggeration(summary.horizontalP95, summary.horizontalMax, layout.width);
  }
  layout.referenceLength = referenceArrowLength(summary.horizontalP95);
  return layout;
}

}  // namespace tessovane2::shifts
