#include "files/file_identity.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>

#include <vector>
#else
#include <sys/stat.h>
#endif

namespace tessovane2 {

#ifdef _WIN32

namespace {

std::optional<FileIdentity> identityOfHandle(HANDLE handle) {
  BY_HANDLE_FILE_INFORMATION information;
  if (!GetFileInformationByHandle(handle, &information)) return std::nullopt;
  return FileIdentity{information.dwVolumeSerialNumber,
                      (std::uint64_t{information.nFileIndexHigh} << 32) | information.nFileIndexLow};
}

// The name as the C runtime's narrow functions (_open, remove) read it: in
// the ANSI code page.
std::wstring wideName(const std::string& name) {
  if (name.empty()) return {};
  const int size = MultiByteToWideChar(CP_ACP, 0, name.data(), static_cast<int>(name.size()), nullptr, 0);
  if (size <= 0) return {};
  std::vector<wchar_t> wide(static_cast<std::size_t>(size));
  MultiByteToWideChar(CP_ACP, 0, name.data(), static_cast<int>(name.size()), wide.data(), size);
  return std::wstring(wide.begin(), wide.end());
}

}  // namespace

std::optional<FileIdentity> identityOfDescriptor(int descriptor) {
  const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(descriptor));
  if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
  return identityOfHandle(handle);
}

std::optional<FileIdentity> identityOfName(const std::string& name) {
  if (!systemTakesName(name)) return std::nullopt;
  const std::wstring wide = wideName(name);
  if (wide.empty()) return std::nullopt;
  // Only attributes are read; sharing everything blocks no other open, and
  // the backup flag lets a directory open too.
  const HANDLE handle =
      CreateFileW(wide.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
  const std::optional<FileIdentity> identity = identityOfHandle(handle);
  CloseHandle(handle);
  return identity;
}

#else

namespace {

FileIdentity identityOfStatus(const struct stat& status) {
  return FileIdentity{static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino)};
}

}  // namespace

std::optional<FileIdentity> identityOfDescriptor(int descriptor) {
  struct stat status;
  if (fstat(descriptor, &status) != 0) return std::nullopt;
  return identityOfStatus(status);
}

std::optional<FileIdentity> identityOfName(const std::string& name) {
  if (!systemTakesName(name)) return std::nullopt;
  struct stat status;
  if (stat(name.c_str(), &status) != 0) return std::nullopt;
  return identityOfStatus(status);
}

#endif

std::optional<std::size_t> inputNamed(const std::string& name,
                                      std::span<const std::optional<FileIdentity>> inputs) {
  const std::optional<FileIdentity> identity = identityOfName(name);
  if (!identity) return std::nullopt;
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    if (inputs[i] == identity) return i;
  }
  return std::nullopt;
}

}  // namespace tessovane2
