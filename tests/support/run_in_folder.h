// Running the whole program in-process inside a scratch folder, with the
// clock pinned to Tuesday 14 October 2003, 14:05:07.
#pragma once

#include <filesystem>
#include <functional>
#include <iosfwd>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "date/date.h"
#include "support/builders.h"
#include "tessovane2/run.h"

namespace tessovane2::testing {

Date pinnedDate();

// A new empty folder, removed with everything in it when the object goes.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Line ends: every expected text is written once, with LF line ends, for
// all platforms. The program writes its files through text streams of the
// platform, and so its console when it runs as a process of its own; on
// Windows these end each line in CR LF. `readBackAsText` turns such bytes
// back into the text that was written: each CR LF into one LF. An LF without
// its CR there means the bytes did not come through a text stream: they are
// returned whole behind the marker "<LF without CR> ", so that no comparison
// passes. Elsewhere bytes and text are the same. In-process runs hand the
// program string streams for its console, which translate nothing.
std::string readBackAsText(const std::string& written);

struct RunOutcome {
  int status = -1;
  std::string out;
  std::string err;
  // Every file of the folder after the run: the files the run created or
  // changed read back as text, the others as they are.
  std::map<std::string, std::string> files;
};

// A whole program run: tessovane2's run, or the companion's runShifts.
using RunFunction = std::function<int(std::span<const std::string>, std::istream&, std::ostream&,
                                      std::ostream&, const Clock&)>;

// How a program writes its files: tessovane2's are text files (CR LF on
// Windows); the companion's are the same bytes everywhere (its CSV ends its
// lines in CR LF as RFC 4180 has it, its GeoJSON, page and map in LF).
enum class WrittenAs { Text, Bytes };

// Runs `program` (tessovane2 by default) with the working folder set to
// `folder`, standard input `input` and the clock pinned.
RunOutcome runInFolder(const std::filesystem::path& folder, const std::vector<std::string>& arguments,
                       const std::string& input = "", const RunFunction& program = run,
                       WrittenAs written = WrittenAs::Text);

std::string readFile(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, const std::string& content);
std::map<std::string, std::string> readFolder(const std::filesystem::path& folder);

}  // namespace tessovane2::testing
