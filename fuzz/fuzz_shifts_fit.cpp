// A whole in-process run of tessovane2_shifts with a fit, on two arbitrary
// files: random records, duplicate and degenerate positions, identical files.
//
// Input layout: byte 0 picks the model (bits 0-1: translation, similarity,
// similarity3d), the vertical part (bit 2: offset or plane), the match type
// (bit 3: SSN or PID) and whether the 1st file is given twice (bit 4);
// bytes 1-2 (little-endian) where the rest splits into the 1st and the 2nd
// file. The run happens in a scratch folder made at start-up.
//
// Besides the sanitizers, each input checks that the status is 0, 1 or 2,
// that a refused run (status 2) wrote no output, and that no number in the
// CSV or the GeoJSON is a NaN or an infinity.
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "tessovane2_shifts/run_shifts.h"

namespace {

namespace fs = std::filesystem;

void check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "fit fuzz: %s\n", what);
    std::abort();
  }
}

void writeFile(const char* name, std::string_view bytes) {
  std::ofstream(name, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string readFile(const char* name) {
  std::ifstream file(name, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Whether a number's text is a NaN or an infinity ("nan", "-inf", any case).
bool nonFinite(std::string_view text) {
  std::string lower;
  for (const char c : text) lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return lower.find("nan") != std::string::npos || lower.find("inf") != std::string::npos;
}

// The CSV's fields, line by line (RFC 4180: quoted fields may hold commas,
// quotes doubled, line ends).
std::vector<std::vector<std::string>> csvRows(std::string_view text) {
  std::vector<std::vector<std::string>> rows(1, std::vector<std::string>(1));
  bool quoted = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    std::string& field = rows.back().back();
    if (quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
        field += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        field += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      rows.back().emplace_back();
    } else if (c == '\n') {
      rows.emplace_back(1);
    } else if (c != '\r') {
      field += c;
    }
  }
  return rows;
}

// A NaN or an infinity in a numeric column of the CSV (every column but the
// texts and the booleans).
bool csvHoldsNonFinite(std::string_view text) {
  const std::vector<std::vector<std::string>> rows = csvRows(text);
  static constexpr std::string_view kTexts[] = {
      "pid",     "ssn",           "designation",   "status",          "hemispheres_differ",
      "outlier", "candidate_pid", "candidate_ssn", "candidate_status"};
  for (std::size_t r = 1; r < rows.size(); ++r) {
    for (std::size_t k = 0; k < rows[r].size() && k < rows[0].size(); ++k) {
      if (std::find(std::begin(kTexts), std::end(kTexts), rows[0][k]) != std::end(kTexts)) continue;
      if (nonFinite(rows[r][k])) return true;
    }
  }
  return false;
}

// A NaN or an infinity among the GeoJSON's values: any text outside its
// string literals.
bool jsonHoldsNonFinite(std::string_view text) {
  std::string bare;
  bool inString = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (inString) {
      if (text[i] == '\\')
        ++i;
      else if (text[i] == '"')
        inString = false;
    } else if (text[i] == '"') {
      inString = true;
      bare += ' ';
    } else {
      bare += text[i];
    }
  }
  return nonFinite(bare);
}

const fs::path kScratch = [] {
  const fs::path folder = fs::temp_directory_path() / ("fuzz_shifts_fit." + std::to_string(getpid()));
  fs::create_directories(folder);
  fs::current_path(folder);
  return folder;
}();

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  for (const auto& entry : fs::directory_iterator(kScratch)) fs::remove_all(entry.path());
  const std::uint8_t selector = data[0];
  const std::size_t split = std::min<std::size_t>(size - 3, data[1] | (std::size_t{data[2]} << 8));
  const std::string_view rest(reinterpret_cast<const char*>(data + 3), size - 3);
  writeFile("a.hz", rest.substr(0, split));
  writeFile("b.hz", rest.substr(split));

  static constexpr std::array<const char*, 4> kModels = {"translation", "similarity", "similarity3d",
                                                         "similarity"};
  const std::vector<std::string> arguments = {
      "a.hz",       (selector & 0x10) ? "a.hz" : "b.hz",    "r",         "0.05",
      "4",          (selector & 0x08) ? "P" : "S",          "--fit",     kModels[selector & 0x03],
      "--vertical", (selector & 0x04) ? "plane" : "offset", "--formats", "csv,geojson",
      "-q"};
  std::istringstream in;
  std::ostringstream out, err;
  const int status =
      tessovane2::shifts::runShifts(arguments, in, out, err, [] { return tessovane2::Date(); });
  check(status >= 0 && status <= 2, "status outside 0-2");
  if (status == 2) {
    check(!fs::exists("r.csv") && !fs::exists("r.geojson"), "a refused run wrote an output");
    return 0;
  }
  check(!csvHoldsNonFinite(readFile("r.csv")), "a NaN or an infinity in the CSV");
  check(!jsonHoldsNonFinite(readFile("r.geojson")), "a NaN or an infinity in the GeoJSON");
  return 0;
}
