#include "tessovane2/run.h"

#include <istream>
#include <optional>
#include <ostream>

#include "compare/compare_tables.h"
#include "files/console_output.h"
#include "parameters/run_parameters.h"
#include "records/station_table.h"
#include "tessovane2/output_files.h"
#include "tessovane2/prompts.h"
#include "tessovane2/statistics.h"

namespace tessovane2 {

namespace {

FileCounts countsOf(const LoadResult& load) {
  return {.controlPointCount = load.controlPointCount, .recordCount = load.recordCount};
}

int compareFiles(std::span<const std::string> arguments, std::istream& in, std::ostream& out,
                 std::ostream& err, const Clock& clock) {
  writeBanner(err);
  const std::optional<RunParameters> parameters = readRunParameters(arguments, in, out, err);
  if (!parameters) return 1;

  // On the early exits the files close as `files` goes away.
  RunFiles files;
  if (!openRunFiles(*parameters, files, out, err)) return 1;

  const Date date = clock();
  out << " Local system time   = " << date.dateTimeString() << '\n' << std::flush;
  const PageState reportPage = writeReportHeader(*parameters, files, date, files.reportFile);

  const LoadOutput loadOutput{out, err, files.messageFile};
  const LoadResult first = loadStationTable(1, files.firstInputFile, parameters->ssnLength, loadOutput);
  if (first.fatal) return 1;
  files.firstInputFile.close();
  const std::int64_t firstWithoutElevation = warnMissingElevation(first.table, loadOutput);

  const LoadResult second = loadStationTable(2, files.secondInputFile, parameters->ssnLength, loadOutput);
  if (second.fatal) return 1;
  const std::int64_t secondWithoutElevation = warnMissingElevation(second.table, loadOutput);

  const ComparisonResult comparison =
      compareTables(first.table, second.table, parameters->matchType, parameters->shiftTolerance,
                    {files.reportFile, files.messageFile, out, reportPage, kOverToleranceFirstLine});

  const std::string text = statisticsText({
      .reportFileName = files.reportFileName,
      .statisticsFileName = files.statisticsFileName,
      .firstFileName = parameters->firstFileName,
      .first = countsOf(first),
      .secondFileName = parameters->secondFileName,
      .second = countsOf(second),
      .searchTypeLabel = parameters->searchTypeLabel,
      .shiftTolerance = parameters->shiftTolerance,
      .totals = comparison.totals,
  });
  writeStatistics(text, comparison.exceedList, out, files.statisticsFile);

  files.secondInputFile.close();
  files.reportFile.close();
  files.statisticsFile.close();
  files.messageFile.close();

  const std::int64_t messageCount = first.warningCount + firstWithoutElevation + second.warningCount +
                                    secondWithoutElevation + comparison.warningCount;
  return endRun(files, messageCount, out, err);
}

}  // namespace

int run(std::span<const std::string> arguments, std::istream& in, std::ostream& out, std::ostream& err,
        const Clock& clock) {
  // Standard output that cannot be written (a full disk, a closed
  // descriptor) is told once the files are complete.
  return statusAfterConsole(out, err, compareFiles(arguments, in, out, err, clock), 1);
}

}  // namespace tessovane2
