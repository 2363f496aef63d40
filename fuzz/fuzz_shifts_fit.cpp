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

// "nan" or "inf" as a whole CSV field or JSON value, any case.
bool holdsNonFinite(std::string_view text) {
  for (const std::string_view word : {"nan", "inf", "NaN", "Inf", "NAN", "INF"}) {
    for (std::size_t at = text.find(word); at != std::string_view::npos; at = text.find(word, at + 1)) {
      const char before = at == 0 ? ',' : text[at - 1];
      if (before == ',' || before == ':' || before == '-' || before == '[') return true;
    }
  }
  return false;
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
  check(!holdsNonFinite(readFile("r.csv")), "a NaN or an infinity in the CSV");
  check(!holdsNonFinite(readFile("r.geojson")), "a NaN or an infinity in the GeoJSON");
  return 0;
}
