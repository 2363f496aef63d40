#include "support/run_program.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <thread>

#include "support/run_in_folder.h"

namespace tessovane2::testing {

pid_t startProgram(const std::filesystem::path& folder, const std::vector<std::string>& arguments, int in,
                   int out, int err, const Launch& launch) {
  std::vector<std::string> words = {launch.executable};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    std::signal(SIGPIPE, SIG_DFL);
    if (err < 0) err = open("/dev/null", O_WRONLY);
    if (chdir(folder.c_str()) != 0 || err < 0) _exit(127);
    if (launch.fileSizeLimitBytes >= 0) {
      const rlimit limit{static_cast<rlim_t>(launch.fileSizeLimitBytes),
                         static_cast<rlim_t>(launch.fileSizeLimitBytes)};
      if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(127);
    }
    dup2(in, 0);
    dup2(err, 2);
    if (out < 0) {
      close(1);
    } else {
      dup2(out, 1);
    }
    execv(argv[0], argv.data());
    _exit(127);
  }
  return pid;
}

ProcessEnd waitForProgram(pid_t pid, std::chrono::milliseconds allowed) {
  ProcessEnd end;
  if (pid <= 0) return end;
  int status = 0;
  const auto deadline = std::chrono::steady_clock::now() + allowed;
  while (!end.ended && std::chrono::steady_clock::now() < deadline) {
    end.ended = waitpid(pid, &status, WNOHANG) == pid;
    if (!end.ended) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (end.ended) {
    end.status = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
  } else {
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
  }
  return end;
}

ProgramOutcome runProgram(const std::filesystem::path& folder, const std::vector<std::string>& arguments,
                          const std::string& input, const Launch& launch) {
  ProgramOutcome outcome;
  const TempFolder capture;
  const std::string outPath = capture.path() / "stdout", errPath = capture.path() / "stderr";
  // The whole input fits in the pipe, so it is written and closed at once.
  int in[2];
  if (input.size() >= 65536 || pipe2(in, O_CLOEXEC) != 0) return outcome;
  const bool written = write(in[1], input.data(), input.size()) == static_cast<ssize_t>(input.size());
  close(in[1]);
  const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
  const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
  if (written && out >= 0 && err >= 0)
    outcome.end = waitForProgram(startProgram(folder, arguments, in[0], out, err, launch));
  for (const int fd : {in[0], out, err}) close(fd);
  outcome.out = readFile(outPath);
  outcome.err = readFile(errPath);
  outcome.files = readFolder(folder);
  return outcome;
}

}  // namespace tessovane2::testing
