#include "shift_map/map_limits.h"

#include "format/text_escape.h"

namespace tessovane2::shifts {

std::optional<std::string> mapRangeRefusal(double horizontalTolerance,
                                           std::optional<double> verticalTolerance,
                                           std::optional<double> exaggeration) {
  const auto refusal = [](const char* what, double value, const char* range) {
    return std::string(what) + " " + shortestNumber(value) + " is more than the map can show: " + range;
  };
  if (!(horizontalTolerance <= kLargestTolerance)) {
    return refusal("TOLERANCE", horizontalTolerance, "0 to 1000000 metres");
  }
  if (verticalTolerance && !(*verticalTolerance <= kLargestTolerance)) {
    return refusal("--vertical-tolerance", *verticalTolerance, "0 to 1000000 metres");
  }
  if (exaggeration && !(*exaggeration >= kSmallestExaggeration && *exaggeration <= kLargestExaggeration)) {
    return std::string("--exaggeration ") + shortestNumber(*exaggeration) +
           " is outside what the map can draw: 0.001 to 1000000000";
  }
  return std::nullopt;
}

}  // namespace tessovane2::shifts
