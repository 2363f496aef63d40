#include "support/run_in_folder.h"

#include <fstream>
#include <random>
#include <sstream>

namespace tessovane2::testing {

namespace fs = std::filesystem;

Date pinnedDate() {
  std::tm time{};
  time.tm_sec = 7;
  time.tm_min = 5;
  time.tm_hour = 14;
  time.tm_mday = 14;
  time.tm_mon = 9;
  time.tm_year = 103;
  time.tm_wday = 2;
  time.tm_yday = 286;
  return Date(time);
}

TempFolder::TempFolder() {
  std::random_device seed;
  std::mt19937_64 random(seed());
  for (;;) {
    path_ = fs::temp_directory_path() / ("tessovane2-test-" + std::to_string(random()));
    std::error_code error;
    if (fs::create_directory(path_, error)) break;
  }
}

TempFolder::~TempFolder() {
  std::error_code error;
  fs::remove_all(path_, error);
}

std::string readFile(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

void writeFile(const fs::path& path, const std::string& content) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << content;
}

std::map<std::string, std::string> readFolder(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.is_regular_file()) files[entry.path().filename().string()] = readFile(entry.path());
  }
  return files;
}

std::string readBackAsText(const std::string& written) {
#if defined(_WIN32)
  std::string text;
  text.reserve(written.size());
  for (std::size_t i = 0; i < written.size(); ++i) {
    if (written[i] == '\r' && i + 1 < written.size() && written[i + 1] == '\n') continue;
    if (written[i] == '\n' && (i == 0 || written[i - 1] != '\r')) return "<LF without CR> " + written;
    text += written[i];
  }
  return text;
#else
  return written;
#endif
}

RunOutcome runInFolder(const fs::path& folder, const std::vector<std::string>& arguments,
                       const std::string& input, const RunFunction& program, WrittenAs written) {
  const std::map<std::string, std::string> filesBefore = readFolder(folder);
  const fs::path before = fs::current_path();
  fs::current_path(folder);
  std::istringstream in(input);
  std::ostringstream out;
  std::ostringstream err;
  RunOutcome outcome;
  outcome.status = program(arguments, in, out, err, pinnedDate);
  fs::current_path(before);
  outcome.out = out.str();
  outcome.err = err.str();
  outcome.files = readFolder(folder);
  if (written == WrittenAs::Bytes) return outcome;
  for (auto& [name, content] : outcome.files) {
    const auto found = filesBefore.find(name);
    if (found == filesBefore.end() || found->second != content) content = readBackAsText(content);
  }
  return outcome;
}

}  // namespace tessovane2::testing
