#include "driver/run_parameters.h"

#include <array>
#include <cmath>
#include <istream>
#include <ostream>

#include "records/conversions.h"

namespace tessovane2 {

namespace {

constexpr const char* kVersion = "1.4";
constexpr const char* kVersionDate = "2003/10/14";

// One whitespace-delimited word; the empty text at end of input. A NUL byte
// is not white space and stays in the word: a name holding one then opens
// nothing, rather than the name cut short at it.
std::string readWord(std::istream& in) {
  std::string word;
  if (!(in >> word)) word.clear();
  return word;
}

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

void writeBanner(std::ostream& err) {
  err << "KOV program tessovane2    version: " << kVersion << "   date(ccyy/mm/dd): " << kVersionDate << '\n'
      << std::flush;
  err << "   for help, enter \"tessovane2 -h\"" << '\n' << std::flush;
  err << '\n' << std::flush;
}

void writeHelp(std::ostream& err) {
  static constexpr std::array<const char*, 19> kLines = {
      "   Finds the difference in position and orthometric height for the same station",
      "   as reported in two horizontal files with 80* and 86* records.",
      "   Orthometric height on 86* overwrites 80* elevation.",
      "   Orthometric heights on 86* records, if present,",
      "   will be used instead of those on 80* records.",
      "   Input formats: TORMEL, Horizontal Quillane(match SSN only).",
      "   Uses GRS80 ellipsoid for geodetic inverse.",
      "   See Unix script tessovane2_prompt.",
      "Windows DOS box usage: ",
      "   tessovane2 (user is queried for input parameters)",
      "Command Line Usage: ",
      "   tessovane2 <1st Filename> <2nd Filename> <Output Filename>",
      "              <Shift Tolerance (meter)>",
      "              <SSN Length in 2nd file>",
      "              <Match Type>",
      "Where: SSN Length in 2nd file = { 3, 4, 5 }.",
      "       Match Type = { S,s,P,p, } for SSN or PID.",
      "       Match on PID for TORMEL format data only.",
      "",
  };
  for (const char* line : kLines) err << line << '\n' << std::flush;
}

std::optional<double> toleranceValue(const std::string& text) {
  const RealConversion c = toReal(text);
  if (c.value == 0.0 && !whollyNumeric(c, text)) return std::nullopt;
  if (!std::isfinite(c.value)) return std::nullopt;
  return c.value;
}

std::optional<RunParameters> readRunParameters(std::span<const std::string> arguments, std::istream& in,
                                               std::ostream& out, std::ostream& err) {
  std::array<std::string, 6> answers;
  if (arguments.empty()) {
    static constexpr std::array<const char*, 6> kPrompts = {
        "Enter 1st Quillane filename: ",
        "Enter 2nd Quillane filename: ",
        "Enter the output filename:   ",
        "Enter the maximum shift tolerance (meters):   ",
        "Enter the SSN length in the 2nd file (3,4,5): ",
        "Enter the match type, SSN or PID (S,s,P,p):   ",
    };
    for (std::size_t i = 0; i < answers.size(); ++i) {
      out << kPrompts[i] << std::flush;
      answers[i] = readWord(in);
    }
    out << '\n' << std::flush;
  } else if (arguments.size() == answers.size()) {
    std::copy(arguments.begin(), arguments.end(), answers.begin());
  } else {
    writeHelp(err);
    return std::nullopt;
  }

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
