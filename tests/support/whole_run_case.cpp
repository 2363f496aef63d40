#include "support/whole_run_case.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tessovane2::testing {

namespace fs = std::filesystem;

std::vector<std::string> caseNames(const fs::path& cases) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(cases)) {
    if (entry.is_directory()) names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

void expectWholeRun(const fs::path& caseFolder, const RunFunction& program, WrittenAs written) {
  ASSERT_TRUE(fs::exists(caseFolder / "about")) << "a case says what it pins in its about file";
  SCOPED_TRACE(readFile(caseFolder / "about"));
  TempFolder folder;
  if (fs::exists(caseFolder / "in")) {
    for (const auto& entry : fs::directory_iterator(caseFolder / "in")) {
      fs::copy_file(entry.path(), folder.path() / entry.path().filename());
    }
  }
  const std::vector<std::string> arguments =
      fs::exists(caseFolder / "args") ? lines(readFile(caseFolder / "args")) : std::vector<std::string>{};
  const std::string input = fs::exists(caseFolder / "stdin") ? readFile(caseFolder / "stdin") : "";

  const RunOutcome outcome = runInFolder(folder.path(), arguments, input, program, written);

  EXPECT_EQ(outcome.out, readFile(caseFolder / "expected/stdout"));
  EXPECT_EQ(outcome.err, readFile(caseFolder / "expected/stderr"));
  EXPECT_EQ(std::to_string(outcome.status) + "\n", readFile(caseFolder / "expected/status"));
  const auto expectedFiles = readFolder(caseFolder / "expected/files");
  for (const auto& [name, content] : expectedFiles) {
    ASSERT_TRUE(outcome.files.count(name)) << "missing file " << name;
    EXPECT_EQ(outcome.files.at(name), content) << "file " << name;
  }
  for (const auto& [name, content] : outcome.files) {
    EXPECT_TRUE(expectedFiles.count(name)) << "unexpected file " << name;
  }
}

}  // namespace tessovane2::testing
