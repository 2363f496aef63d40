#include "tessovane2_shifts/run_shifts.h"

#include <fstream>
#include <istream>
#include <iterator>
#include <optional>
#include <ostream>
#include <vector>

#include "analysis/located_pairs.h"
#include "analysis/location_match.h"
#include "analysis/row_fit.h"
#include "files/file_identity.h"
#include "files/file_streams.h"
#include "files/run_files.h"
#include "parameters/run_parameters.h"
#include "records/station_table.h"
#include "shift_outputs/output_formats.h"
#include "shift_outputs/summary_text.h"
#include "shifts/shift_rows.h"
#include "shifts/shift_summary.h"
#include "tessovane2_shifts/shifts_options.h"
#include "version.h"

namespace tessovane2::shifts {

namespace {

struct PlannedOutput {
  const OutputFormat* format;
  std::string name;
};

// The whole file, or nothing when it cannot be read.
std::optional<std::string> readWholeFile(const std::string& name) {
  InputFileStream file;
  if (!file.open(name)) return std::nullopt;
  std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (file.bad()) return std::nullopt;
  return text;
}

bool writeOutput(const PlannedOutput& output, const ShiftResults& results, const PageOptions& page,
                 std::ostream& err) {
  // A buffer of 1 MiB instead of the stream's 8 KiB: a 200,000-station run
  // then writes its 100 MB in some 100 system calls, not 12,000.
  std::vector<char> buffer(std::size_t{1} << 20);
  std::ofstream file;
  file.rdbuf()->pubsetbuf(buffer.data(), static_cast<std::streamsize>(buffer.size()));
  file.open(output.name, std::ios::out | std::ios::trunc | std::ios::binary);
  if (!file.is_open()) {
    err << "Error: unable to open " << output.format->what << " output file " << output.name << '\n';
    return false;
  }
  output.format->write(results, page, file);
  file.close();
  if (file.fail()) {
    err << "Error: unable to write " << output.name << '\n';
    return false;
  }
  return true;
}

void warnMixedHemispheres(const std::vector<ShiftRow>& rows, std::ostream& err) {
  for (const ShiftRow& row : rows) {
    if (!row.mixedHemisphere) continue;
    err << "Warning: hemisphere letters differ between the files for station:   PID = " << row.pid
        << "   SSN = " << row.ssn << '\n'
        << "         its shifts read the 2nd file's position in the 1st file's hemisphere" << '\n';
  }
}

}  // namespace

int runShifts(std::span<const std::string> arguments, std::istream& /*in: nothing is asked*/,
              std::ostream& out, std::ostream& err, const Clock& clock) {
  const ParsedOptions parsed = parseShiftsOptions(arguments);
  out << parsed.out;
  err << parsed.err;
  if (parsed.exitStatus) return *parsed.exitStatus;
  const ShiftsOptions& options = parsed.options;

  const std::optional<RunParameters> parameters = runParameters(options.positional, err);
  if (!parameters) return kTroubleStatus;

  InputFileStream firstInput, secondInput;
  if (!openInput(firstInput, parameters->firstFileName, 1, err) ||
      !openInput(secondInput, parameters->secondFileName, 2, err)) {
    return kTroubleStatus;
  }

  // Every output name is checked against the inputs as they were opened
  // (device and inode, whatever the kind of file or the links on the way),
  // before anything is written.
  const std::optional<FileIdentity> inputs[] = {firstInput.identity(), secondInput.identity()};
  std::vector<PlannedOutput> outputs;
  for (const std::string& name : options.formats) {
    const OutputFormat* format = findFormat(name);
    outputs.push_back({format, parameters->outputFileName + std::string(format->extension)});
    const std::string& outputName = outputs.back().name;
    const bool takesName = systemTakesName(outputName);
    const std::optional<std::size_t> input = takesName ? inputNamed(outputName, inputs) : std::nullopt;
    if (!takesName || input) {
      writeOutputRefusal(err, std::string(format->what) + " output file", outputName, input);
      return kTroubleStatus;
    }
  }

  // Loading writes its warnings and the invalid-height error to standard
  // error, in place of the message file; its progress marks go nowhere, as
  // standard output carries the summary.
  std::ostream nowhere(nullptr);
  const LoadOutput loadOutput{nowhere, err, err};
  const LoadResult first = loadStationTable(1, firstInput, parameters->ssnLength, loadOutput);
  if (first.fatal) return kTroubleStatus;
  firstInput.close();
  warnMissingElevation(first.table, loadOutput);
  const LoadResult second = loadStationTable(2, secondInput, parameters->ssnLength, loadOutput);
  if (second.fatal) return kTroubleStatus;
  secondInput.close();
  warnMissingElevation(second.table, loadOutput);

  ShiftResults results;
  RunFacts& facts = results.run;
  std::copy(options.positional.begin(), options.positional.end(), facts.arguments.begin());
  facts.first = {parameters->firstFileName, first.recordCount, first.controlPointCount};
  facts.second = {parameters->secondFileName, second.recordCount, second.controlPointCount};
  facts.horizontalTolerance = parameters->shiftTolerance;
  facts.verticalTolerance = options.verticalTolerance;
  facts.localTime = clock().dateTimeString();
  facts.version = kVersion;
  facts.searchTypeLabel = parameters->searchTypeLabel;

  results.rows = shiftRows(first.table, second.table, parameters->matchType,
                           {parameters->shiftTolerance, options.verticalTolerance});
  // The systematic part at the only_in_1st rows' positions, where --locate
  // expects their counterparts.
  std::vector<RowFit> atFirstOnly;
  if (options.fit) {
    std::optional<std::vector<std::string>> stable;
    if (options.stableFile) {
      const std::optional<std::string> text = readWholeFile(*options.stableFile);
      if (!text) {
        err << "Error: unable to open stable marks file " << *options.stableFile << '\n';
        return kTroubleStatus;
      }
      stable = analysis::stableNames(*text);
    }
    const analysis::RowFitRequest request{
        .options = {.model = *options.fit, .vertical = options.vertical, .sigmaLimit = options.sigmaLimit},
        .key = parameters->matchType == MatchKey::Pid ? analysis::RowKey::Pid : analysis::RowKey::Ssn,
        .stable = std::move(stable),
        .horizontalTolerance = parameters->shiftTolerance,
        .verticalTolerance = options.verticalTolerance};
    analysis::RowFitOutcome fitted = analysis::fitRows(results.rows, request);
    for (const std::string& name : fitted.unmatchedStable) {
      err << "Warning: stable mark " << name << " matches no pair" << '\n';
    }
    if (!fitted.change) {
      err << "Error: the fit cannot be made: " << fitted.refusal << '\n';
      return kTroubleStatus;
    }
    const std::vector<ShiftStatus> statuses = analysis::statusesByResiduals(
        results.rows, *fitted.change, parameters->shiftTolerance, options.verticalTolerance);
    for (std::size_t i = 0; i < statuses.size(); ++i) results.rows[i].status = statuses[i];
    results.fit = std::move(fitted.change);
    atFirstOnly = std::move(fitted.atFirstOnly);
  }
  if (options.locateRadius) {
    results.locate = analysis::matchLocations(results.rows, atFirstOnly, *options.locateRadius);
    if (options.pairLocated) {
      std::vector<ShiftRow> located;
      for (const std::size_t row : results.locate->acceptedRows) {
        const ShiftRow& firstOnly = results.rows[row];
        const ShiftRow& secondOnly = results.rows[results.locate->rows[row].partner];
        located.push_back(locatedRow(first.table[firstOnly.station], firstOnly.station,
                                     second.table[secondOnly.station], parameters->matchType));
      }
      analysis::LocatedResults paired =
          analysis::pairLocated(results.rows, located, *results.locate, results.fit, atFirstOnly);
      results.rows = std::move(paired.rows);
      results.locate = std::move(paired.matches);
      results.fit = std::move(paired.fit);
    }
  }
  results.summary = summarizeShifts(results.rows, first.table, second.table);
  warnMixedHemispheres(results.rows, err);

  const PageOptions page{.exaggeration = options.exaggeration};
  for (const PlannedOutput& output : outputs) {
    if (!writeOutput(output, results, page, err)) return kTroubleStatus;
  }
  if (!options.quiet) out << summaryText(results) << std::flush;

  const ShiftSummary& s = results.summary;
  const std::int64_t outliers = results.fit ? results.fit->outliers : 0;
  const bool differences = s.overHorizontal + s.overVertical + s.onlyInFirst + s.onlyInSecond + outliers > 0;
  return differences ? 1 : 0;
}

}  // namespace tessovane2::shifts
