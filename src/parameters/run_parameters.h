// The six run parameters of both programs: the two input names, the output
// name, the shift tolerance, the SSN length and the match type; their
// validation, its messages and the match type's label.
#pragma once

#include <array>
#include <iosfwd>
#include <optional>
#include <string>

#include "compare/match_key.h"

namespace tessovane2 {

struct RunParameters {
  std::string firstFileName;
  std::string secondFileName;
  std::string outputFileName;   // base name of the output files
  double shiftTolerance = 0.0;  // metres
  int ssnLength = 4;            // digits of an SSN: 3, 4 or 5
  MatchKey matchType = MatchKey::Ssn;
  int searchType = 4;           // ssnLength when matching by SSN, 6 by PID
  std::string searchTypeLabel;  // "3 digit SSN", "4 digit SSN", "5 digit SSN" or "PID"
};

// The parameters from the six words as given (names, tolerance, SSN length,
// match type), or nothing after writing the message of the first word that
// fails validation to `err`.
std::optional<RunParameters> runParameters(const std::array<std::string, 6>& answers, std::ostream& err);

// The tolerance text as metres, or nothing when it is not a usable number:
// a zero value with characters left over, or a value that is not finite.
std::optional<double> toleranceValue(const std::string& text);

}  // namespace tessovane2
