// A run's output files written whole or not at all. Each output is written
// to a temporary file in the folder of the file it replaces; only when every
// one of them is complete are they renamed over their names. On any failure
// the temporaries are removed, and every file under those names stays as it
// was: a disk that fills up midway no longer leaves one output cut short and
// the others a mix of this run's and the last one's.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "files/file_identity.h"

namespace tessovane2 {

// What adding an output found. Not created: refused, and nothing was
// written anywhere.
struct PendingOpening {
  bool created = false;
  std::optional<std::size_t> input;   // the name leads to inputs[*input]
  std::optional<std::size_t> output;  // the name leads to the file of the output added as *output
};

class PendingOutputs {
 public:
  // bufferBytes: the write buffer of each output's stream.
  explicit PendingOutputs(std::size_t bufferBytes = std::size_t{1} << 16);
  // Abandons whatever was not committed.
  ~PendingOutputs();
  PendingOutputs(const PendingOutputs&) = delete;
  PendingOutputs& operator=(const PendingOutputs&) = delete;

  // Checks output `name` and creates its temporary file, so that all a run
  // can know before its first byte is known then. Refused: a name the system
  // cannot take as it stands; a name that leads (through symbolic links, or
  // as another name of the same file) to one of `inputs`, or to the file of
  // an output added before; a name that leads to anything but a regular file
  // or to nothing yet (a folder, a named pipe, a device: neither can be
  // replaced whole); a folder where no file can be created. POSIX: symbolic
  // links are followed, and the file at their end is the one replaced.
  PendingOpening add(const std::string& name, std::span<const std::optional<FileIdentity>> inputs);

  // The stream of the output added as `index`; it writes bytes as they are.
  std::ostream& stream(std::size_t index);

  // Completes every temporary (written out, flushed to the disk, closed)
  // and, when all are complete, renames each over its name. Returns nothing
  // when every output is in place; otherwise the index of the output that
  // failed, after removing every temporary left. The renames are one after
  // the other: should one fail (a name turned into a folder meanwhile), the
  // outputs renamed before it are already replaced.
  std::optional<std::size_t> commit();

  // Removes every temporary not yet renamed.
  void abandon();

  struct Output;

 private:
  std::size_t bufferBytes_;
  std::vector<std::unique_ptr<Output>> outputs_;
};

}  // namespace tessovane2
