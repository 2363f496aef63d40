#include "records/station_table.h"

#include <algorithm>
#include <cstring>
#include <istream>
#include <ostream>
#include <string>

#include "records/conversions.h"
#include "records/flat_key_index.h"
#include "records/huge_pages.h"
#include "records/line_reader.h"
#include "records/parse80.h"
#include "records/record_columns.h"

namespace tessovane2 {

namespace {

// Finds the first station with a given SSN, as a scan from the first entry
// would, without scanning. Indexing starts at the first *86 record (a file
// without any costs nothing), with every station loaded until then; from
// then on each station is indexed as it is appended, the first entry of
// each SSN winning.
class FirstBySsn {
 public:
  void appended(const StationTable& table) {
    if (active_) indexUpTo(table);
  }

  POS_ELEV* find(StationTable& table, std::string_view ssn) {
    active_ = true;
    indexUpTo(table);
    const std::size_t entry = first_.find(packKey(ssn));
    return entry == FlatKeyIndex::kNone ? nullptr : &table[entry];
  }

 private:
  void indexUpTo(const StationTable& table) {
    for (; indexed_ < table.size(); ++indexed_) {
      std::size_t& first = first_.entry(packKey(table[indexed_].ssn.view()));
      if (first == FlatKeyIndex::kNone) first = indexed_;
    }
  }

  bool active_ = false;
  std::size_t indexed_ = 0;
  FlatKeyIndex first_;
};

// *86 record, columns 17-23: height in metres with three implied decimals;
// the point goes between columns 20 and 21.
std::string heightText(std::string_view heightColumns) {
  std::string text(heightColumns.substr(0, 4));
  text += '.';
  text += heightColumns.substr(4, 3);
  return text;
}

// Room for the stations the input probably holds, so that the table grows
// without copying: a line of an *80 record takes at least 76 bytes with its
// line end. Capped, so that a huge file of other records asks for no more
// than about 72 MiB up front (of which only what is filled gets used).
// Without it (and so without the huge pages of the tables) the 2 x 200,000-
// station run by PID took 6.9 %, 2.4 % and 16.4 % longer in three series of
// interleaved runs (median 6.9 %), though only 1.1 % more instructions.
void reserveForInput(StationTable& table, std::istream& input) {
  constexpr std::streamoff kBytesPerStation = 76;
  constexpr std::streamoff kMostStations = std::streamoff{1} << 20;
  std::streambuf* buffer = input.rdbuf();
  if (buffer == nullptr) return;
  const std::streamoff start = buffer->pubseekoff(0, std::ios::cur, std::ios::in);
  if (start < 0) return;  // not seekable (a pipe): the table just grows
  const std::streamoff end = buffer->pubseekoff(0, std::ios::end, std::ios::in);
  if (buffer->pubseekpos(start, std::ios::in) != start) {
    // A file that cannot go back to where it was is a read failure, which
    // ends the reading like any other.
    input.setstate(std::ios::badbit);
    return;
  }
  if (end <= start) return;
  table.reserve(static_cast<std::size_t>(std::min((end - start) / kBytesPerStation, kMostStations)));
  adviseHugePages(table.data(), table.capacity() * sizeof(POS_ELEV));
}

}  // namespace

LoadResult loadStationTable(int fileNumber, std::istream& input, int ssnLength, const LoadOutput& output) {
  LoadResult result;
  reserveForInput(result.table, input);
  FirstBySsn firstBySsn;
  LineReader reader(input);
  std::string_view line;
  while (reader.next(line)) {
    ++result.recordCount;
    if (result.recordCount % 400 == 0) output.out << '.' << std::flush;

    const std::string_view code = recordCode(line);
    if (code == "*80") {
      ++result.controlPointCount;
      POS_ELEV station;
      if (parse80(ssnLength, line, station, output.err) != kRefused) {
        result.table.push_back(station);
        firstBySsn.appended(result.table);
      }
    } else if (code == "*86") {
      char padding[kHeightRecordLength];
      const std::string_view record = paddedRecord(line, padding);
      const std::string_view ssn = ssnColumns(record, ssnLength);
      const std::string_view heightColumns = columns(record, 17, 23);
      if (heightColumns == "       ") continue;

      const std::string text = heightText(heightColumns);
      const RealConversion height = toReal(text);
      if (height.value == 0.0 && !whollyNumeric(height, text)) {
        output.messageFile << "Error: File " << fileNumber << " line " << result.recordCount
                           << " - Invalid value for Elevation:" << '\n'
                           << std::flush;
        output.messageFile << "       SSN = " << ssn << "   Elev = " << text << '\n' << std::flush;
        result.fatal = true;
        return result;
      }
      if (POS_ELEV* station = firstBySsn.find(result.table, ssn)) {
        station->elevation = height.value;
      } else {
        output.messageFile << "Warning: File " << fileNumber << " line " << result.recordCount
                           << " - No *80 record exists for *86 record:" << '\n'
                           << std::flush;
        output.messageFile << line << '\n' << std::flush;
        ++result.warningCount;
      }
    }
  }
  if (result.recordCount > 400) output.out << '|' << std::flush;
  return result;
}

std::int64_t warnMissingElevation(const StationTable& table, const LoadOutput& output) {
  for (const POS_ELEV& station : table) {
    if (station.elevation != 0.0) continue;
    std::string warning = "Warning: No elevation found on either *80 or *86 for station: \n";
    warning += "         ssn = ";
    warning += station.ssn.view();
    warning += "\n         pid = ";
    warning += station.pid.view();
    warning += '\n';
    output.out << warning << std::flush;
    output.messageFile << warning << std::flush;
    return 1;
  }
  return 0;
}

}  // namespace tessovane2
