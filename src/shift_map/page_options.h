// What the command line chooses for the page and the SVG map.
#pragma once

#include <cstddef>
#include <optional>

namespace tessovane2::shifts {

struct PageOptions {
  // Factor by which the shift arrows are drawn longer than the ground
  // distance they stand for; given with --exaggeration, else chosen from the
  // network (chooseExaggeration).
  std::optional<double> exaggeration;
  // The standalone SVG draws at most this many stations: every flagged one
  // (over a tolerance or in one file only) and an even sample of the rest.
  std::size_t svgStationLimit = 20000;
};

}  // namespace tessovane2::shifts
