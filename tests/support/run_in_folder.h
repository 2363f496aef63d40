// Running the whole program in-process inside a scratch folder, with the
// clock pinned to Tuesday 14 October 2003, 14:05:07.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "date/date.h"

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

struct RunOutcome {
  int status = -1;
  std::string out;
  std::string err;
  std::map<std::string, std::string> files;  // every file of the folder after the run
};

// Runs with the working folder set to `folder` and standard input `input`.
RunOutcome runInFolder(const std::filesystem::path& folder, const std::vector<std::string>& arguments,
                       const std::string& input = "");

std::string readFile(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, const std::string& content);
std::map<std::string, std::string> readFolder(const std::filesystem::path& folder);

}  // namespace tessovane2::testing
