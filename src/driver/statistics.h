// The run statistics and the end of a run.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

#include "compare/compare_tables.h"
#include "driver/output_files.h"
#include "driver/run_parameters.h"

namespace tessovane2 {

struct FileCounts {
  std::int64_t controlPointCount = 0;  // *80 records
  std::int64_t recordCount = 0;        // all lines
};

// The summary written both to the console and to the statistics file.
std::string statisticsText(const RunParameters& parameters, const RunFiles& files, const FileCounts& first,
                           const FileCounts& second, const ComparisonTotals& totals);

// Writes the statistics to `out` and to the statistics file (with the column
// headings and the over-tolerance list), closes the files, removes the message
// file when no warning was written (if its name still leads to it), and says
// goodbye. Returns the exit status:
// 0, or 1 when an output file could not be written completely.
int finishRun(const RunParameters& parameters, RunFiles& files, const FileCounts& first,
              const FileCounts& second, const ComparisonResult& comparison, std::int64_t messageCount,
              std::ostream& out, std::ostream& err);

}  // namespace tessovane2
