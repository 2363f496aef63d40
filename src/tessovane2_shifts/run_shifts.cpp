#include "tessovane2_shifts/run_shifts.h"

#include <istream>
#include <iterator>
#include <optional>
#include <ostream>
#include <vector>

#include "analysis/located_pairs.h"
#include "analysis/location_match.h"
#include "analysis/row_fit.h"
#include "compare/pairing.h"
#include "files/console_output.h"
#include "files/file_identity.h"
#include "files/file_streams.h"
#include "files/pending_outputs.h"
#include "files/run_files.h"
#include "format/fixed_columns.h"
#include "format/text_escape.h"
#include "parameters/run_parameters.h"
#include "records/station_table.h"
#include "records/trim.h"
#include "shift_map/map_limits.h"
#include "shift_outputs/file_writing.h"
#include "shift_outputs/output_formats.h"
#include "shift_outputs/summary_text.h"
#include "shifts/position_check.h"
#include "shifts/shift_rows.h"
#include "shifts/shift_summary.h"
#include "tessovane2_shifts/shifts_options.h"
#include "version.h"

namespace tessovane2::shifts {

namespace {

// A buffer of 1 MiB instead of the stream's 8 KiB: a 200,000-station run
// then writes its 100 MB in some 100 system calls, not 12,000.
constexpr std::size_t kOutputBufferBytes = std::size_t{1} << 20;

std::string fileWhat(const OutputFile& file) { return std::string(file.what) + " output file"; }

// The whole file, or nothing when it cannot be read.
std::optional<std::string> readWholeFile(const std::string& name) {
  InputFileStream file;
  if (!file.open(name)) return std::nullopt;
  std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (file.bad()) return std::nullopt;
  return text;
}

// A file without any station gives no pair: said on standard error, as the
// run then shows one file's stations only, or nothing at all. True when
// neither file holds one.
bool reportFilesWithoutStations(const LoadResult& first, const LoadResult& second,
                                const RunParameters& parameters, std::ostream& err) {
  const bool neither = first.table.empty() && second.table.empty();
  const char* kind = neither ? "Error" : "Warning";
  if (first.table.empty()) {
    err << kind << ": no station (*80 record) in the 1st input file " << parameters.firstFileName << '\n';
  }
  if (second.table.empty()) {
    err << kind << ": no station (*80 record) in the 2nd input file " << parameters.secondFileName << '\n';
  }
  return neither;
}

void warnMixedHemispheres(const std::vector<ShiftRow>& rows, std::ostream& err) {
  for (const ShiftRow& row : rows) {
    if (!row.mixedHemisphere) continue;
    err << "Warning: hemisphere letters differ between the files for station:   PID = "
        << consoleText(row.pid) << "   SSN = " << consoleText(row.ssn) << '\n'
        << "         its shifts come from the signed positions; horizontal is not tessovane2's shift" << '\n';
  }
}

// One warning per station whose position the format cannot mean, in file
// order.
void warnBadPositions(const StationTable& table, int fileNumber, std::ostream& err) {
  for (const POS_ELEV& station : table) {
    if (!isBadPosition(station)) continue;
    err << "Warning: position the record format cannot mean in file " << fileNumber
        << " for station:   PID = " << consoleText(trimmedView(station.pid.view(), 'R'))
        << "   SSN = " << consoleText(trimmedView(station.ssn.view(), 'R')) << '\n'
        << "         " << positionFaults(station) << "; status bad_position, no shifts" << '\n';
  }
}

// The page or the SVG is among the outputs.
bool drawsMap(const ShiftsOptions& options) {
  for (const std::string& name : options.formats) {
    if (name == "html" || name == "svg") return true;
  }
  return false;
}

// The rows after the analyses the options ask for: the robust fit (the
// statuses then by the residuals) and the location search (with
// --pair-located, accepted candidates made pairs).
struct Analysed {
  std::vector<ShiftRow> rows;
  std::optional<SystematicChange> fit;
  std::optional<LocationMatches> locate;
};

// The analyses of `rows`; nothing after writing why the fit cannot be made.
std::optional<Analysed> analyse(std::vector<ShiftRow> rows, const StationTable& first,
                                const StationTable& second, const RunParameters& parameters,
                                const ShiftsOptions& options, std::optional<std::vector<std::string>> stable,
                                std::ostream& err) {
  Analysed results{std::move(rows), std::nullopt, std::nullopt};
  // The systematic part at the only_in_1st rows' positions, where --locate
  // expects their counterparts.
  std::vector<RowFit> atFirstOnly;
  if (options.fit) {
    const analysis::RowFitRequest request{
        .options = {.model = *options.fit, .vertical = options.vertical, .sigmaLimit = options.sigmaLimit},
        .key = parameters.matchType == MatchKey::Pid ? analysis::RowKey::Pid : analysis::RowKey::Ssn,
        .stable = std::move(stable),
        .horizontalTolerance = parameters.shiftTolerance,
        .verticalTolerance = options.verticalTolerance,
        .evaluateFirstOnly = options.locateRadius.has_value()};
    analysis::RowFitOutcome fitted = analysis::fitRows(results.rows, request);
    for (const std::string& name : fitted.unmatchedStable) {
      err << "Warning: stable mark " << consoleText(name) << " matches no pair" << '\n';
    }
    if (!fitted.change) {
      err << "Error: the fit cannot be made: " << fitted.refusal << '\n';
      return std::nullopt;
    }
    const std::vector<ShiftStatus> statuses = analysis::statusesByResiduals(
        results.rows, *fitted.change, parameters.shiftTolerance, options.verticalTolerance);
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
        located.push_back(locatedRow(first[firstOnly.station], firstOnly.station, second[secondOnly.station],
                                     parameters.matchType));
      }
      analysis::LocatedResults paired =
          analysis::pairLocated(results.rows, located, *results.locate, results.fit, atFirstOnly);
      results.rows = std::move(paired.rows);
      results.locate = std::move(paired.matches);
      results.fit = std::move(paired.fit);
    }
  }
  return results;
}

int compareToData(std::span<const std::string> arguments, std::ostream& out, std::ostream& err,
                  const Clock& clock) {
  const ParsedOptions parsed = parseShiftsOptions(arguments);
  out << parsed.out;
  err << parsed.err;
  if (parsed.exitStatus) return *parsed.exitStatus;
  const ShiftsOptions& options = parsed.options;

  const std::optional<RunParameters> parameters = runParameters(options.positional, err);
  if (!parameters) return kTroubleStatus;
  if (drawsMap(options)) {
    if (const auto refusal =
            mapRangeRefusal(parameters->shiftTolerance, options.verticalTolerance, options.exaggeration)) {
      err << "tessovane2_shifts: " << *refusal << '\n';
      return kTroubleStatus;
    }
  }

  InputFileStream firstInput, secondInput;
  if (!openInput(firstInput, parameters->firstFileName, 1, err) ||
      !openInput(secondInput, parameters->secondFileName, 2, err)) {
    return kTroubleStatus;
  }

  // The stable marks are read before the surveys: a missing list ends the
  // run at once.
  std::optional<std::vector<std::string>> stable;
  if (options.stableFile) {
    const std::optional<std::string> text = readWholeFile(*options.stableFile);
    if (!text) {
      err << "Error: unable to open stable marks file " << consoleText(*options.stableFile) << '\n';
      return kTroubleStatus;
    }
    stable = analysis::stableNames(*text);
  }

  // Every output is checked, and its temporary file made, before anything is
  // read: a name that leads to an input or to another output (device and
  // inode, whatever the kind of file or the links on the way), a folder
  // under that name, a folder where nothing can be created. Until `outputs`
  // commits, no file under an output's name changes; an early return
  // removes the temporaries.
  const std::optional<FileIdentity> inputs[] = {firstInput.identity(), secondInput.identity()};
  std::vector<const OutputFile*> files;
  std::vector<std::string> names;
  PendingOutputs outputs(kOutputBufferBytes);
  for (const std::string& formatName : options.formats) {
    for (const OutputFile& file : findFormat(formatName)->files) {
      const std::string name = parameters->outputFileName + std::string(file.extension);
      const PendingOpening opening = outputs.add(name, inputs);
      if (!opening.created) {
        const LeadsTo leadsTo{opening.input, opening.output ? fileWhat(*files[*opening.output]) : ""};
        writeOutputRefusal(err, fileWhat(file), name, leadsTo);
        return kTroubleStatus;
      }
      files.push_back(&file);
      names.push_back(name);
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
  if (reportFilesWithoutStations(first, second, *parameters, err)) return kTroubleStatus;

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

  warnBadPositions(first.table, 1, err);
  warnBadPositions(second.table, 2, err);
  // The rows are counted before any is made: blank or repeated keys pair
  // every station of one file with every one of the other, which can ask
  // for terabytes.
  const StationPairing pairing(first.table, second.table, parameters->matchType);
  const PairingRule rule{parameters->matchType, options.pairBlankKeys};
  const std::uint64_t rowCount = shiftRowCount(first.table, second.table, pairing, rule);
  if (rowCount > options.maxRows) {
    err << "tessovane2_shifts: the files would give " << withThousands(rowCount) << " rows, more than "
        << withThousands(options.maxRows) << " (repeated" << (options.pairBlankKeys ? " or blank" : "")
        << " keys pair every station of one file with every"
        << " one of the other); --max-rows N raises the limit\n";
    return kTroubleStatus;
  }
  std::optional<Analysed> analysed =
      analyse(shiftRows(first.table, second.table, pairing, rule,
                        {parameters->shiftTolerance, options.verticalTolerance}),
              first.table, second.table, *parameters, options, std::move(stable), err);
  if (!analysed) return kTroubleStatus;
  results.rows = std::move(analysed->rows);
  results.fit = std::move(analysed->fit);
  results.locate = std::move(analysed->locate);
  results.summary = summarizeShifts(results.rows, first.table, second.table);
  warnMixedHemispheres(results.rows, err);

  const PageOptions page{.exaggeration = options.exaggeration};
  std::vector<std::ostream*> streams;
  for (std::size_t i = 0; i < files.size(); ++i) streams.push_back(&outputs.stream(i));
  if (const std::optional<std::size_t> failed = writeFiles(files, results, page, streams)) {
    err << "Error: unable to write " << names[*failed] << '\n';
    return kTroubleStatus;
  }
  if (const std::optional<std::size_t> failed = outputs.commit()) {
    err << "Error: unable to write " << names[*failed] << '\n';
    return kTroubleStatus;
  }
  if (!options.quiet) out << summaryText(results) << std::flush;

  const ShiftSummary& s = results.summary;
  const std::int64_t outliers = results.fit ? results.fit->outliers : 0;
  const bool differences = s.overHorizontal + s.overVertical + s.onlyInFirst + s.onlyInSecond +
                               s.badPosition + s.noKey + outliers >
                           0;
  return differences ? 1 : 0;
}

}  // namespace

int runShifts(std::span<const std::string> arguments, std::istream& /*in: nothing is asked*/,
              std::ostream& out, std::ostream& err, const Clock& clock) {
  // Standard output that cannot be written (a full disk, a closed
  // descriptor) is told once the files are complete.
  return statusAfterConsole(out, err, compareToData(arguments, out, err, clock), kTroubleStatus);
}

}  // namespace tessovane2::shifts
