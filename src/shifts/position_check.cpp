#include "shifts/position_check.h"

#include <cstdint>

namespace tessovane2::shifts {

namespace {

constexpr double kLargestLatitude = 90.0;  // degrees
constexpr double kLongitudeLimit = 360.0;  // degrees: the W longitudes reach 359 59 59.99999

}  // namespace

bool isBadPosition(const POS_ELEV& station) {
  return station.angleFields != 0 || station.latitude > kLargestLatitude ||
         station.longitude >= kLongitudeLimit;
}

std::string positionFaults(const POS_ELEV& station) {
  std::string faults;
  const auto add = [&](const char* fault) {
    if (!faults.empty()) faults += "; ";
    faults += fault;
  };
  const struct {
    const char* minutes;
    const char* seconds;
    const char* minus;
    int shift;
  } angles[] = {
      {"latitude minutes 60 or more", "latitude seconds 60 or more", "minus sign in the latitude", 0},
      {"longitude minutes 60 or more", "longitude seconds 60 or more", "minus sign in the longitude",
       kLongitudeFieldShift},
  };
  for (const auto& angle : angles) {
    const auto fields = static_cast<std::uint8_t>(station.angleFields >> angle.shift);
    if (fields & kMinutesOver59) add(angle.minutes);
    if (fields & kSecondsOver59) add(angle.seconds);
    if (fields & kMinusSign) add(angle.minus);
    if (angle.shift == 0 && station.latitude > kLargestLatitude) add("latitude over 90 degrees");
  }
  if (station.longitude >= kLongitudeLimit) add("longitude of 360 degrees or more");
  return faults;
}

}  // namespace tessovane2::shifts
