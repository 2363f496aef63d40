// Loading a station table from arbitrary bytes, then the missing-elevation
// check. The first byte picks the file number and the SSN length; the rest is
// the file.
//
// Besides the sanitizers, each input checks the counts against a plain
// reading of the same bytes: every line counted (a CR before the line feed
// dropped, a last line without line end still read), every *80 line counted,
// one "." per 400 lines, the warnings counted as written, the invalid-height
// error exactly when the load stopped, and the lines the reader yields are the
// same whatever its block size.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "records/line_reader.h"
#include "records/station_table.h"

namespace {

void check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "load fuzz: %s\n", what);
    std::abort();
  }
}

std::vector<std::string> plainLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    const bool ended = end != std::string_view::npos;
    if (!ended) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (ended && !line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.emplace_back(line);
    start = end + 1;
  }
  return lines;
}

std::vector<std::string> readerLines(std::string_view text, std::size_t blockSize) {
  std::istringstream input{std::string(text)};
  tessovane2::LineReader reader(input, blockSize);
  std::vector<std::string> lines;
  std::string_view line;
  while (reader.next(line)) lines.emplace_back(line);
  return lines;
}

// Lines of text that start with `what`.
std::size_t linesStartingWith(std::string_view text, std::string_view what) {
  std::size_t n = 0;
  for (const std::string& line : plainLines(text)) n += line.rfind(what, 0) == 0;
  return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const int fileNumber = 1 + (data[0] & 1);
  const int ssnLength = 3 + (data[0] >> 1) % 3;
  const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);

  const std::vector<std::string> lines = plainLines(text);
  check(readerLines(text, 16) == lines, "reader with small blocks");
  check(readerLines(text, 1 << 16) == lines, "reader with large blocks");

  std::istringstream input{std::string(text)};
  std::ostringstream out, err, messageFile;
  const tessovane2::LoadOutput output{out, err, messageFile};
  const tessovane2::LoadResult result = tessovane2::loadStationTable(fileNumber, input, ssnLength, output);

  // The invalid-height error is the last thing written, and only then.
  const std::string messages = messageFile.str();
  const std::vector<std::string> messageLines = plainLines(messages);
  const std::size_t errors = linesStartingWith(messages, "Error: File ");
  check(errors == (result.fatal ? 1 : 0), "fatal without its message, or the reverse");
  check(
      !result.fatal || (messageLines.size() >= 2 &&
                        messageLines[messageLines.size() - 2].ends_with(" - Invalid value for Elevation:") &&
                        messageLines.back().rfind("       SSN = ", 0) == 0),
      "invalid-height error");
  const std::size_t read = static_cast<std::size_t>(result.recordCount);
  check(result.fatal ? read >= 1 && read <= lines.size() : read == lines.size(), "recordCount");

  std::int64_t positions = 0;
  for (std::size_t i = 0; i < read; ++i) {
    const std::string& line = lines[i];
    if (line.size() >= 9 && line.compare(6, 3, "*80") == 0) ++positions;
  }
  check(result.controlPointCount == positions, "controlPointCount");
  check(result.table.size() <= static_cast<std::size_t>(positions), "table larger than *80 count");
  for (const tessovane2::POS_ELEV& station : result.table) {
    check(std::isfinite(station.latitude) && std::isfinite(station.longitude) &&
              std::isfinite(station.elevation),
          "station not finite");
  }

  const std::string progress = out.str();
  std::string expected(read / 400, '.');
  if (!result.fatal && read > 400) expected += '|';
  check(progress == expected, "progress marks");
  check(static_cast<std::size_t>(result.warningCount) == linesStartingWith(messages, "Warning: File "),
        "warningCount");

  if (!result.fatal) {
    bool missing = false;
    for (const tessovane2::POS_ELEV& station : result.table) missing |= station.elevation == 0.0;
    check(tessovane2::warnMissingElevation(result.table, output) == (missing ? 1 : 0),
          "missing-elevation warning");
  }
  return 0;
}
