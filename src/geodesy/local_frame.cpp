// Formulas: B. Hofmann-Wellenhof, H. Lichtenegger, E. Wasle, GNSS - Global
// Navigation Satellite Systems (Springer 2008), sections 2.2.1 (ellipsoidal
// and Cartesian coordinates) and 2.2.2 (the local-level frame); the same
// as the usual ECEF <-> ENU rotation of GNSS texts.
#include "geodesy/local_frame.h"

#include <cmath>

#include "geodesy/ellipsoid.h"

namespace tessovane2::geodesy {

namespace {
constexpr double kDegreesToRadians = 0.01745329251994329;
constexpr double kRadiansToDegrees = 57.29577951308232;
constexpr double kOne = 1.0;
// The fixed-point iteration for the latitude gains about two digits a step
// (its factor is about e^2); ten steps are more than a double needs.
constexpr int kLatitudeSteps = 10;
constexpr double kLatitudeTolerance = 1e-15;  // radians

// Prime-vertical radius of curvature N = a / sqrt(1 - e^2 sin^2(phi)) (metres).
double primeVerticalRadius(double sinLatitude) {
  return kGrs80SemiMajorAxis / std::sqrt(kOne - kGrs80EccentricitySquared * sinLatitude * sinLatitude);
}
}  // namespace

namespace {

struct Angles {
  double sinPhi, cosPhi, sinLambda, cosLambda;
};

Angles anglesOf(double latitude, double longitude) {
  const double phi = latitude * kDegreesToRadians;
  const double lambda = longitude * kDegreesToRadians;
  return {std::sin(phi), std::cos(phi), std::sin(lambda), std::cos(lambda)};
}

// X = (N + h) cos(phi) cos(lambda), Y = (N + h) cos(phi) sin(lambda),
// Z = (N (1 - e^2) + h) sin(phi).
Geocentric geocentricAt(const Angles& a, double height) {
  const double n = primeVerticalRadius(a.sinPhi);
  return {(n + height) * a.cosPhi * a.cosLambda, (n + height) * a.cosPhi * a.sinLambda,
          (n * (kOne - kGrs80EccentricitySquared) + height) * a.sinPhi};
}

// e = (-sin(lambda), cos(lambda), 0)
// n = (-sin(phi) cos(lambda), -sin(phi) sin(lambda), cos(phi))
// u = (cos(phi) cos(lambda), cos(phi) sin(lambda), sin(phi))
LocalFrame frameAt(const Angles& a) {
  return {{-a.sinLambda, a.cosLambda, 0.0},
          {-a.sinPhi * a.cosLambda, -a.sinPhi * a.sinLambda, a.cosPhi},
          {a.cosPhi * a.cosLambda, a.cosPhi * a.sinLambda, a.sinPhi}};
}

}  // namespace

Geocentric geocentricFromGeodetic(const Geodetic& point) {
  return geocentricAt(anglesOf(point.latitude, point.longitude), point.height);
}

LocalFrame localFrame(double latitude, double longitude) { return frameAt(anglesOf(latitude, longitude)); }

Placement placementOf(const Geodetic& point) {
  const Angles a = anglesOf(point.latitude, point.longitude);
  return {geocentricAt(a, point.height), frameAt(a)};
}

// lambda = atan2(Y, X); phi by the fixed point phi = atan2(Z + e^2 N sin(phi), p)
// with p = sqrt(X^2 + Y^2), started from phi = atan2(Z, p (1 - e^2)); then
// h = p cos(phi) + Z sin(phi) - a sqrt(1 - e^2 sin^2(phi)), which holds at
// every latitude (p / cos(phi) - N fails at the poles).
Geodetic geodeticFromGeocentric(const Geocentric& point) {
  const double p = std::hypot(point.x, point.y);
  double phi = std::atan2(point.z, p * (kOne - kGrs80EccentricitySquared));
  for (int step = 0; step < kLatitudeSteps; ++step) {
    const double sinPhi = std::sin(phi);
    const double next =
        std::atan2(point.z + kGrs80EccentricitySquared * primeVerticalRadius(sinPhi) * sinPhi, p);
    const bool settled = std::fabs(next - phi) <= kLatitudeTolerance;
    phi = next;
    if (settled) {
      break;
    }
  }
  const double sinPhi = std::sin(phi);
  const double height = p * std::cos(phi) + point.z * sinPhi -
                        kGrs80SemiMajorAxis * std::sqrt(kOne - kGrs80EccentricitySquared * sinPhi * sinPhi);
  const double lambda = p > 0.0 ? std::atan2(point.y, point.x) : 0.0;
  return {phi * kRadiansToDegrees, lambda * kRadiansToDegrees, height};
}

EastNorthUp toLocal(const LocalFrame& frame, const Geocentric& vector) {
  const auto dot = [&vector](const double(&axis)[3]) {
    return axis[0] * vector.x + axis[1] * vector.y + axis[2] * vector.z;
  };
  return {dot(frame.east), dot(frame.north), dot(frame.up)};
}

// The frame's rotation is orthonormal: its transpose takes local components back.
Geocentric fromLocal(const LocalFrame& frame, const EastNorthUp& vector) {
  const auto column = [&frame, &vector](int i) {
    return frame.east[i] * vector.east + frame.north[i] * vector.north + frame.up[i] * vector.up;
  };
  return {column(0), column(1), column(2)};
}

}  // namespace tessovane2::geodesy
