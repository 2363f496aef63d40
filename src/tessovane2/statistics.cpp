#include "tessovane2/statistics.h"

#include <ostream>

#include "compare/report_page.h"
#include "format/fixed_columns.h"

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

std::string statisticsText(const StatisticsFacts& facts) {
  const ComparisonTotals& totals = facts.totals;
  // Without a matched pair there is no shift: minimum, maximum and average
  // all show 0.000.
  const double average =
      totals.matchedCount > 0 ? totals.shiftSum / static_cast<double>(totals.matchedCount) : 0.0;
  std::string text;
  text += " Output File      : " + facts.reportFileName + '\n';
  text += " Statistics File  : " + facts.statisticsFileName + '\n';
  text += " Input File 1     : " + facts.firstFileName + '\n';
  appendCounts(text, facts.first);
  text += " Input File 2     : " + facts.secondFileName + '\n';
  appendCounts(text, facts.second);
  text += " Matched Stations : ";
  appendInteger(text, totals.matchedCount, 5);
  text += '\n';
  text += " Search Type      : " + facts.searchTypeLabel + '\n';
  appendShiftLine(text, " Min Shift        : ", totals.minShift);
  appendShiftLine(text, " Max Shift        : ", totals.maxShift);
  appendShiftLine(text, " Ave Shift        : ", average);
  text += ' ';
  appendInteger(text, totals.exceedCount);
  text += " stations shifted greater than tolerance: ";
  appendFixed(text, facts.shiftTolerance, 6, 3);
  text += " (m)\n\n";
  return text;
}

void writeStatistics(const std::string& text, const std::string& exceedList, std::ostream& out,
                     std::ostream& statisticsFile) {
  out << '\n' << " Tessovane2 Statistics" << '\n' << text << std::flush;
  statisticsFile << "1   Tessovane2 Statistics File" << '\n'
                 << text << columnHeadings() << '\n'
                 << exceedList << std::flush;
}

int endRun(const RunFiles& files, std::int64_t messageCount, std::ostream& out, std::ostream& err) {
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
