#include "shifts/metric_shift.h"

#include <cmath>
#include <numbers>

#include "geodesy/inver.h"
#include "shifts/hemisphere.h"
#include "shifts/shift_results.h"

namespace tessovane2::shifts {

MetricShift metricShift(const POS_ELEV& first, const POS_ELEV& second) {
  // The report's call: the 2nd-file station is point 1, the 1st-file station
  // point 2. Its north component runs from point 1 to point 2, towards the
  // larger digit latitude; its east component grows with the 2nd station's
  // digit longitude.
  const ShortLineComponents c =
      shortLineComponents(second.latitude, second.longitude, first.latitude, first.longitude);
  const double north = withoutNegativeZero(-c.north * latitudeSign(first.latitudeHemisphere));
  const double east = withoutNegativeZero(c.east * longitudeSign(first.longitudeHemisphere));

  double azimuth = kMissing;
  if (north != 0.0 || east != 0.0) {
    azimuth = std::atan2(east, north) * (180.0 / std::numbers::pi);
    if (azimuth < 0.0) azimuth += 360.0;
    if (azimuth >= 360.0) azimuth = 0.0;  // a tiny negative angle rounds to 360
  }
  return {north, east, c.distance, azimuth};
}

}  // namespace tessovane2::shifts
