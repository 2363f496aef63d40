#include "geodesy/inver.h"

#include <cmath>

#include "geodesy/ellipsoid.h"

namespace tessovane2 {

namespace {
constexpr double kSemiMajorAxis = geodesy::kGrs80SemiMajorAxis;
constexpr double kEccentricitySquared = geodesy::kGrs80EccentricitySquared;
constexpr double kDegreesToRadians = 0.01745329251994329;
constexpr double kHalf = 0.5;
constexpr double kOne = 1.0;
}  // namespace

ShortLineComponents shortLineComponents(double lat1, double lon1, double lat2, double lon2) {
  const double meanLatitude = (lat1 + lat2) * kHalf;
  const double c = std::cos(meanLatitude * kDegreesToRadians);
  // 1 - e^2 sin^2(phi) / 2: the first-order expansion of sqrt(1 - e^2 sin^2(phi)).
  const double w = kOne - kHalf * kEccentricitySquared * (kOne - c * c);
  // North and east components in units of the semi-major axis; the
  // differences are taken in degrees and scaled afterwards.
  const double north = (lat2 - lat1) * kDegreesToRadians * (kOne - kEccentricitySquared) / (w * w * w);
  const double east = -kDegreesToRadians * (lon2 - lon1) * c / w;
  return {kSemiMajorAxis * north, kSemiMajorAxis * east,
          kSemiMajorAxis * std::sqrt(north * north + east * east)};
}

double shortLineInverse(double lat1, double lon1, double lat2, double lon2) {
  return shortLineComponents(lat1, lon1, lat2, lon2).distance;
}

}  // namespace tessovane2
