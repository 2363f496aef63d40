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
  std::vector<MapPoint> onMap;
  for (std::size_t i = 0; i < results.rows.size(); ++i) {
    if (isOnMap(results.rows[i])) onMap.push_back(layout.points[i]);
  }
  layout.bounds = boundsOf(onMap);
  layout.width = mapWidthMetres(layout.bounds, kMapAspect);
  const ShiftSummary& summary = results.summary;
  if (options.exaggeration) {
    layout.exaggeration = *options.exaggeration;
    layout.exaggerationGiven = true;
  } else {
    layout.exaggeration = chooseExaggeration(summary.horizontalP95, summary.horizontalMax, layout.width);
    // The map grows to hold every arrow's head: the largest mover at the
    // network's edge would otherwise point off the map. A given
    // exaggeration keeps the map to the stations (growing it would undo
    // the exaggeration); arrows past the edge are then cut by it.
    for (std::size_t i = 0; i < results.rows.size(); ++i) {
      const ShiftRow& row = results.rows[i];
      if (!hasShifts(row.status) || std::isnan(row.dn) || std::isnan(row.de)) continue;
      onMap.push_back({layout.points[i].x + row.de * layout.exaggeration,
                       layout.points[i].y + row.dn * layout.exaggeration});
    }
    layout.bounds = boundsOf(onMap);
    layout.width = mapWidthMetres(layout.bounds, kMapAspect);
  }
  layout.referenceLength = referenceArrowLength(summary.horizontalP95);
  return layout;
}

}  // namespace tessovane2::shifts
