// A whole in-process run on two arbitrary files with valid parameters.
//
// Input layout: byte 0 picks the SSN length, the match-type text and the mode
// (command line or prompts); byte 1 the file names (plain, hostile output
// names, the same file twice, an output that would overwrite the 2nd input,
// /dev/null, a folder that does not exist); byte 2 the tolerance; bytes 3-4
// (little-endian) where the rest splits into the 1st and the 2nd file.
//
// The run happens in a scratch folder made at start-up (the process works in
// it from then on) and emptied before every input. Besides the sanitizers,
// each input checks that no input file changed, that the status is 0 or 1
// with the closing line exactly at 0, that the console and the statistics
// file carry the same statistics, that the message file is kept exactly when
// the console says so, and that the report holds one line per matched pair
// plus its header and page breaks.
#include <unistd.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "tessovane2/run.h"

namespace {

namespace fs = std::filesystem;

void check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "whole-run fuzz: %s\n", what);
    std::abort();
  }
}

struct Layout {
  const char* first;
  const char* second;
  const char* output;
};

// Names are relative to the scratch folder; "a.txt" and "b.txt" are the two
// fuzzed files.
constexpr std::array<Layout, 8> kLayouts = {{
    {"a.txt", "b.txt", "run"},
    {"a.txt", "b.txt", "my run; $(touch x) 'q\" -"},
    {"a.txt", "a.txt", "-r"},
    {"a.txt", "run.out", "run"},  // the report would overwrite the 2nd input
    {"a.txt", "/dev/null", "run"},
    {"/dev/null", "b.txt", "run"},
    {"a.txt", "b.txt", "no/such/folder/run"},
    {"./a.txt", "b.txt", "a.txt"},
}};

constexpr std::array<const char*, 8> kMatchTypes = {"S", "s", "SSN", "ps", "P", "p", "PID", "Pid"};
constexpr std::array<const char*, 10> kTolerances = {"0",    "0.05", "1",  "-1",    "1e3",
                                                     "2.5m", "100",  ".5", "0.001", "1e-9"};

std::string readFile(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

void writeFile(const fs::path& path, std::string_view content) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(content.data(), static_cast<std::streamsize>(content.size()));
}

bool exists(const char* name) {
  std::error_code error;
  return fs::exists(name, error);
}

// The text between `from` (excluded) and `to` (included) in `text`; empty
// when either is missing.
std::string between(const std::string& text, std::string_view from, std::string_view to) {
  const std::size_t start = text.find(from);
  if (start == std::string::npos) return {};
  const std::size_t end = text.find(to, start + from.size());
  if (end == std::string::npos) return {};
  return text.substr(start + from.size(), end + to.size() - start - from.size());
}

// Lines of the report for `matched` pairs: 12 before the first station, one
// per pair, 6 more at every page break (a page is full after line 66).
std::size_t reportLines(long matched) {
  std::size_t lines = 12;
  int lineCount = 13;
  for (long i = 0; i < matched; ++i) {
    if (lineCount > 66) {
      lines += 6;
      lineCount = 7;
    }
    ++lineCount;
    ++lines;
  }
  return lines;
}

std::size_t lineEnds(const std::string& text) {
  std::size_t n = 0;
  for (const char c : text) n += c == '\n';
  return n;
}

fs::path scratch;

void removeScratch() {
  std::error_code error;
  fs::current_path(fs::temp_directory_path(), error);
  fs::remove_all(scratch, error);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::string pattern = (fs::temp_directory_path() / "tessovane2-fuzz-XXXXXX").string();
  check(mkdtemp(pattern.data()) != nullptr, "no scratch folder");
  scratch = pattern;
  fs::current_path(scratch);
  std::atexit(removeScratch);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Every pair of equal keys is a report line: keep the product bounded.
  if (size < 5 || size > (1 << 16)) return 0;
  const int ssnLength = 3 + data[0] % 3;
  const char* matchType = kMatchTypes[(data[0] / 3) % kMatchTypes.size()];
  const bool promptMode = (data[0] / 24) % 2 == 1;
  const Layout& layout = kLayouts[data[1] % kLayouts.size()];
  const char* tolerance = kTolerances[data[2] % kTolerances.size()];
  const std::string_view files(reinterpret_cast<const char*>(data) + 5, size - 5);
  const std::size_t split = static_cast<std::size_t>(data[3] | (data[4] << 8)) % (files.size() + 1);
  const std::string_view firstText = files.substr(0, split);
  const std::string_view secondText = files.substr(split);

  for (const auto& entry : fs::directory_iterator(".")) fs::remove_all(entry.path());
  writeFile("a.txt", firstText);
  writeFile("b.txt", secondText);
  const bool collision = layout.second == std::string_view("run.out");
  if (collision) writeFile("run.out", secondText);

  const std::vector<std::string> arguments = {
      layout.first, layout.second, layout.output, tolerance, std::to_string(ssnLength), matchType};
  std::string answers;
  const bool prompted = promptMode && std::string_view(layout.output).find(' ') == std::string_view::npos;
  if (prompted) {
    for (const std::string& word : arguments) answers += word + "\n";
  }
  std::istringstream in(answers);
  std::ostringstream out, err;
  std::tm time{};
  time.tm_mday = 14;
  time.tm_mon = 9;
  time.tm_year = 103;
  const int status = tessovane2::run(prompted ? std::vector<std::string>{} : arguments, in, out, err,
                                     [&] { return tessovane2::Date(time); });

  check(readFile("a.txt") == firstText && readFile("b.txt") == secondText &&
            (!collision || readFile("run.out") == secondText),
        "an input file changed");
  check(status == 0 || status == 1, "status");
  const std::string console = out.str();
  const std::string output = layout.output;
  // In memory nothing fails to be written: status 0 exactly when the run
  // got to its end.
  const bool closed = console.ends_with("End tessovane2... bye!\n");
  check(closed == (status == 0), "closing line and status disagree");

  if (collision) {
    check(status == 1 && err.str().ends_with("       that file is the 2nd input file\n"),
          "the report would have overwritten the 2nd input");
  }
  if (output.starts_with("no/")) {
    check(status == 1 && !exists("no"), "a file in a folder that does not exist");
  }
  if (status == 1) {
    // A file that could not be opened, or an invalid *86 height: nothing
    // else ends a run with valid parameters early here.
    const bool heightError =
        readFile(output + ".msg").find(" - Invalid value for Elevation:\n") != std::string::npos;
    check(heightError || err.str().find("Error: unable to open") != std::string::npos,
          "status 1 without a reason");
    return 0;
  }

  const std::string statistics = readFile(output + ".stt");
  const std::string text = between(console, " Tessovane2 Statistics\n", " (m)\n\n");
  check(!text.empty() && statistics.starts_with("1   Tessovane2 Statistics File\n" + text),
        "console and statistics file disagree");
  const bool kept = console.find("See message file comments\n") != std::string::npos;
  check(kept == exists((output + ".msg").c_str()), "message file kept or removed wrongly");

  const std::string matched = between(text, " Matched Stations : ", "\n");
  check(!matched.empty(), "no matched count");
  const long pairs = std::strtol(matched.c_str(), nullptr, 10);
  check(lineEnds(readFile(output + ".out")) == reportLines(pairs), "report lines");
  return 0;
}
