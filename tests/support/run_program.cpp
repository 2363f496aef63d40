#include "support/run_program.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

#include "support/run_in_folder.h"

namespace tessovane2::testing {

ProgramOutcome runProgram(const std::filesystem::path& folder, const std::vector<std::string>& arguments,
                          const std::string& input, std::chrono::milliseconds allowed) {
  ProgramOutcome outcome;
  const TempFolder capture;
  const std::string outPath = capture.path() / "stdout", errPath = capture.path() / "stderr";
  std::vector<std::string> words = {TESSOVANE2_EXECUTABLE};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  // The whole input fits in the pipe, so it is written and closed at once.
  int in[2];
  if (input.size() >= 65536 || pipe2(in, O_CLOEXEC) != 0) return outcome;
  const bool written = write(in[1], input.data(), input.size()) == static_cast<ssize_t>(input.size());
  close(in[1]);
  const pid_t pid = written ? fork() : -1;
  if (pid == 0) {
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (out < 0 || err < 0 || chdir(folder.c_str()) != 0) _exit(127);
    dup2(in[0], 0);
    dup2(out, 1);
    dup2(err, 2);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(in[0]);
  if (pid < 0) return outcome;

  int status = 0;
  const auto deadline = std::chrono::steady_clock::now() + allowed;
  while (!outcome.ended && std::chrono::steady_clock::now() < deadline) {
    outcome.ended = waitpid(pid, &status, WNOHANG) == pid;
    if (!outcome.ended) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (outcome.ended) {
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
  } else {
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
  }
  outcome.out = readFile(outPath);
  outcome.err = readFile(errPath);
  outcome.files = readFolder(folder);
  return outcome;
}

}  // namespace tessovane2::testing
