// Opening the two inputs and the three output files, and the report header.
#pragma once

#include <iosfwd>
#include <string>

#include "compare/report_page.h"
#include "date/date.h"
#include "files/file_streams.h"
#include "parameters/run_parameters.h"

namespace tessovane2 {

struct RunFiles {
  InputFileStream firstInputFile;
  InputFileStream secondInputFile;
  OutputFileStream statisticsFile;
  OutputFileStream messageFile;
  OutputFileStream reportFile;
  std::string statisticsFileName;  // output name + ".stt"
  std::string messageFileName;     // output name + ".msg"
  std::string reportFileName;      // output name + ".out"
};

// Opens the 1st and 2nd input, then opens the statistics, message and
// report files, echoing each name on `out` once it is open, and empties
// them once all three are open. At the first file that cannot be opened (a
// missing file, a directory, a name holding a NUL byte, an output that is
// one of the inputs or an output opened before it, by any name and of any
// kind) writes its message to `err` and returns false; an output file that
// existed stays as it was, one created before the refusal stays, empty.
bool openRunFiles(const RunParameters& parameters, RunFiles& files, std::ostream& out, std::ostream& err);

// The report's title, time stamp, file names and match type, and an empty line.
inline constexpr int kReportHeaderLines = 8;

// The report header, then the column headings; returns where the report then
// stands: page 1, line 1 + kReportHeaderLines + kColumnHeadingLines (13).
PageState writeReportHeader(const RunParameters& parameters, const RunFiles& files, const Date& date,
                            std::ostream& report);

}  // namespace tessovane2
