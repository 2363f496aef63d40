#include "driver/statistics.h"

#include <ostream>

#include "compare/report_page.h"
#include "records/fixed_columns.h"

namespace tessovane2 {

namespace {

void appendShiftLine(std::string& text, const char* label, double metres) {
  text += label;
  appendFixed(text, metres, 8, 3);
  text += " (m)\n";
}

void appendCounts(std::string& text, const FileCounts& counts) {
  text += "      *80 records : ";
  appendInteger(text, counts.controlPointCount, 5);
  text += "    Total records : ";
  appendInteger(text, counts.recordCount, 5);
  text += '\n';
}

}  // namespace

std::string statisticsText(const RunParameters& parameters, const RunFiles& files, const FileCounts& first,
                           const FileCounts& second, const ComparisonTotals& totals) {
  // Without a matched pair there is no shift: minimum, maximum and average
  // all show 0.000.
  const double average =
      totals.matchedCount > 0 ? totals.shiftSum / static_cast<double>(totals.matchedCount) : 0.0;
  std::string text;
  text += " Output File      : " + files.reportFileName + '\n';
  text += " Statistics File  : " + files.statisticsFileName + '\n';
  text += " Input File 1     : " + parameters.firstFileName + '\n';
  appendCounts(text, first);
  text += " Input File 2     : " + parameters.secondFileName + '\n';
  appendCounts(text, second);
  text += " Matched Stations : ";
  appendInteger(text, totals.matchedCount, 5);
  text += '\n';
  text += " Search Type      : " + parameters.searchTypeLabel + '\n';
  appendShiftLine(text, " Min Shift        : ", totals.minShift);
  appendShiftLine(text, " Max Shift        : ", totals.maxShift);
  appendShiftLine(text, " Ave Shift        : ", average);
  text += ' ';
  appendInteger(text, totals.exceedCount);
  text += " stations shifted greater than tolerance: ";
  appendFixed(text, parameters.shiftTolerance, 6, 3);
  text += " (m)\n\n";
  return text;
}

int finishRun(const RunParameters& parameters, RunFiles& files, const FileCounts& first,
              const FileCounts& second, const ComparisonResult& comparison, std::int64_t messageCount,
              std::ostream& out, std::ostream& err) {
  const std::string text = statisticsText(parameters, files, first, second, comparison.totals);
  out << '\n' << " Tessovane2 Statistics" << '\n' << text << std::flush;

  files.statisticsFile << "1   Tessovane2 Statistics File" << '\n'
                       << text << columnHeadings() << '\n'
                       << comparison.exceedList << std::flush;

  files.secondInputFile.close();
  files.reportFile.close();
  files.statisticsFile.close();
  files.messageFile.close();

  // A disk that filled up or a quota reached must not pass for success.
  int status = 0;
  for (const auto& [file, name] :
       {std::pair<const OutputFileStream*, const std::string*>{&files.reportFile, &files.reportFileName},
        {&files.statisticsFile, &files.statisticsFileName},
        {&files.messageFile, &files.messageFileName}}) {
    if (file->fail()) {
      err << "Error: unable to write " << *name << '\n' << std::flush;
      status = 1;
    }
  }

  if (messageCount < 1) {
    // Exactly this file, removed directly: the name is never handed to a
    // shell, and is left alone when it no longer leads to the message file
    // (an input moved there meanwhile would be lost).
    removeFileStillNamed(files.messageFileName, files.messageFile.identity());
  } else {
    out << "See message file comments" << '\n' << std::flush;
  }
  out << "End tessovane2... bye!" << '\n' << std::flush;
  return status;
}

}  // namespace tessovane2
