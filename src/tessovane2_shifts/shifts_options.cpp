#include "tessovane2_shifts/shifts_options.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <charconv>
#include <cmath>

#include "shift_outputs/output_formats.h"
#include "version.h"

namespace tessovane2::shifts {

namespace {

constexpr const char* kProgram = "tessovane2_shifts";

// A decimal number, the whole text, finite: std::from_chars reads it
// without regard to the locale.
std::optional<double> decimalValue(const std::string& text) {
  double value = 0.0;
  const char* end = text.data() + text.size();
  const std::from_chars_result r = std::from_chars(text.data(), end, value);
  if (r.ec != std::errc() || r.ptr != end || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::string formatNames() {
  std::string names;
  for (const OutputFormat& format : outputFormats()) {
    if (!names.empty()) names += ", ";
    names += format.name;
  }
  return names;
}

ParsedOptions trouble(std::string message) {
  ParsedOptions parsed;
  parsed.exitStatus = kTroubleStatus;
  parsed.err = std::string(kProgram) + ": " + message + " (see --help)\n";
  return parsed;
}

}  // namespace

ParsedOptions parseShiftsOptions(std::span<const std::string> arguments) {
  ShiftsOptions options;
  std::string verticalText, exaggerationText, maxRowsText;
  std::vector<std::string> formats;

  CLI::App app{
      "Every station's shift between two survey files as data (CSV, GeoJSON), with a summary.\n"
      "The six arguments are tessovane2's, with the same meaning and rules.",
      kProgram};
  // CLI11 reports through exceptions; none leaves this function.
  try {
    app.set_version_flag("--version", std::string(kProgram) + " " + kVersion);
    static constexpr std::array<std::array<const char*, 2>, 6> kPositional = {{
        {"FILE1", "the 1st (earlier) survey file"},
        {"FILE2", "the 2nd (later) survey file"},
        {"OUTPUT", "output name: OUTPUT.csv, OUTPUT.geojson, OUTPUT.html, OUTPUT.svg"},
        {"TOLERANCE", "horizontal shift tolerance (metres)"},
        {"SSN_LENGTH", "SSN length: 3, 4 or 5"},
        {"MATCH", "match type: S or s (SSN), P or p (PID)"},
    }};
    for (std::size_t i = 0; i < kPositional.size(); ++i) {
      app.add_option(kPositional[i][0], options.positional[i], kPositional[i][1])->required();
    }
    app.add_option("--vertical-tolerance", verticalText,
                   "also flag pairs whose height shift exceeds METRES in absolute value")
        ->option_text("METRES");
    app.add_option("--formats", formats,
                   "outputs to write, comma-separated: " + formatNames() + " (default all)")
        ->delimiter(',')
        ->option_text("LIST");
    app.add_option("--exaggeration", exaggerationText, "scale of the shift arrows on the map (positive)")
        ->option_text("X");
    app.add_flag("-q,--quiet", options.quiet, "no summary on standard output");
    app.add_flag("--pair-blank-keys", options.pairBlankKeys,
                 "pair stations with blank keys as tessovane2 does (default: status no_key)");
    app.add_option("--max-rows", maxRowsText,
                   "refuse a run that would give more than N rows (default 10000000)")
        ->option_text("N");

    // CLI11 reads its arguments last first.
    std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
    app.parse(reversed);
  } catch (const CLI::CallForHelp&) {
    ParsedOptions parsed;
    parsed.exitStatus = 0;
    parsed.out = app.help();
    return parsed;
  } catch (const CLI::CallForVersion& version) {
    ParsedOptions parsed;
    parsed.exitStatus = 0;
    parsed.out = std::string(version.what()) + '\n';
    return parsed;
  } catch (const CLI::Error& error) {
    std::string message = error.what();
    std::replace(message.begin(), message.end(), '\n', ' ');
    return trouble(message);
  }

  if (!verticalText.empty() || app.count("--vertical-tolerance") > 0) {
    const std::optional<double> metres = decimalValue(verticalText);
    if (!metres || *metres < 0.0) {
      return trouble("--vertical-tolerance needs a number of metres, 0 or more: " + verticalText);
    }
    options.verticalTolerance = *metres;
  }
  if (app.count("--exaggeration") > 0) {
    const std::optional<double> factor = decimalValue(exaggerationText);
    if (!factor || *factor <= 0.0)
      return trouble("--exaggeration needs a positive number: " + exaggerationText);
    options.exaggeration = *factor;
  }
  if (app.count("--max-rows") > 0) {
    std::uint64_t rows = 0;
    const char* end = maxRowsText.data() + maxRowsText.size();
    const std::from_chars_result r = std::from_chars(maxRowsText.data(), end, rows);
    if (r.ec != std::errc() || r.ptr != end || rows == 0) {
      return trouble("--max-rows needs a whole number of rows, 1 or more: " + maxRowsText);
    }
    options.maxRows = rows;
  }
  if (app.count("--formats") == 0) {
    for (const OutputFormat& format : outputFormats()) formats.emplace_back(format.name);
  }
  for (const std::string& name : formats) {
    if (!findFormat(name)) return trouble("unknown format '" + name + "' (formats: " + formatNames() + ")");
  }
  if (formats.empty()) return trouble("--formats needs at least one of " + formatNames());
  for (const OutputFormat& format : outputFormats()) {
    if (std::find(formats.begin(), formats.end(), format.name) != formats.end()) {
      options.formats.emplace_back(format.name);
    }
  }

  ParsedOptions parsed;
  parsed.options = std::move(options);
  return parsed;
}

}  // namespace tessovane2::shifts
