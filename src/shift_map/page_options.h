// What the command line chooses for the page and the SVG map.
#pragma once

#include <optional>

namespace tessovane2::shifts {

struct PageOptions {
  // Factor by which the shift arrows are drawn longer than the ground
  // distance they stand for; given with --exaggeration, else chosen from the
  // network (chooseExaggeration for the page's first view, viewExaggeration
  // for the SVG's).
  std::optional<double> exaggeration;
};

}  // namespace tessovane2::shifts
