#include "shift_outputs/file_writing.h"

#include <atomic>
#include <future>
#include <ostream>
#include <vector>

namespace tessovane2::shifts {

std::optional<std::size_t> writeFiles(std::span<const OutputFile* const> files, const ShiftResults& results,
                                      const PageOptions& page, std::span<std::ostream* const> streams) {
  std::atomic<std::size_t> next{0};
  std::vector<char> failed(files.size(), 0);  // each element written by one thread
  const auto writeTheRest = [&] {
    for (std::size_t i = next++; i < files.size(); i = next++) {
      files[i]->write(results, page, *streams[i]);
      failed[i] = streams[i]->fail() ? 1 : 0;
    }
  };
  // The default launch policy starts a thread, or, where none can be
  // started, leaves the work to get(), after this thread's share.
  std::future<void> second = std::async(writeTheRest);
  writeTheRest();
  second.get();
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (failed[i]) return i;
  }
  return std::nullopt;
}

}  // namespace tessovane2::shifts
