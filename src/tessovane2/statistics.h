// The run statistics and the end of a run.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

#include "compare/comparison_totals.h"
#include "tessovane2/output_files.h"

namespace tessovane2 {

struct FileCounts {
  std::int64_t controlPointCount = 0;  // *80 records
  std::int64_t recordCount = 0;        // all lines
};

// What the summary prints.
struct StatisticsFacts {
  std::string reportFileName;
  std::string statisticsFileName;
  std::string firstFileName;
  FileCounts first;
  std::string secondFileName;
  FileCounts second;
  std::string searchTypeLabel;
  double shiftTolerance = 0.0;  // metres
  ComparisonTotals totals;
};

// The statistics file before the over-tolerance list: its title, the 13 lines
// of the summary and the column headings, 18 lines.
inline constexpr int kStatisticsPreambleLines = 1 + 13 + kColumnHeadingLines;

// The line the over-tolerance list's page counter starts from. It runs one
// ahead of the file (the list starts on line 19), so the first page holds 47
// flagged lines before its break, as the record format's files always had it.
inline constexpr int kOverToleranceFirstLine = kStatisticsPreambleLines + 2;

// The summary written both to the console and to the statistics file.
std::string statisticsText(const StatisticsFacts& facts);

// The summary to `out`, and to the statistics file with its title, the column
// headings and the over-tolerance list.
void writeStatistics(const std::string& text, const std::string& exceedList, std::ostream& out,
                     std::ostream& statisticsFile);

// After the files are closed: reports every output file that could not be
// written completely, removes the message file when no warning was written,
// and says goodbye. Returns the exit status: 0, or 1 after a write failure.
int endRun(const RunFiles& files, std::int64_t messageCount, std::ostream& out, std::ostream& err);

}  // namespace tessovane2
