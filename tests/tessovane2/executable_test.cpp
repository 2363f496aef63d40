// The built program itself, started through the command interpreter as a
// user would: sh on POSIX systems, cmd on Windows.
#include <gtest/gtest.h>

#include <cstdio>

#include "support/run_in_folder.h"

#if defined(_WIN32)
#define popen _popen
#define pclose _pclose
#else
#include <sys/wait.h>
#endif

namespace tessovane2::testing {
namespace {

namespace fs = std::filesystem;

struct ProcessOutcome {
  int status = -1;
  std::string out, err;  // read back as text
};

// `arguments` is command text; standard error is caught in a file of `capture`.
ProcessOutcome runExecutable(const fs::path& folder, const fs::path& capture, const std::string& arguments) {
  const fs::path errPath = capture / "stderr";
#if defined(_WIN32)
  const std::string command = "cd /d \"" + folder.string() + "\" && \"" +
                              fs::path(TESSOVANE2_EXECUTABLE).make_preferred().string() + "\" " + arguments +
                              " <NUL 2>\"" + errPath.string() + "\"";
  const char* mode = "rb";  // the bytes as written, CR LF included
#else
  const std::string command = "cd '" + folder.string() + "' && '" TESSOVANE2_EXECUTABLE "' " + arguments +
                              " </dev/null 2>'" + errPath.string() + "'";
  const char* mode = "r";
#endif
  ProcessOutcome outcome;
  FILE* pipe = popen(command.c_str(), mode);
  if (pipe == nullptr) return outcome;
  std::string out;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  const int status = pclose(pipe);
#if defined(_WIN32)
  outcome.status = status;
#else
  if (WIFEXITED(status)) outcome.status = WEXITSTATUS(status);
#endif
  outcome.out = readBackAsText(out);
  outcome.err = readBackAsText(readFile(errPath));
  return outcome;
}

TEST(Executable, AQuotedArgumentWithBlanksIsOneArgument) {
  TempFolder folder, capture;
  writeFile(folder.path() / "first file.txt", kStation);
  writeFile(folder.path() / "second file.txt", kStation);
  const ProcessOutcome outcome = runExecutable(folder.path(), capture.path(),
                                               "\"first file.txt\" \"second file.txt\" \"my run\" 0.05 4 S");
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
