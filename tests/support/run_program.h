// Running the built program as a separate process, as a user starts it, with
// a watchdog: a run that hangs is killed and reported, so a test fails
// instead of hanging.
#pragma once

#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace tessovane2::testing {

struct ProgramOutcome {
  bool ended = false;  // false: still running when its time was up, then killed
  int status = -1;     // exit status, or minus the signal that ended it
  std::string out;
  std::string err;
  std::map<std::string, std::string> files;  // every regular file of the folder after the run
};

// Runs the program with the working folder `folder`, `arguments` (without
// the program name) and a pipe holding `input` (under 64 KiB) as standard
// input.
ProgramOutcome runProgram(const std::filesystem::path& folder, const std::vector<std::string>& arguments,
                          const std::string& input = "",
                          std::chrono::milliseconds allowed = std::chrono::seconds(30));

}  // namespace tessovane2::testing
