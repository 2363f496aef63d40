// One whole run of tessovane2.
#pragma once

#include <iosfwd>
#include <span>
#include <string>

#include "date/clock.h"

namespace tessovane2 {

// Runs the program on `arguments` (without the program name) with the three
// console streams and returns the exit status: 0 at the normal end, 1 after
// the help text, after every fatal error, and when `out` could not be
// written ("Error: unable to write standard output" on `err`).
int run(
    std::span<const std::string> arguments, std::istream& in, std::ostream& out, std::ostream& err,
    const Clock& clock = [] { return Date(); });

}  // namespace tessovane2
