#include "parameters/run_parameters.h"

#include <array>
#include <cmath>
#include <ostream>

#include "records/conversions.h"

namespace tessovane2 {

namespace {

std::optional<int> ssnLengthValue(const std::string& text) {
  if (text == "3") return 3;
  if (text == "4") return 4;
  if (text == "5") return 5;
  return std::nullopt;
}

// Any S or s means SSN, whatever else the text holds; otherwise any P or p
// means PID.
std::optional<MatchKey> matchTypeValue(const std::string& text) {
  if (text.find_first_of("Ss") != std::string::npos) return MatchKey::Ssn;
  if (text.find_first_of("Pp") != std::string::npos) return MatchKey::Pid;
  return std::nullopt;
}

}  // namespace

std::optional<double> toleranceValue(const std::string& text) {
  const RealConversion c = toReal(text);
  if (c.value == 0.0 && !whollyNumeric(c, text)) return std::nullopt;
  if (!std::isfinite(c.value)) return std::nullopt;
  return c.value;
}

std::optional<RunParameters> runParameters(const std::array<std::string, 6>& answers, std::ostream& err) {
  RunParameters parameters;
  parameters.firstFileName = answers[0];
  parameters.secondFileName = answers[1];
  parameters.outputFileName = answers[2];
  const std::string& toleranceText = answers[3];
  const std::string& ssnLengthText = answers[4];
  const std::string& matchTypeText = answers[5];

  const std::optional<double> tolerance = toleranceValue(toleranceText);
  if (!tolerance) {
    err << "Error: Invalid real number for Shift Tolerance: " << toleranceText << '\n' << std::flush;
    return std::nullopt;
  }
  const std::optional<int> ssnLength = ssnLengthValue(ssnLengthText);
  if (!ssnLength) {
    err << " Error: Invalid SSN Length: " << ssnLengthText << '\n' << std::flush;
    err << "        SSN Lengths may be 3, 4 or 5" << '\n' << std::flush;
    return std::nullopt;
  }
  const std::optional<MatchKey> matchType = matchTypeValue(matchTypeText);
  if (!matchType) {
    err << "Error: Invalid match type: " << matchTypeText << '\n' << std::flush;
    err << "       Match types may be S,s, P,p" << '\n' << std::flush;
    return std::nullopt;
  }

  parameters.shiftTolerance = *tolerance;
  parameters.ssnLength = *ssnLength;
  parameters.matchType = *matchType;
  parameters.searchType = *matchType == MatchKey::Pid ? 6 : *ssnLength;
  static constexpr std::array<const char*, 4> kLabels = {"3 digit SSN", "4 digit SSN", "5 digit SSN", "PID"};
  parameters.searchTypeLabel = kLabels[static_cast<std::size_t>(parameters.searchType - 3)];
  return parameters;
}

}  // namespace tessovane2
