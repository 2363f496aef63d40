// The summary that tessovane2_shifts writes on standard output.
#pragma once

#include <string>

#include "shifts/shift_results.h"

namespace tessovane2::shifts {

// Counts, the horizontal shift's spread, the components' mean, standard
// deviation and RMS, and the ten largest horizontal and vertical movers;
// metres with 4 decimals, "-" where a figure is missing.
std::string summaryText(const ShiftResults& results);

}  // namespace tessovane2::shifts
