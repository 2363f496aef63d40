// Loading a survey file into a table of stations.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <vector>

#include "records/pos_elev.h"

namespace tessovane2 {

// The stations of one input file, one per *80 record, in file order;
// duplicates kept.
using StationTable = std::vector<POS_ELEV>;

struct LoadResult {
  StationTable table;
  std::int64_t recordCount = 0;        // every line read
  std::int64_t controlPointCount = 0;  // lines recognised as *80 records
  std::int64_t warningCount = 0;       // warnings written to the message file
  bool fatal = false;                  // an invalid *86 height ended the load
};

// The console and message streams a load writes to.
struct LoadOutput {
  std::ostream& out;          // progress marks, missing-elevation warning
  std::ostream& err;          // messages of refused *80 records
  std::ostream& messageFile;  // warnings and the invalid-height error
};

// Reads input file number fileNumber (1 or 2, as the messages name it) line
// by line. An *86 height replaces the elevation of the first earlier station
// of the same file with the same SSN. A refused *80 record is counted but left
// out of the table. Ends with the "|" mark after more than 400 lines; the
// caller then closes the file and calls warnMissingElevation.
LoadResult loadStationTable(int fileNumber, std::istream& input, int ssnLength, const LoadOutput& output);

// Writes the missing-elevation warning for the first station of table whose
// elevation is 0.0, if any: to standard output, then to the message file.
// Returns the number of warnings written (0 or 1).
std::int64_t warnMissingElevation(const StationTable& table, const LoadOutput& output);

}  // namespace tessovane2
