#include "files/console_output.h"

#include <algorithm>
#include <cerrno>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace tessovane2 {

namespace {

// Bytes written, or -1 with errno set; a write cut short by a signal is
// taken up again.
long writeSome(int descriptor, const char* data, std::size_t size) {
#ifdef _WIN32
  return _write(descriptor, data, static_cast<unsigned>(std::min<std::size_t>(size, 1u << 30)));
#else
  long written = 0;
  do {
    written = ::write(descriptor, data, size);
  } while (written < 0 && errno == EINTR);
  return written;
#endif
}

}  // namespace

ConsoleBuffer::ConsoleBuffer(int descriptor) : descriptor_(descriptor) {
  setp(buffer_.data(), buffer_.data() + buffer_.size());
}

ConsoleBuffer::~ConsoleBuffer() { writeOut(); }

bool ConsoleBuffer::writeOut() {
  const char* data = pbase();
  std::size_t size = static_cast<std::size_t>(pptr() - pbase());
  setp(buffer_.data(), buffer_.data() + buffer_.size());
  while (size > 0 && !readerGone_) {
    const long written = writeSome(descriptor_, data, size);
    if (written < 0 && errno == EPIPE) {
      // The reader has closed its end (SIGPIPE is ignored, or Windows):
      // the rest has nobody to read it.
      readerGone_ = true;
    } else if (written <= 0) {
      return false;
    } else {
      data += written;
      size -= static_cast<std::size_t>(written);
    }
  }
  return true;
}

ConsoleBuffer::int_type ConsoleBuffer::overflow(int_type c) {
  if (!writeOut()) return traits_type::eof();
  if (!traits_type::eq_int_type(c, traits_type::eof())) {
    *pptr() = traits_type::to_char_type(c);
    pbump(1);
  }
  return traits_type::not_eof(c);
}

int ConsoleBuffer::sync() { return writeOut() ? 0 : -1; }

ConsoleOutput::ConsoleOutput() : std::ostream(nullptr), buffer_(1) { rdbuf(&buffer_); }

int statusAfterConsole(std::ostream& out, std::ostream& err, int status, int failedStatus) {
  out.flush();
  if (!out.fail()) return status;
  err << "Error: unable to write standard output" << '\n' << std::flush;
  return std::max(status, failedStatus);
}

}  // namespace tessovane2
