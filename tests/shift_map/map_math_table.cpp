// Prints, as one JSON object on standard output, what the C++ map arithmetic
// gives for a table of inputs, for page/map_math_test.mjs to check the page's
// script against:
//   {"niceLengthAtMost":[[limit, length], ...],    metres
//    "scaleBarLength":[[mapWidth, length], ...],   metres
//    "lengthLabel":[[metres, "5 cm"], ...],
//    "shiftClass":[[horizontal, tolerance, 0|1|2], ...],   metres
//    "percentile":[[[sorted values], p, value], ...],
//    "nearestNiceValue":[[value, nice], ...],
//    "viewExaggeration":[[typical, pixelsPerMetre, factor], ...],   metres, px per metre
//    "viewReferenceLength":[[tolerance, arrowPxPerMetre, length], ...],   metres
//    "robustTypicalShift":[[[shifts], [inlierLimit, typical, inliers]], ...],   metres
//    "moverLength":[[metres, "1.79 m"], ...]}
// Numbers are written in the shortest form that reads back as the same
// double, so that the script is compared bit for bit.
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <iostream>
#include <string>
#include <vector>

#include "shift_map/map_geometry.h"
#include "shifts/shift_summary.h"

namespace {

using namespace tessovane2::shifts;

std::string number(double value) {
  std::array<char, 32> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
  return std::string(buffer.data(), result.ptr);
}

std::string numbers(const std::vector<double>& values) {
  std::string text = "[";
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (i > 0) text += ',';
    text += number(values[i]);
  }
  text += ']';
  return text;
}

// Appends one row of a list: its items, comma-separated, in brackets.
void appendRow(std::string& out, std::initializer_list<std::string> items) {
  if (out.back() != '[') out += ',';
  out += '[';
  bool first = true;
  for (const std::string& item : items) {
    if (!first) out += ',';
    out += item;
    first = false;
  }
  out += ']';
}

std::string quoted(const std::string& text) { return '"' + text + '"'; }

// A fixed sequence of pseudo-random numbers in [0, 1) (Knuth's MMIX
// multiplier), so that the table is the same on every run.
struct Sequence {
  std::uint64_t state = 18;
  double next() {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<double>(state >> 11) * 0x1.0p-53;
  }
};

// Lengths (metres) around every 1-2-5 step from 0.1 mm to 100 km, a hair
// either side of each, the tolerances people give, and a spread over twelve
// decades.
std::vector<double> lengths() {
  std::vector<double> values = {0.05,      0.02,     0.0125,    0.003,         0.1 * 3,     0.07,
                                1.0 / 3,   2.0 / 3,  0.0000625, 0.0625,        1.0625,      2.1875,
                                1062.5,    0.010625, 0.0000375, 0.00999999999, 0.999999999, 999.9999999,
                                1234.5678, 12.3456,  0.000123};
  for (int exponent = -4; exponent <= 5; ++exponent) {
    for (const double mantissa : {1.0, 2.0, 5.0}) {
      const double step =
          exponent < 0 ? mantissa / std::pow(10.0, -exponent) : mantissa * std::pow(10.0, exponent);
      for (const double nudge : {1.0, 1.0 - 1e-13, 1.0 + 1e-13, 1.0 - 1e-10, 1.0 + 1e-10, 1.5, 0.999}) {
        values.push_back(step * nudge);
      }
    }
  }
  Sequence sequence;
  for (int i = 0; i < 2000; ++i) values.push_back(std::pow(10.0, -5.0 + 12.0 * sequence.next()));
  return values;
}

}  // namespace

int main() {
  const std::vector<double> inputs = lengths();
  std::string out = "{\"niceLengthAtMost\":[";
  for (const double limit : inputs) appendRow(out, {number(limit), number(niceLengthAtMost(limit))});
  out += "],\n\"scaleBarLength\":[";
  for (const double limit : inputs)
    appendRow(out, {number(limit * 40.0), number(scaleBarLength(limit * 40.0))});
  // The labels of the 1-2-5 lengths, and of any length (a tolerance, twice it).
  out += "],\n\"lengthLabel\":[";
  for (const double length : inputs) {
    const double nice = niceLengthAtMost(length);
    appendRow(out, {number(nice), quoted(lengthLabel(nice))});
    appendRow(out, {number(length), quoted(lengthLabel(length))});
  }
  out += "],\n\"shiftClass\":[";
  for (const double tolerance : {0.05, 0.02, 0.003, 0.1 * 3}) {
    for (const double horizontal :
         {0.0, tolerance, std::nextafter(tolerance, 1.0), 2.0 * tolerance,
          std::nextafter(2.0 * tolerance, 1.0), 1.5 * tolerance, 0.1 + 0.2, 0.3, 10.0}) {
      appendRow(out, {number(horizontal), number(tolerance),
                      std::to_string(static_cast<int>(shiftClass(horizontal, tolerance)))});
    }
  }
  out += "],\n\"percentile\":[";
  Sequence sequence;
  std::vector<double> spread(101);
  for (double& value : spread) value = 0.2 * sequence.next();
  std::sort(spread.begin(), spread.end());
  const std::vector<std::vector<double>> samples = {{0.5}, {0.1, 0.2}, {0.1, 0.2, 0.4, 0.8, 1.6}, spread};
  for (const std::vector<double>& sorted : samples) {
    for (const double p : {0.0, 0.5, 0.95, 0.99, 1.0}) {
      appendRow(out, {numbers(sorted), number(p), number(percentile(sorted, p))});
    }
  }
  out += "],\n\"nearestNiceValue\":[";
  for (const double value : inputs) appendRow(out, {number(value), number(nearestNiceValue(value))});
  out += "],\n\"viewExaggeration\":[";
  for (const double typical : {0.0, 0.0004, 0.03, 0.0137, 1.0 / 3, 2.7}) {
    for (const double pxPerMetre : {0.0017, 1.0 / 600, 0.35, 4.0, 113.0}) {
      appendRow(out, {number(typical), number(pxPerMetre), number(viewExaggeration(typical, pxPerMetre))});
    }
  }
  out += "],\n\"viewReferenceLength\":[";
  for (const double tolerance : {0.05, 0.02, 0.003, 0.3}) {
    for (const double arrowPxPerMetre : {1.0, 50.0, 300.0, 600.0, 2400.0, 4000.0, 1e5}) {
      appendRow(out, {number(tolerance), number(arrowPxPerMetre),
                      number(viewReferenceLength(tolerance, arrowPxPerMetre))});
    }
  }
  // Clean networks, a few blunders, many, ties, one value, none.
  out += "],\n\"robustTypicalShift\":[";
  std::vector<std::vector<double>> networks = {{}, {0.5}, {0.0, 0.0, 0.0}, {0.01, 0.01, 0.01, 0.01, 2.0}};
  for (const double blunderShare : {0.0, 0.005, 0.06, 0.15}) {
    std::vector<double> shifts(400);
    for (std::size_t k = 0; k < shifts.size(); ++k) {
      const bool blunder = sequence.next() < blunderShare;
      shifts[k] = blunder ? 0.2 + 2.8 * sequence.next() : 0.01 + 0.04 * sequence.next();
    }
    networks.push_back(shifts);
  }
  for (const std::vector<double>& shifts : networks) {
    const TypicalShift found = robustTypicalShift(shifts);
    appendRow(out, {numbers(shifts),
                    numbers({found.inlierLimit, found.typical, static_cast<double>(found.inliers)})});
  }
  out += "],\n\"moverLength\":[";
  for (const double length : inputs) appendRow(out, {number(length), quoted(moverLengthLabel(length))});
  for (const double length : {1.125, 0.0625, 999.5, 0.0125, 40005.6531, 0.0})
    appendRow(out, {number(length), quoted(moverLengthLabel(length))});
  out += "]}\n";
  std::cout << out;
  return std::cout ? 0 : 1;
}
