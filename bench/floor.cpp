// The fastest run the record format allows: read both inputs whole, then
// write a finished report with one write system call per line, as the flush
// after every report line makes tessovane2 do. A whole run is timed against
// this floor (scripts/bench.sh).
//
//   tessovane2_floor FIRST SECOND FINISHED_REPORT OUTPUT
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

bool readWhole(const char* name, std::string& text) {
  const int fd = open(name, O_RDONLY);
  if (fd < 0) return false;
  char block[1 << 16];
  for (ssize_t n; (n = read(fd, block, sizeof block)) > 0;) text.append(block, static_cast<std::size_t>(n));
  close(fd);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: %s FIRST SECOND FINISHED_REPORT OUTPUT\n", argv[0]);
    return 2;
  }
  std::string first, second, report;
  if (!readWhole(argv[1], first) || !readWhole(argv[2], second) || !readWhole(argv[3], report)) {
    std::fprintf(stderr, "%s: cannot read the inputs\n", argv[0]);
    return 1;
  }
  const int out = open(argv[4], O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (out < 0) return 1;
  for (std::size_t start = 0; start < report.size();) {
    std::size_t end = report.find('\n', start);
    end = end == std::string::npos ? report.size() : end + 1;
    if (write(out, report.data() + start, end - start) < 0) return 1;
    start = end;
  }
  close(out);
  return 0;
}
