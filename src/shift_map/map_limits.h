// The values the map can draw. Beyond them a figure of the page or the SVG
// stops meaning anything, so the run is refused before it starts.
#pragma once

#include <optional>
#include <string>

namespace tessovane2::shifts {

// Tolerances (metres), horizontal and vertical: 0 to 1,000 km. The map
// colours the arrows by the tolerance and twice it, and labels them "up to
// 1000 km"; a shift between two surveys of one network beyond 1,000 km is
// no shift, and near 1e308 twice the tolerance is infinite.
inline constexpr double kLargestTolerance = 1e6;

// The arrows' exaggeration: 0.001 to 1e9. At 1e9 a 1 mm shift is drawn
// 1,000 km long, past any map; beyond it the SVG's coordinates outgrow the
// single-precision arithmetic of its renderers (and at 1e308 are infinite).
// Below 0.001 every arrow of a network's real shifts is a dot.
inline constexpr double kSmallestExaggeration = 1e-3;
inline constexpr double kLargestExaggeration = 1e9;

// The refusal of the first value out of its range, naming the option and
// the range; none when the map can draw them all.
std::optional<std::string> mapRangeRefusal(double horizontalTolerance,
                                           std::optional<double> verticalTolerance,
                                           std::optional<double> exaggeration);

}  // namespace tessovane2::shifts
