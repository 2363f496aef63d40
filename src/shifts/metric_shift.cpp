#include "shifts/metric_shift.h"

#include <cmath>
#include <numbers>

#include "geodesy/inver.h"
#include "shifts/hemisphere.h"
#include "shifts/shift_results.h"

namespace tessovane2::shifts {

double longitudeDifference(double degrees) {
  // std::remainder is exact and gives [-180, 180], an odd multiple of 180 to
  // the even quotient; -180 is the same meridian as 180.
  const double reduced = std::remainder(degrees, 360.0);
  return reduced == -180.0 ? 180.0 : reduced;
}

MetricShift metricShift(const POS_ELEV& first, const POS_ELEV& second) {
  // The report's call has the 2nd-file station as point 1 and the 1st-file
  // station as point 2, and takes their longitude difference inside. Here
  // point 2 sits at longitude 0 and point 1 at the reduced difference, which
  // gives the same bits as (lon2 - lon1) when nothing is reduced: x - 0.0 is
  // x, and a - b is exactly -(b - a). With signed degrees the components
  // come out north and east positive, 2nd minus 1st, as they are.
  const double difference = longitudeDifference(signedLongitude(second) - signedLongitude(first));
  const ShortLineComponents c =
      shortLineComponents(signedLatitude(second), difference, signedLatitude(first), 0.0);
  const double north = withoutNegativeZero(-c.north);
  const double east = withoutNegativeZero(c.east);

  double azimuth = kMissing;
  if (north != 0.0 || east != 0.0) {
    azimuth = std::atan2(east, north) * (180.0 / std::numbers::pi);
    if (azimuth < 0.0) azimuth += 360.0;
    if (azimuth >= 360.0) azimuth = 0.0;  // a tiny negative angle rounds to 360
  }
  return {north, east, c.distance, azimuth};
}

}  // namespace tessovane2::shifts
