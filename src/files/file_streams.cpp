#include "files/file_streams.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cstdio>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace tessovane2 {

namespace {

#ifdef _WIN32

int openForReading(const std::string& name) {
  return _open(name.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
}

// Not emptied on opening: an input found there must stay as it is. A text
// descriptor: each line end is written as CR LF, the platform's text-file
// convention.
int openForWriting(const std::string& name) {
  return _open(name.c_str(), _O_WRONLY | _O_CREAT | _O_TEXT | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
}

void closeDescriptor(int descriptor) { _close(descriptor); }

int fileType(int descriptor) {
  struct _stat64 status;
  return _fstat64(descriptor, &status) == 0 ? status.st_mode & _S_IFMT : -1;
}

constexpr int kDirectory = _S_IFDIR;
constexpr int kRegularFile = _S_IFREG;

bool emptyDescriptor(int descriptor) { return _chsize_s(descriptor, 0) == 0; }

#else

int openForReading(const std::string& name) { return ::open(name.c_str(), O_RDONLY | O_CLOEXEC); }

// Not emptied on opening: an input found there must stay as it is.
int openForWriting(const std::string& name) {
  return ::open(name.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
}

void closeDescriptor(int descriptor) { ::close(descriptor); }

int fileType(int descriptor) {
  struct stat status;
  return fstat(descriptor, &status) == 0 ? static_cast<int>(status.st_mode & S_IFMT) : -1;
}

constexpr int kDirectory = S_IFDIR;
constexpr int kRegularFile = S_IFREG;

bool emptyDescriptor(int descriptor) { return ftruncate(descriptor, 0) == 0; }

#endif

// Puts an open descriptor under `buffer`, which then owns it; closes it when
// that fails.
bool attach(__gnu_cxx::stdio_filebuf<char>& buffer, int descriptor, std::ios::openmode mode) {
#ifdef _WIN32
  // Outputs are text there (CR LF line ends); inputs are read as bytes, and
  // the line reader drops the CR of a CR LF.
  if (mode & std::ios::in) mode |= std::ios::binary;
#else
  mode |= std::ios::binary;
#endif
  buffer = __gnu_cxx::stdio_filebuf<char>(descriptor, mode);
  if (buffer.is_open()) return true;
  closeDescriptor(descriptor);
  return false;
}

}  // namespace

InputFileStream::InputFileStream() : std::istream(nullptr) { rdbuf(&buffer_); }

bool InputFileStream::open(const std::string& name) {
  const auto failed = [this] {
    setstate(std::ios::failbit);
    return false;
  };
  if (is_open() || !systemTakesName(name)) return failed();
  const int descriptor = openForReading(name);
  if (descriptor < 0) return failed();
  if (fileType(descriptor) == kDirectory) {
    closeDescriptor(descriptor);
    return failed();
  }
  const std::optional<FileIdentity> identity = identityOfDescriptor(descriptor);
  if (!attach(buffer_, descriptor, std::ios::in)) return failed();
  identity_ = identity;
  clear();
  return true;
}

void InputFileStream::close() {
  if (buffer_.close() == nullptr) setstate(std::ios::failbit);
}

OutputFileStream::OutputFileStream() : std::ostream(nullptr) { rdbuf(&buffer_); }

OutputOpening OutputFileStream::open(const std::string& name,
                                     std::span<const std::optional<FileIdentity>> taken) {
  OutputOpening opening;
  const auto failed = [this, &opening] {
    setstate(std::ios::failbit);
    return opening;
  };
  if (is_open()) return failed();
  opening.taken = inputNamed(name, taken);
  if (opening.taken || !systemTakesName(name)) return failed();
  const int descriptor = openForWriting(name);
  if (descriptor < 0) return failed();
  const std::optional<FileIdentity> identity = identityOfDescriptor(descriptor);
  for (std::size_t i = 0; identity && !opening.taken && i < taken.size(); ++i) {
    if (taken[i] == identity) opening.taken = i;
  }
  if (opening.taken) {
    closeDescriptor(descriptor);
    return failed();
  }
  if (!attach(buffer_, descriptor, std::ios::out)) return failed();
  identity_ = identity;
  clear();
  opening.opened = true;
  return opening;
}

bool OutputFileStream::empty() {
  if (!is_open()) return false;
  const int descriptor = buffer_.fd();
  return fileType(descriptor) != kRegularFile || emptyDescriptor(descriptor);
}

void OutputFileStream::close() {
  if (buffer_.close() == nullptr) setstate(std::ios::failbit);
}

bool removeFileStillNamed(const std::string& name, const std::optional<FileIdentity>& identity) {
  if (!identity || identityOfName(name) != identity) return false;
  return std::remove(name.c_str()) == 0;
}

}  // namespace tessovane2
