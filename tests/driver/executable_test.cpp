// The built program itself, started through the shell as a user would.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>

#include "support/run_in_folder.h"

namespace tessovane2::testing {
namespace {

namespace fs = std::filesystem;

struct ProcessOutcome {
  int status = -1;
  std::string out, err;
};

// `arguments` is shell text; standard error is caught in a file of `capture`.
ProcessOutcome runExecutable(const fs::path& folder, const fs::path& capture, const std::string& arguments) {
  const fs::path errPath = capture / "stderr";
  const std::string command = "cd '" + folder.string() + "' && '" TESSOVANE2_EXECUTABLE "' " + arguments +
                              " </dev/null 2>'" + errPath.string() + "'";
  ProcessOutcome outcome;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return outcome;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
    outcome.out.append(buffer, n);
  }
  const int status = pclose(pipe);
  if (WIFEXITED(status)) outcome.status = WEXITSTATUS(status);
  outcome.err = readFile(errPath);
  return outcome;
}

TEST(Executable, AQuotedArgumentWithBlanksIsOneArgument) {
  TempFolder folder, capture;
  writeFile(folder.path() / "first file.txt", kStation);
  writeFile(folder.path() / "second file.txt", kStation);
  const ProcessOutcome outcome =
      runExecutable(folder.path(), capture.path(), "'first file.txt' \"second file.txt\" 'my run' 0.05 4 S");
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_NE(outcome.out.find(" 1st input  filename = first file.txt\n"), std::string::npos);
  EXPECT_NE(outcome.out.find(" Output     filename = my run.out\n"), std::string::npos);
  EXPECT_NE(outcome.out.find("End tessovane2... bye!\n"), std::string::npos);
  EXPECT_TRUE(fs::exists(folder.path() / "my run.stt"));
}

TEST(Executable, FiveArgumentsGiveTheHelpAndStatusOne) {
  TempFolder folder, capture;
  const ProcessOutcome outcome = runExecutable(folder.path(), capture.path(), "a.txt b.txt run 0.05 4");
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.out, "");
  EXPECT_EQ(outcome.err.rfind("KOV program tessovane2    version: 1.4", 0), 0u);
  EXPECT_NE(outcome.err.find("       Match on PID for TORMEL format data only.\n\n"), std::string::npos);
  EXPECT_TRUE(fs::is_empty(folder.path()));
}

}  // namespace
}  // namespace tessovane2::testing
