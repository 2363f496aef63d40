#include "tessovane2/prompts.h"

#include <array>
#include <istream>
#include <ostream>

#include "version.h"

namespace tessovane2 {

namespace {

constexpr const char* kVersionDate = "2003/10/14";

// One whitespace-delimited word; the empty text at end of input. A NUL byte
// is not white space and stays in the word: a name holding one then opens
// nothing, rather than the name cut short at it.
std::string readWord(std::istream& in) {
  std::string word;
  if (!(in >> word)) word.clear();
  return word;
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

  return runParameters(answers, err);
}

}  // namespace tessovane2
