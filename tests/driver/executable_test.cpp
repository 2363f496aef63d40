// The built program itself, started as a process.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "support/run_in_folder.h"

namespace tessovane2::testing {
namespace {

namespace fs = std::filesystem;

struct ProcessOutcome {
  int status = -1;
  std::string out, err;
};

// Runs the executable in `folder` with standard input from /dev/null; its
// console streams are caught in files of `capture`.
ProcessOutcome runExecutable(const fs::path& folder, const fs::path& capture,
                             const std::vector<std::string>& arguments) {
  const std::string outPath = capture / "stdout", errPath = capture / "stderr";
  std::vector<std::string> words = {TESSOVANE2_EXECUTABLE};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    const int in = open("/dev/null", O_RDONLY);
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0 || err < 0 || chdir(folder.c_str()) != 0) _exit(127);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    execv(argv[0], argv.data());
    _exit(127);
  }
  ProcessOutcome outcome;
  int status = 0;
  if (pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status)) {
    outcome.status = WEXITSTATUS(status);
  }
  outcome.out = readFile(outPath);
  outcome.err = readFile(errPath);
  return outcome;
}

TEST(Executable, AnArgumentWithBlanksIsOneArgument) {
  TempFolder folder, capture;
  const std::string station =
      "AB0001*80 0001STATION 0001                  38532345678N077021234567W001234\n";
  writeFile(folder.path() / "first file.txt", station);
  writeFile(folder.path() / "second file.txt", station);
  const ProcessOutcome outcome = runExecutable(
      folder.path(), capture.path(),
      {"first file.txt", "second file.txt", "my run", "0.05", "4", "S"});
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_NE(outcome.out.find(" Output     filename = my run.out\n"), std::string::npos);
  EXPECT_NE(outcome.out.find("End tessovane2... bye!\n"), std::string::npos);
  EXPECT_TRUE(fs::exists(folder.path() / "my run.out"));
  EXPECT_TRUE(fs::exists(folder.path() / "my run.stt"));
}

TEST(Executable, FiveArgumentsGiveTheHelpAndStatusOne) {
  TempFolder folder, capture;
  const ProcessOutcome outcome =
      runExecutable(folder.path(), capture.path(), {"a.txt", "b.txt", "run", "0.05", "4"});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.out, "");
  EXPECT_EQ(outcome.err.rfind("KOV program tessovane2    version: 1.4", 0), 0u);
  EXPECT_NE(outcome.err.find("       Match on PID for TORMEL format data only.\n\n"),
            std::string::npos);
  EXPECT_TRUE(fs::is_empty(folder.path()));
}

}  // namespace
}  // namespace tessovane2::testing
