#include "driver/run.h"

#include <istream>
#include <optional>
#include <ostream>

#include "compare/compare_tables.h"
#include "driver/output_files.h"
#include "driver/run_parameters.h"
#include "driver/statistics.h"
#include "records/station_table.h"

namespace tessovane2 {

int run(std::span<const std::string> arguments, std::istream& in, std::ostream& out, std::ostream& err,
        const Clock& clock) {
  writeBanner(err);
  const std::optional<RunParameters> parameters = readRunParameters(arguments, in, out, err);
  if (!parameters) return 1;

  RunFiles files;
  if (!openRunFiles(*parameters, files, out, err)) return 1;

  const Date date = clock();
  out << " Local system time   = " << date.dateTimeString() << '\n' << std::flush;
  PageState reportPage;
  writeReportHeader(*parameters, files, date, files.reportFile, reportPage);

  std::int64_t messageCount = 0;
  const LoadOutput loadOutput{out, err, files.messageFile, messageCount};
  LoadResult first = loadStationTable(1, files.firstInputFile, parameters->ssnLength, loadOutput);
  if (first.fatal) return 1;
  files.firstInputFile.close();
  warnMissingElevation(first.table, loadOutput);

  LoadResult second = loadStationTable(2, files.secondInputFile, parameters->ssnLength, loadOutput);
  if (second.fatal) return 1;
  warnMissingElevation(second.table, loadOutput);

  const ComparisonOutput comparisonOutput{files.reportFile, files.messageFile, out, messageCount, reportPage};
  const ComparisonResult comparison = compareTables(first.table, second.table, parameters->matchType,
                                                    parameters->shiftTolerance, comparisonOutput);

  return finishRun(*parameters, files, {first.controlPointCount, first.recordCount},
                   {second.controlPointCount, second.recordCount}, comparison, messageCount, out, err);
}

}  // namespace tessovane2
