#include "shifts/hemisphere.h"

#include <cmath>

namespace tessovane2::shifts {

double latitudeSign(char letter) { return letter == 'S' || letter == 's' ? -1.0 : 1.0; }

double longitudeSign(char letter) { return letter == 'E' || letter == 'e' ? 1.0 : -1.0; }

bool isUnletteredLatitude(char letter) {
  return letter != 'N' && letter != 'n' && letter != 'S' && letter != 's';
}

bool isUnletteredLongitude(char letter) {
  return letter != 'E' && letter != 'e' && letter != 'W' && letter != 'w';
}

double signedLatitude(const POS_ELEV& station) {
  return withoutNegativeZero(latitudeSign(station.latitudeHemisphere) * station.latitude);
}

double signedLongitude(const POS_ELEV& station) {
  return withoutNegativeZero(longitudeSign(station.longitudeHemisphere) * station.longitude);
}

double longitudeWithin180(double degrees) {
  if (degrees >= -180.0 && degrees <= 180.0) return degrees;
  // std::remainder is exact: the result is the longitude to the last bit.
  return withoutNegativeZero(std::remainder(degrees, 360.0));
}

bool hemispheresDiffer(const POS_ELEV& first, const POS_ELEV& second) {
  return latitudeSign(first.latitudeHemisphere) != latitudeSign(second.latitudeHemisphere) ||
         longitudeSign(first.longitudeHemisphere) != longitudeSign(second.longitudeHemisphere);
}

}  // namespace tessovane2::shifts
