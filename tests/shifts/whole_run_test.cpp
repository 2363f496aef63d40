// Whole runs of tessovane2_shifts kept as data (see support/whole_run_case.h).
#include <gtest/gtest.h>

#include "support/whole_run_case.h"
#include "tessovane2_shifts/run_shifts.h"

namespace tessovane2::testing {
namespace {

class ShiftsWholeRun : public ::testing::TestWithParam<std::string> {};

TEST_P(ShiftsWholeRun, MatchesExpectedOutputByteForByte) {
  expectWholeRun(std::filesystem::path(TESSOVANE2_SHIFTS_CASES_DIR) / GetParam(), shifts::runShifts,
                 WrittenAs::Bytes);
}

INSTANTIATE_TEST_SUITE_P(Cases, ShiftsWholeRun, ::testing::ValuesIn(caseNames(TESSOVANE2_SHIFTS_CASES_DIR)),
                         [](const auto& caseInfo) { return caseInfo.param; });

}  // namespace
}  // namespace tessovane2::testing
