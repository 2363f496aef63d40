// Which file an opened file or a name is, so that a program can tell that an
// output it is about to write would be one of its inputs, whatever the kind
// of file (regular file, named pipe, pipe, device) and however it is reached
// (a second name, a symbolic or hard link).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tessovane2 {

// POSIX: the device and inode of the file. Windows: the volume serial number
// and the file index (stat's inode is always 0 there).
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t file = 0;
  bool operator==(const FileIdentity&) const = default;
};

// A name that the system takes as it stands: the system reads a name only up
// to a NUL byte, so a name holding one would open a shorter name than the one
// given, shown and checked.
inline bool systemTakesName(std::string_view name) { return name.find('\0') == std::string_view::npos; }

// The identity of an open file descriptor (on Windows a C runtime one);
// nothing when the system cannot tell (on Windows a console or a pipe).
std::optional<FileIdentity> identityOfDescriptor(int descriptor);

// The identity of the file that `name` leads to now, links followed; nothing
// when it leads to no file, or when the system cannot take the name.
std::optional<FileIdentity> identityOfName(const std::string& name);

// The index in `inputs` of the first opened input that `name` leads to, or
// nothing. Ask before the output is created: an input written over is lost.
// Inputs whose identity is unknown match no name.
std::optional<std::size_t> inputNamed(const std::string& name,
                                      std::span<const std::optional<FileIdentity>> inputs);

}  // namespace tessovane2
