// One whole run of tessovane2_shifts.
#pragma once

#include <iosfwd>
#include <span>
#include <string>

#include "date/clock.h"

namespace tessovane2::shifts {

// Runs the companion on `arguments` (without the program name) with the
// three console streams; the clock stamps the run. Returns the exit status
// as diff has it: 0 when every station is in both files and no pair is over
// a tolerance, 1 when some pair is over a tolerance, some station is in one
// file only, has a blank key (not paired) or a position the format cannot
// mean, 2 on trouble (a bad option or argument, a value the map cannot
// draw, more rows than --max-rows, a file that cannot be read or written,
// an invalid *86 height).
int runShifts(std::span<const std::string> arguments, std::istream& in, std::ostream& out, std::ostream& err,
              const Clock& clock);

}  // namespace tessovane2::shifts
