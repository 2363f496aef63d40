#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "files/console_output.h"
#include "tessovane2/run.h"

int main(int argc, char** argv) {
#if defined(SIGPIPE)
  // A console that goes away (a pipe into "head" closed early) must not kill
  // the run halfway through writing its files: the console stream then drops
  // what is left for it. Windows has no such signal: a write to a closed
  // pipe fails there anyway.
  std::signal(SIGPIPE, SIG_IGN);
#endif
  std::ios::sync_with_stdio(false);
  std::cerr << std::unitbuf;
  tessovane2::ConsoleOutput out;
  const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  return tessovane2::run(arguments, std::cin, out, std::cerr);
}
