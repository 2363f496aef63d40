// The six run parameters: from the command line or from prompts, validated.
#pragma once

#include <iosfwd>
#include <optional>
#include <span>
#include <string>

#include "compare/match_key.h"

namespace tessovane2 {

struct RunParameters {
  std::string firstFileName;
  std::string secondFileName;
  std::string outputFileName;   // base name of the .stt, .msg and .out files
  double shiftTolerance = 0.0;  // metres
  int ssnLength = 4;            // digits of an SSN: 3, 4 or 5
  MatchKey matchType = MatchKey::Ssn;
  int searchType = 4;           // ssnLength when matching by SSN, 6 by PID
  std::string searchTypeLabel;  // "3 digit SSN", "4 digit SSN", "5 digit SSN" or "PID"
};

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

// The tolerance text as metres, or nothing when it is not a usable number:
// a zero value with characters left over, or a value that is not finite.
std::optional<double> toleranceValue(const std::string& text);

}  // namespace tessovane2
