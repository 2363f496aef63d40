#include "analysis/network_frame.h"

namespace tessovane2::analysis {

NetworkFrame networkFrame(std::span<const geodesy::Geocentric> points) {
  geodesy::Geocentric sum{0.0, 0.0, 0.0};
  for (const geodesy::Geocentric& p : points) {
    sum.x += p.x;
    sum.y += p.y;
    sum.z += p.z;
  }
  const double count = static_cast<double>(points.size());
  NetworkFrame frame{};
  frame.origin = {sum.x / count, sum.y / count, sum.z / count};
  frame.originGeodetic = geodesy::geodeticFromGeocentric(frame.origin);
  frame.axes = geodesy::localFrame(frame.originGeodetic.latitude, frame.originGeodetic.longitude);
  return frame;
}

geodesy::EastNorthUp positionIn(const NetworkFrame& frame, const geodesy::Geocentric& point) {
  return geodesy::toLocal(frame.axes,
                          {point.x - frame.origin.x, point.y - frame.origin.y, point.z - frame.origin.z});
}

geodesy::EastNorthUp networkToMark(const NetworkFrame& frame, const geodesy::LocalFrame& mark,
                                   const geodesy::EastNorthUp& shift) {
  return geodesy::toLocal(mark, geodesy::fromLocal(frame.axes, shift));
}

}  // namespace tessovane2::analysis
