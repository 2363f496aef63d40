// Running the built program as a separate process, as a user starts it, with
// a watchdog: a run that hangs is killed and reported, so a test fails
// instead of hanging.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace tessovane2::testing {

// Which program a test starts, and the limit it runs under.
struct Launch {
  std::string executable = TESSOVANE2_EXECUTABLE;  // or TESSOVANE2_SHIFTS_EXECUTABLE
  long fileSizeLimitBytes = -1;                    // RLIMIT_FSIZE; -1: as the test's
};

// Starts the program in `folder` with `arguments` (without the program name),
// standard input `in`, standard output `out` (closed when -1), standard error
// `err` (/dev/null when -1) and the default action for SIGPIPE.
pid_t startProgram(const std::filesystem::path& folder, const std::vector<std::string>& arguments, int in,
                   int out, int err, const Launch& launch = {});

struct ProcessEnd {
  bool ended = false;  // false: still running when its time was up, then killed
  int status = -1;     // exit status, or minus the signal that ended it
};

ProcessEnd waitForProgram(pid_t pid, std::chrono::milliseconds allowed = std::chrono::seconds(30));

struct ProgramOutcome {
  ProcessEnd end;
  std::string out;
  std::string err;
  std::map<std::string, std::string> files;  // every regular file of the folder after the run
};

// Runs the program in `folder` with a pipe holding `input` (under 64 KiB) as
// standard input, and catches its console.
ProgramOutcome runProgram(const std::filesystem::path& folder, const std::vector<std::string>& arguments,
                          const std::string& input = "", const Launch& launch = {});

}  // namespace tessovane2::testing
