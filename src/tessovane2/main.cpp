#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "tessovane2/run.h"

int main(int argc, char** argv) {
#if defined(SIGPIPE)
  // A console that goes away (a pipe into "head" closed early) must not kill
  // the run halfway through writing its files: console writes then simply
  // fail, as they are not checked. Windows has no such signal: a write to a
  // closed pipe fails there anyway.
  std::signal(SIGPIPE, SIG_IGN);
#endif
  std::ios::sync_with_stdio(false);
  std::cerr << std::unitbuf;
  const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  return tessovane2::run(arguments, std::cin, std::cout, std::cerr);
}
