#include "tessovane2_shifts/run_shifts.h"

#include <fstream>
#include <istream>
#include <optional>
#include <ostream>
#include <vector>

#include "compare/pairing.h"
#include "files/file_identity.h"
#include "files/file_streams.h"
#include "files/run_files.h"
#include "format/text_escape.h"
#include "parameters/run_parameters.h"
#include "records/station_table.h"
#include "records/trim.h"
#include "shift_map/map_limits.h"
#include "shift_outputs/output_formats.h"
#include "shift_outputs/summary_text.h"
#include "shifts/position_check.h"
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

bool writeOutput(const PlannedOutput& output, const ShiftResults& results, const ShiftsOptions& options,
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
  output.format->write(results, options, file);
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

std::string withThousands(std::uint64_t n) {
  const std::string digits = std::to_string(n);
  std::string out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
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
  results.rows = shiftRows(first.table, second.table, pairing, rule,
                           {parameters->shiftTolerance, options.verticalTolerance});
  results.summary = summarizeShifts(results.rows, first.table, second.table);
  warnMixedHemispheres(results.rows, err);

  for (const PlannedOutput& output : outputs) {
    if (!writeOutput(output, results, options, err)) return kTroubleStatus;
  }
  if (!options.quiet) out << summaryText(results) << std::flush;

  const ShiftSummary& s = results.summary;
  const bool differences =
      s.overHorizontal + s.overVertical + s.onlyInFirst + s.onlyInSecond + s.badPosition + s.noKey > 0;
  return differences ? 1 : 0;
}

}  // namespace tessovane2::shifts
