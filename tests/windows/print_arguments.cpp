// Stands in for tessovane2.exe in the prompt script's tests: prints how many
// arguments it got and each one in brackets, and ends with status 7.
#include <cstdio>

int main(int argc, char** argv) {
  std::printf("%d arguments\n", argc - 1);
  for (int i = 1; i < argc; ++i) std::printf("[%s]\n", argv[i]);
  return 7;
}
