// tessovane2's banner, help text and prompts for the six run parameters.
#pragma once

#include <iosfwd>
#include <optional>
#include <span>
#include <string>

#include "parameters/run_parameters.h"

namespace tessovane2 {

// The banner that opens every run.
void writeBanner(std::ostream& err);

// The help text.
void writeHelp(std::ostream& err);

// Takes the parameters from the six arguments, or, with no arguments, asks for
// them on `out` and reads one word per answer from `in`. Writes the help text
// for any other number of arguments, and the message of the first parameter
// that fails validation; then returns nothing (the run ends with status 1).
std::optional<RunParameters> readRunParameters(std::span<const std::string> arguments, std::istream& in,
                                               std::ostream& out, std::ostream& err);

}  // namespace tessovane2
