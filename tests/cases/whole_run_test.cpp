// Whole runs of both programs kept as data, one folder per case under
// cases/tessovane2/ and cases/tessovane2_shifts/:
//   about           one line: the rule or fault the case pins (printed when it fails)
//   args            the arguments, one per line (absent in prompt mode)
//   stdin           standard input (prompt mode)
//   in/             the files in the working folder before the run
//   expected/stdout, expected/stderr, expected/status
//   expected/files/ every file in the working folder after the run
// One copy for every platform, with LF line ends. The run is in-process: its
// console is string streams, compared as they are. tessovane2's files are
// read back as text (tests/support/run_in_folder.h), so on Windows each of
// their lines must end in CR LF where the expected file has LF; the
// companion's files are compared as bytes.
#include <gtest/gtest.h>

#include "support/whole_run_case.h"
#include "tessovane2/run.h"
#include "tessovane2_shifts/run_shifts.h"

namespace tessovane2::testing {
namespace {

const std::filesystem::path kCases = TESSOVANE2_CASES_DIR;

class Tessovane2Run : public ::testing::TestWithParam<std::string> {};
class ShiftsRun : public ::testing::TestWithParam<std::string> {};

TEST_P(Tessovane2Run, MatchesExpectedOutputByteForByte) {
  expectWholeRun(kCases / "tessovane2" / GetParam(), run);
}

TEST_P(ShiftsRun, MatchesExpectedOutputByteForByte) {
  expectWholeRun(kCases / "tessovane2_shifts" / GetParam(), shifts::runShifts, WrittenAs::Bytes);
}

const auto kName = [](const auto& caseInfo) { return caseInfo.param; };
INSTANTIATE_TEST_SUITE_P(Cases, Tessovane2Run, ::testing::ValuesIn(caseNames(kCases / "tessovane2")), kName);
INSTANTIATE_TEST_SUITE_P(Cases, ShiftsRun, ::testing::ValuesIn(caseNames(kCases / "tessovane2_shifts")),
                         kName);

}  // namespace
}  // namespace tessovane2::testing
