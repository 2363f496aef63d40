// Generated networks for the fit's tests: marks scattered over a square,
// shifted by a known systematic change plus noise, with a seeded generator
// whose numbers are the same on every platform.
#pragma once

#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "analysis/systematic_fit.h"
#include "geodesy/local_frame.h"

namespace tessovane2::analysis::testing {

// Uniform in [0, 1) and standard normal numbers from std::mt19937_64's raw
// output (the standard library's distributions differ between platforms).
class Numbers {
 public:
  explicit Numbers(std::uint64_t seed) : engine_(seed) {}
  double uniform();
  double normal();

 private:
  std::mt19937_64 engine_;
};

// The marks and the storage of their keys (FitMark keeps a view).
struct Network {
  std::vector<std::string> keys;
  std::vector<FitMark> marks;
};

// count marks keyed M0000, M0001, ... at random places in a square of
// `across` metres about a centre (degrees), heights 0 to 2,000 m, all usable,
// not shifted.
Network scatteredNetwork(int count, double across, std::uint64_t seed, double latitude = 45.0,
                         double longitude = 10.0);

// Shifts every mark by a systematic change given in the network frame (the
// frame at the centroid of all marks' positions): the function receives a
// mark's position there and returns its shift there (metres).
using Change = std::function<geodesy::EastNorthUp(const geodesy::EastNorthUp& position)>;
void shiftBy(Network& network, const Change& change);

// Adds normal noise (metres, per component) to the shifts.
void addNoise(Network& network, double horizontal, double vertical, std::uint64_t seed);

// A known 2D similarity with a vertical plane, and a known 3D similarity, in
// the units of the fit's parameters.
struct KnownChange {
  double tn, te, tu;    // metres at the origin
  double rx, ry, rz;    // arc-seconds (rz alone for the 2D model)
  double scale;         // ppm
  double tiltN, tiltE;  // ppm
};
Change planarChange(const KnownChange& known);
Change spatialChange(const KnownChange& known);

// The parameter of a result by name; NaN when it has none.
double parameter(const FitResult& result, std::string_view name);
double standardDeviation(const FitResult& result, std::string_view name);

}  // namespace tessovane2::analysis::testing
