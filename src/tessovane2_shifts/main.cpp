#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "files/console_output.h"
#include "tessovane2_shifts/run_shifts.h"

int main(int argc, char** argv) {
#ifdef SIGPIPE
  // A summary piped into "head" must not kill the run before its files are
  // complete: the console stream then drops what is left for it.
  std::signal(SIGPIPE, SIG_IGN);
#endif
#ifdef SIGXFSZ
  // A file-size limit reached must end the run as a failed write does (its
  // temporaries removed, a message), not kill it.
  std::signal(SIGXFSZ, SIG_IGN);
#endif
  std::ios::sync_with_stdio(false);
  tessovane2::ConsoleOutput out;
  const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  return tessovane2::shifts::runShifts(arguments, std::cin, out, std::cerr,
                                       [] { return tessovane2::Date(); });
}
