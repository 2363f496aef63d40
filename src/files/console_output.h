// Standard output as a stream that tells a failed write from a reader that
// has gone away: a pipe into "head" closed early is no fault of the run, so
// what is written after it is dropped and the stream stays good; any other
// failure (a full disk, a closed descriptor) fails the stream, for the run
// to report once its files are complete.
#pragma once

#include <array>
#include <iosfwd>
#include <ostream>
#include <streambuf>

namespace tessovane2 {

class ConsoleBuffer : public std::streambuf {
 public:
  // descriptor: 1 for standard output (on Windows a C runtime descriptor,
  // whose text mode writes each line feed as CR LF).
  explicit ConsoleBuffer(int descriptor);
  ~ConsoleBuffer() override;

 protected:
  int_type overflow(int_type c) override;
  int sync() override;

 private:
  bool writeOut();

  int descriptor_;
  bool readerGone_ = false;
  std::array<char, 1 << 16> buffer_;
};

// The program's standard output: buffered, flushed where the run flushes.
class ConsoleOutput : public std::ostream {
 public:
  ConsoleOutput();

 private:
  ConsoleBuffer buffer_;
};

// The end of a run: flushes `out`; when it has failed, writes "Error: unable
// to write standard output" to `err` and returns `failedStatus` (the larger
// of it and `status`), otherwise `status`.
int statusAfterConsole(std::ostream& out, std::ostream& err, int status, int failedStatus);

}  // namespace tessovane2
