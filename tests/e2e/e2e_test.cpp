// Whole runs kept as data, one folder per case:
//   about           one line: the rule or fault the case pins (printed when it fails)
//   args            the six arguments, one per line (absent in prompt mode)
//   stdin           standard input (prompt mode)
//   in/             the files in the working folder before the run
//   expected/stdout, expected/stderr, expected/status
//   expected/files/ every file in the working folder after the run
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "support/run_in_folder.h"

namespace tessovane2::testing {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> caseNames() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(TESSOVANE2_CASES_DIR)) {
    if (entry.is_directory()) names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> result;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) result.push_back(line);
  return result;
}

class WholeRun : public ::testing::TestWithParam<std::string> {};

TEST_P(WholeRun, MatchesExpectedOutputByteForByte) {
  const fs::path dir = fs::path(TESSOVANE2_CASES_DIR) / GetParam();
  ASSERT_TRUE(fs::exists(dir / "about")) << "a case says what it pins in its about file";
  SCOPED_TRACE(readFile(dir / "about"));
  TempFolder folder;
  if (fs::exists(dir / "in")) {
    for (const auto& entry : fs::directory_iterator(dir / "in")) {
      fs::copy_file(entry.path(), folder.path() / entry.path().filename());
    }
  }
  const bool promptMode = !fs::exists(dir / "args");
  const std::vector<std::string> arguments =
      promptMode ? std::vector<std::string>{} : lines(readFile(dir / "args"));
  const std::string input = fs::exists(dir / "stdin") ? readFile(dir / "stdin") : "";

  const RunOutcome outcome = runInFolder(folder.path(), arguments, input);

  EXPECT_EQ(outcome.out, readFile(dir / "expected/stdout"));
  EXPECT_EQ(outcome.err, readFile(dir / "expected/stderr"));
  EXPECT_EQ(std::to_string(outcome.status) + "\n", readFile(dir / "expected/status"));
  const auto expectedFiles = readFolder(dir / "expected/files");
  for (const auto& [name, content] : expectedFiles) {
    ASSERT_TRUE(outcome.files.count(name)) << "missing file " << name;
    EXPECT_EQ(outcome.files.at(name), content) << "file " << name;
  }
  for (const auto& [name, content] : outcome.files) {
    EXPECT_TRUE(expectedFiles.count(name)) << "unexpected file " << name;
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, WholeRun, ::testing::ValuesIn(caseNames()),
                         [](const auto& caseInfo) { return caseInfo.param; });

}  // namespace
}  // namespace tessovane2::testing
