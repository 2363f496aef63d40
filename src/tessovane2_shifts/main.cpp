#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "tessovane2_shifts/run_shifts.h"

int main(int argc, char** argv) {
#ifdef SIGPIPE
  // A summary piped into "head" must not kill the run before its files are
  // complete: console writes then simply fail.
  std::signal(SIGPIPE, SIG_IGN);
#endif
  std::ios::sync_with_stdio(false);
  const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  return tessovane2::shifts::runShifts(arguments, std::cin, std::cout, std::cerr,
                                       [] { return tessovane2::Date(); });
}
