// Whole runs kept as data, one folder per case:
//   about           one line: the rule or fault the case pins (printed when it fails)
//   args            the six arguments, one per line (absent in prompt mode)
//   stdin           standard input (prompt mode)
//   in/             the files in the working folder before the run
//   expected/stdout, expected/stderr, expected/status
//   expected/files/ every file in the working folder after the run
// One copy for every platform, with LF line ends. The run is in-process: its
// console is string streams, compared as they are; the files it writes are
// read back as text (tests/support/run_in_folder.h), so on Windows each of
// their lines must end in CR LF where the expected file has LF.
#include <gtest/gtest.h>

#include "support/whole_run_case.h"

namespace tessovane2::testing {
namespace {

class WholeRun : public ::testing::TestWithParam<std::string> {};

TEST_P(WholeRun, MatchesExpectedOutputByteForByte) {
  expectWholeRun(std::filesystem::path(TESSOVANE2_CASES_DIR) / GetParam(), run);
}

INSTANTIATE_TEST_SUITE_P(Cases, WholeRun, ::testing::ValuesIn(caseNames(TESSOVANE2_CASES_DIR)),
                         [](const auto& caseInfo) { return caseInfo.param; });

}  // namespace
}  // namespace tessovane2::testing
