// Run parameters: help text, prompts, validation and the derived search type.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "support/builders.h"
#include "support/run_in_folder.h"
#include "tessovane2/prompts.h"

namespace tessovane2::testing {
namespace {

const std::string kHelp =
    "   Finds the difference in position and orthometric height for the same station\n"
    "   as reported in two horizontal files with 80* and 86* records.\n"
    "   Orthometric height on 86* overwrites 80* elevation.\n"
    "   Orthometric heights on 86* records, if present,\n"
    "   will be used instead of those on 80* records.\n"
    "   Input formats: TORMEL, Horizontal Quillane(match SSN only).\n"
    "   Uses GRS80 ellipsoid for geodetic inverse.\n"
    "   See Unix script tessovane2_prompt.\n"
    "Windows DOS box usage: \n"
    "   tessovane2 (user is queried for input parameters)\n"
    "Command Line Usage: \n"
    "   tessovane2 <1st Filename> <2nd Filename> <Output Filename>\n"
    "              <Shift Tolerance (meter)>\n"
    "              <SSN Length in 2nd file>\n"
    "              <Match Type>\n"
    "Where: SSN Length in 2nd file = { 3, 4, 5 }.\n"
    "       Match Type = { S,s,P,p, } for SSN or PID.\n"
    "       Match on PID for TORMEL format data only.\n"
    "\n";

const std::string kSsnLengthHint = "        SSN Lengths may be 3, 4 or 5\n";
const std::string kMatchTypeHint = "       Match types may be S,s, P,p\n";

TEST(RunParameters, AnyArgumentCountButZeroOrSixGivesHelpAndTouchesNoFile) {
  const std::vector<std::vector<std::string>> cases = {{"-h"},
                                                       {"a.txt"},
                                                       {"a", "b"},
                                                       {"a", "b", "c"},
                                                       {"a", "b", "c", "1"},
                                                       {"a.txt", "b.txt", "run", "0.05", "4"},
                                                       {"a.txt", "b.txt", "run", "0.05", "4", "S", "x"},
                                                       {"-h", "-h", "-h", "-h", "-h", "-h", "-h", "-h"}};
  for (const auto& arguments : cases) {
    TempFolder folder;
    writeFile(folder.path() / "a.txt", "");
    writeFile(folder.path() / "b.txt", "");
    const RunOutcome outcome = runInFolder(folder.path(), arguments);
    EXPECT_EQ(outcome.status, 1) << arguments.size() << " arguments";
    EXPECT_EQ(outcome.err, kBanner + kHelp) << arguments.size() << " arguments";
    EXPECT_EQ(outcome.out, "") << arguments.size() << " arguments";
    EXPECT_EQ(outcome.files.size(), 2u) << arguments.size() << " arguments";
  }
}

TEST(RunParameters, PromptAnswersAreWordsOnOneLineOrAcrossLines) {
  for (const std::string input :
       {"a.txt b.txt run 0.05 4 S extra\n", "  a.txt\n\n\tb.txt\nrun   0.05\n4\nS extra"}) {
    std::istringstream in(input);
    std::ostringstream out, err;
    const auto parameters = readRunParameters({}, in, out, err);
    ASSERT_TRUE(parameters) << input;
    EXPECT_EQ(out.str(), kPrompts);
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(parameters->firstFileName, "a.txt");
    EXPECT_EQ(parameters->secondFileName, "b.txt");
    EXPECT_EQ(parameters->outputFileName, "run");
    EXPECT_EQ(parameters->shiftTolerance, 0.05);
    EXPECT_EQ(parameters->searchTypeLabel, "4 digit SSN");
    // The blank after the sixth word stays unread.
    EXPECT_EQ(in.get(), ' ');
  }
}

// Each check in turn, and only the first failing one is reported.
TEST(RunParameters, ValidationMessagesInTheirOrder) {
  struct Case {
    std::string tolerance, ssnLength, matchType, messages;
  };
  const std::vector<Case> cases = {
      {"abc", "4", "S", "Error: Invalid real number for Shift Tolerance: abc\n"},
      {"abc", "9", "x", "Error: Invalid real number for Shift Tolerance: abc\n"},
      {"1e999", "4", "S", "Error: Invalid real number for Shift Tolerance: 1e999\n"},
      {"0.05", "04", "P", " Error: Invalid SSN Length: 04\n" + kSsnLengthHint},
      {"0.05", "4 ", "P", " Error: Invalid SSN Length: 4 \n" + kSsnLengthHint},
      {"0.05", "four", "p", " Error: Invalid SSN Length: four\n" + kSsnLengthHint},
      {"0.05", "4.0", "x", " Error: Invalid SSN Length: 4.0\n" + kSsnLengthHint},
      {"0.05", "4", "n", "Error: Invalid match type: n\n" + kMatchTypeHint},
      {"0.05", "4", "", "Error: Invalid match type: \n" + kMatchTypeHint},
  };
  for (const Case& c : cases) {
    TempFolder folder;
    const RunOutcome outcome =
        runInFolder(folder.path(), {"a.txt", "b.txt", "run", c.tolerance, c.ssnLength, c.matchType});
    EXPECT_EQ(outcome.status, 1) << c.messages;
    EXPECT_EQ(outcome.err, kBanner + c.messages);
    EXPECT_EQ(outcome.out, "") << c.messages;
    EXPECT_TRUE(outcome.files.empty()) << c.messages;
  }
}

TEST(RunParameters, ToleranceIsRejectedOnlyWhenZeroWithTextLeftOverOrNotFinite) {
  struct Case {
    std::string text;
    bool accepted;
    double value;
  };
  const std::vector<Case> cases = {
      {"5abc", true, 5.0}, {"2.5m", true, 2.5},  {"-1", true, -1.0},    {"0", true, 0.0},
      {"-0", true, 0.0},   {"", true, 0.0},      {".5", true, 0.5},     {"1e3", true, 1000.0},
      {" 7", true, 7.0},   {"1e", true, 1.0},  // "1" read, the rest ignored like in 2.5m
      {"abc", false, 0.0}, {"0abc", false, 0.0}, {".", false, 0.0},     {"inf", false, 0.0},
      {"nan", false, 0.0}, {"0x10", false, 0.0}, {"1e999", false, 0.0}, {"-2e400", false, 0.0},
  };
  for (const Case& c : cases) {
    const std::optional<double> value = toleranceValue(c.text);
    ASSERT_EQ(value.has_value(), c.accepted) << '"' << c.text << '"';
    if (c.accepted) {
      EXPECT_EQ(*value, c.value) << '"' << c.text << '"';
    }
  }
}

TEST(RunParameters, SsnLengthAndMatchTypeGiveSearchTypeAndLabel) {
  struct Case {
    std::string ssnLength, matchType;
    MatchKey key;
    int searchType;
    std::string label;
  };
  for (const Case& c : std::vector<Case>{{"3", "S", MatchKey::Ssn, 3, "3 digit SSN"},
                                         {"4", "ps", MatchKey::Ssn, 4, "4 digit SSN"},
                                         {"5", "pids", MatchKey::Ssn, 5, "5 digit SSN"},
                                         {"5", "Pid", MatchKey::Pid, 6, "PID"}}) {
    std::istringstream in;
    std::ostringstream out, err;
    const auto parameters = readRunParameters(
        std::vector<std::string>{"a", "b", "", "1", c.ssnLength, c.matchType}, in, out, err);
    ASSERT_TRUE(parameters) << c.matchType;
    EXPECT_EQ(parameters->ssnLength, std::stoi(c.ssnLength));
    EXPECT_EQ(parameters->matchType, c.key) << c.matchType;
    EXPECT_EQ(parameters->searchType, c.searchType) << c.matchType;
    EXPECT_EQ(parameters->searchTypeLabel, c.label);
  }
}

}  // namespace
}  // namespace tessovane2::testing
