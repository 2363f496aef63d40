// Opening files by name for reading and for writing as streams, each
// knowing the identity of the file it actually opened.
#pragma once

#include <ext/stdio_filebuf.h>
#include <istream>
#include <optional>
#include <ostream>
#include <span>
#include <string>

#include "files/file_identity.h"

namespace tessovane2 {

// A file read as bytes, like std::ifstream opened in binary mode.
class InputFileStream : public std::istream {
 public:
  InputFileStream();

  // Opens `name` for reading. False, and the stream stays closed, for a name
  // the system cannot take as it stands, a directory (it would read as an
  // empty file), or anything else that cannot be opened.
  bool open(const std::string& name);
  bool is_open() const { return buffer_.is_open(); }
  // A failed close marks the stream as failed.
  void close();
  // The file as it was opened; kept after closing.
  const std::optional<FileIdentity>& identity() const { return identity_; }

 private:
  __gnu_cxx::stdio_filebuf<char> buffer_;
  std::optional<FileIdentity> identity_;
};

struct OutputOpening {
  bool opened = false;
  // When set, `name` leads to taken[*taken]: refused, and the file is left
  // exactly as it was.
  std::optional<std::size_t> taken;
};

// A file written as text: bytes as they are on POSIX systems, each line
// feed written as CR LF on Windows.
class OutputFileStream : public std::ostream {
 public:
  OutputFileStream();

  // Opens `name` for writing, created when it does not exist, not emptied
  // yet, unless it is one of the `taken` files (the run's inputs and the
  // outputs it has opened already): asked of the name before it is opened
  // (so that no input is opened for writing), and of the file once opened
  // (so that a file put under that name meanwhile is not written either).
  // Not opened either for a name the system cannot take as it stands, or
  // anything else that cannot be opened.
  OutputOpening open(const std::string& name, std::span<const std::optional<FileIdentity>> taken);
  // Empties the opened file, once every output of the run is open and none
  // was refused. Named pipes and devices are not emptied, as on any opening
  // for writing. False when a regular file cannot be emptied.
  bool empty();
  bool is_open() const { return buffer_.is_open(); }
  // A failed close marks the stream as failed.
  void close();
  // The file as it was opened; kept after closing.
  const std::optional<FileIdentity>& identity() const { return identity_; }

 private:
  __gnu_cxx::stdio_filebuf<char> buffer_;
  std::optional<FileIdentity> identity_;
};

// Removes `name` if it still leads to the file `identity`; a name that now
// leads elsewhere (replaced meanwhile, say by an input moved there) is left
// alone. False when nothing was removed.
bool removeFileStillNamed(const std::string& name, const std::optional<FileIdentity>& identity);

}  // namespace tessovane2
