#include "network_builder.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <limits>

#include "analysis/network_frame.h"

namespace tessovane2::analysis::testing {

namespace {
constexpr double kPi = 3.141592653589793;
constexpr double kRadiansPerArcSecond = kPi / 648000.0;
constexpr double kMetresPerDegree = 111195.0;  // for placing marks only
}  // namespace

double Numbers::uniform() { return static_cast<double>(engine_() >> 11) * 0x1.0p-53; }

// Box-Muller.
double Numbers::normal() {
  const double u = 1.0 - uniform();
  return std::sqrt(-2.0 * std::log(u)) * std::cos(2.0 * kPi * uniform());
}

Network scatteredNetwork(int count, double across, std::uint64_t seed, double latitude, double longitude) {
  Numbers numbers(seed);
  Network network;
  for (int i = 0; i < count; ++i) {
    char key[16];
    std::snprintf(key, sizeof key, "M%04d", i);
    network.keys.emplace_back(key);
  }
  const double halfLatitude = across / 2 / kMetresPerDegree;
  const double halfLongitude = halfLatitude / std::cos(latitude * kPi / 180);
  for (const std::string& key : network.keys) {
    network.marks.push_back({key, latitude + halfLatitude * (2 * numbers.uniform() - 1),
                             longitude + halfLongitude * (2 * numbers.uniform() - 1),
                             2000 * numbers.uniform(), 0.0, 0.0, 0.0, true});
  }
  return network;
}

void shiftBy(Network& network, const Change& change) {
  std::vector<geodesy::Geocentric> points;
  for (const FitMark& m : network.marks) {
    points.push_back(geodesy::geocentricFromGeodetic({m.latitude, m.longitude, m.height}));
  }
  const NetworkFrame frame = networkFrame(points);
  for (std::size_t i = 0; i < points.size(); ++i) {
    FitMark& m = network.marks[i];
    const geodesy::LocalFrame own = geodesy::localFrame(m.latitude, m.longitude);
    const geodesy::EastNorthUp shift = networkToMark(frame, own, change(positionIn(frame, points[i])));
    m.dn = shift.north;
    m.de = shift.east;
    m.du = shift.up;
  }
}

void addNoise(Network& network, double horizontal, double vertical, std::uint64_t seed) {
  Numbers numbers(seed);
  for (FitMark& m : network.marks) {
    m.dn += horizontal * numbers.normal();
    m.de += horizontal * numbers.normal();
    m.du += vertical * numbers.normal();
  }
}

// E' - E = te + m E - b N, N' - N = tn + b E + m N with a = 1 + m = k cos(rz),
// b = k sin(rz); U' - U = tu + tiltE E + tiltN N.
Change planarChange(const KnownChange& known) {
  const double k = 1 + known.scale * 1e-6, theta = known.rz * kRadiansPerArcSecond;
  const double m = known.scale * 1e-6 * std::cos(theta) - 2 * std::sin(theta / 2) * std::sin(theta / 2);
  const double b = k * std::sin(theta);
  return [known, m, b](const geodesy::EastNorthUp& p) -> geodesy::EastNorthUp {
    return {known.te + m * p.east - b * p.north, known.tn + b * p.east + m * p.north,
            known.tu + known.tiltE * 1e-6 * p.east + known.tiltN * 1e-6 * p.north};
  };
}

// t + (s R - I) p = t + (s - 1) R p + (R - I) p, R by Rodrigues' formula for
// the rotation vector r: (R - I) p = sin(a)/a (r x p) + 2 sin^2(a/2)/a^2 (r x (r x p)), a = |r|.
Change spatialChange(const KnownChange& known) {
  using Vector = std::array<double, 3>;
  const auto cross = [](const Vector& a, const Vector& b) {
    return Vector{a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
  };
  const Vector r = {known.rx * kRadiansPerArcSecond, known.ry * kRadiansPerArcSecond,
                    known.rz * kRadiansPerArcSecond};
  const double angle = std::sqrt(r[0] * r[0] + r[1] * r[1] + r[2] * r[2]);
  const double half = std::sin(angle / 2);
  const double first = std::sin(angle) / angle, second = 2 * half * half / (angle * angle);
  return [known, cross, r, first, second](const geodesy::EastNorthUp& p) -> geodesy::EastNorthUp {
    const Vector x = {p.east, p.north, p.up};
    const Vector once = cross(r, x), twice = cross(r, once);
    const Vector t = {known.te, known.tn, known.tu};
    Vector out{};
    for (std::size_t i = 0; i < 3; ++i) {
      const double turn = first * once[i] + second * twice[i];
      out[i] = t[i] + known.scale * 1e-6 * (x[i] + turn) + turn;
    }
    return {out[0], out[1], out[2]};
  };
}

double parameter(const FitResult& result, std::string_view name) {
  for (const FitParameter& p : result.parameters) {
    if (p.name == name) {
      return p.value;
    }
  }
  return std::numeric_limits<double>::quiet_NaN();
}

double standardDeviation(const FitResult& result, std::string_view name) {
  for (const FitParameter& p : result.parameters) {
    if (p.name == name) {
      return p.standardDeviation;
    }
  }
  return std::numeric_limits<double>::quiet_NaN();
}

}  // namespace tessovane2::analysis::testing
