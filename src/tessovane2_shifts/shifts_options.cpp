#include "tessovane2_shifts/shifts_options.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>
#include <utility>

#include "parameters/run_parameters.h"
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

// CLI11 takes a word of a minus sign and anything but a digit for a short
// option, so "-.5" or "-inf" given as the tolerance came out as "MATCH is
// required". Such a word that may be a number is an argument here, judged
// by the tolerance's own rule like any other. CLI11 gets it behind a marker
// byte, which comes off every value afterwards; a word that begins with the
// marker gets one more, so that no word loses a byte of its own.
constexpr char kMarker = '\x1f';

bool mayBeNegativeNumber(const std::string& word) {
  if (word.size() < 2 || word[0] != '-') return false;
  if (word[1] == '.' || (word[1] >= '0' && word[1] <= '9')) return true;
  std::string rest = word.substr(1);
  for (char& c : rest) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return rest == "inf" || rest == "infinity" || rest == "nan";
}

std::string marked(const std::string& word) {
  return word[0] == kMarker || mayBeNegativeNumber(word) ? kMarker + word : word;
}

void unmark(std::string& value) {
  if (!value.empty() && value[0] == kMarker) value.erase(0, 1);
}

// OUTPUT is a path to which each format appends its ending: an empty one,
// or one that ends in a folder separator, would write hidden files such as
// ".csv".
bool namesNoFile(const std::string& output) {
  if (output.empty()) return true;
  const char last = output.back();
#ifdef _WIN32
  return last == '/' || last == '\\' || last == ':';
#else
  return last == '/';
#endif
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
  std::string verticalText, exaggerationText, fitText, verticalModelText, stableFile, sigmaText, maxRowsText,
      locateText;
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
        {"OUTPUT", "output name: OUTPUT.csv (+ .csvt), OUTPUT.geojson (+ .qml), OUTPUT.html, OUTPUT.svg"},
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
    // One word for each --formats: the words after it are arguments.
    app.add_option("--formats", formats,
                   "outputs to write, comma-separated: " + formatNames() + " (default all)")
        ->delimiter(',')
        ->allow_extra_args(false)
        ->option_text("LIST");
    app.add_option("--exaggeration", exaggerationText,
                   "scale of the shift arrows on the map and in the QGIS style (positive)")
        ->option_text("X");
    app.add_flag("-q,--quiet", options.quiet, "no summary on standard output");
    app.add_option("--fit", fitText,
                   "separate the network's systematic change from the marks that moved: none (default), "
                   "translation, similarity (2D: shift, rotation, scale), similarity3d (7 parameters)")
        ->option_text("MODEL");
    app.add_option("--vertical", verticalModelText,
                   "with translation or similarity: the vertical part is one offset (default) or a plane")
        ->option_text("offset|plane");
    app.add_option("--stable", stableFile, "only the PIDs or SSNs listed in FILE (one a line) define the fit")
        ->option_text("FILE");
    app.add_option("--sigma-limit", sigmaText,
                   "a pair is an outlier when its horizontal residual exceeds K robust standard deviations "
                   "(default 5)")
        ->option_text("K");
    app.add_flag("--pair-blank-keys", options.pairBlankKeys,
                 "pair stations with blank keys as tessovane2 does (default: status no_key)");
    app.add_option("--max-rows", maxRowsText,
                   "refuse a run that would give more than N rows (default 10000000)")
        ->option_text("N");
    app.add_option("--locate", locateText,
                   "for every station in one file only, look for its counterpart in the other within METRES "
                   "of where it is expected (moved by the fit with --fit); accepted only when each is the "
                   "other's nearest and the second-nearest is at least twice as far")
        ->option_text("METRES");
    app.add_flag("--pair-located", options.pairLocated,
                 "with --locate: accepted candidates become pairs of status located");

    // CLI11 reads its arguments last first.
    std::vector<std::string> reversed;
    for (auto word = arguments.rbegin(); word != arguments.rend(); ++word) {
      reversed.push_back(word->empty() ? *word : marked(*word));
    }
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

  for (std::string& value : options.positional) unmark(value);
  for (std::string* value : {&verticalText, &exaggerationText}) unmark(*value);
  for (std::string& value : formats) unmark(value);

  const std::string& output = options.positional[2];
  if (namesNoFile(output))
    return trouble("OUTPUT names no file (empty, or ending in a folder separator): '" + output + "'");
  if (!verticalText.empty() || app.count("--vertical-tolerance") > 0) {
    // Read as the tolerance argument is read, so that what one accepts the
    // other does, then 0 or more.
    const std::optional<double> metres = toleranceValue(verticalText);
    if (!metres || *metres < 0.0) {
      return trouble("--vertical-tolerance needs a number of metres, 0 or more, read as TOLERANCE is: " +
                     verticalText);
    }
    options.verticalTolerance = *metres;
  }
  if (app.count("--exaggeration") > 0) {
    const std::optional<double> factor = decimalValue(exaggerationText);
    if (!factor || *factor <= 0.0)
      return trouble("--exaggeration needs a positive number: " + exaggerationText);
    options.exaggeration = *factor;
  }
  if (app.count("--fit") > 0 && fitText != "none") {
    static constexpr std::array<std::pair<std::string_view, analysis::FitModel>, 3> kModels = {{
        {"translation", analysis::FitModel::Translation},
        {"similarity", analysis::FitModel::Similarity},
        {"similarity3d", analysis::FitModel::Similarity3d},
    }};
    const auto model =
        std::find_if(kModels.begin(), kModels.end(), [&](const auto& m) { return m.first == fitText; });
    if (model == kModels.end()) {
      return trouble("--fit needs none, translation, similarity or similarity3d: " + fitText);
    }
    options.fit = model->second;
  }
  if (app.count("--vertical") > 0) {
    if (verticalModelText == "plane") {
      options.vertical = analysis::FitVertical::Plane;
    } else if (verticalModelText != "offset") {
      return trouble("--vertical needs offset or plane: " + verticalModelText);
    }
  }
  if (app.count("--stable") > 0) options.stableFile = stableFile;
  if (app.count("--sigma-limit") > 0) {
    const std::optional<double> k = decimalValue(sigmaText);
    if (!k || *k <= 0.0) return trouble("--sigma-limit needs a positive number: " + sigmaText);
    options.sigmaLimit = *k;
  }
  if (!options.fit && (app.count("--vertical") + app.count("--stable") + app.count("--sigma-limit")) > 0) {
    return trouble("--vertical, --stable and --sigma-limit need --fit");
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
  if (app.count("--locate") > 0) {
    const std::optional<double> metres = decimalValue(locateText);
    if (!metres || *metres <= 0.0) {
      return trouble("--locate needs a positive number of metres: " + locateText);
    }
    options.locateRadius = *metres;
  }
  if (options.pairLocated && !options.locateRadius) return trouble("--pair-located needs --locate");
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
