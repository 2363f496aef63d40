// The command line of tessovane2_shifts: the six arguments of tessovane2,
// then options.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "analysis/systematic_fit.h"

namespace tessovane2::shifts {

// The most rows a run may give unless --max-rows says otherwise: about
// 1.5 GB of rows in memory, far beyond any real network, far below what
// blank or repeated keys can ask for (every pair of them).
inline constexpr std::uint64_t kDefaultMaxRows = 10'000'000;

struct ShiftsOptions {
  // FILE1 FILE2 OUTPUT TOLERANCE SSN_LENGTH MATCH, as given; validated by
  // tessovane2's own rules afterwards.
  std::array<std::string, 6> positional;
  std::optional<double> verticalTolerance;  // metres; none: no height is flagged
  std::vector<std::string> formats;         // names from the format table, each once, in table order
  bool quiet = false;                       // no summary on standard output
  std::optional<double> exaggeration;       // the map's scale of the shift arrows; none: chosen for the data
  // --fit: the model of the network's systematic change; none: no fit.
  std::optional<analysis::FitModel> fit;
  analysis::FitVertical vertical = analysis::FitVertical::Offset;  // --vertical offset|plane
  std::optional<std::string> stableFile;                           // --stable: the marks that define the fit
  double sigmaLimit = 5.0;                  // --sigma-limit K (robust standard deviations)
  bool pairBlankKeys = false;               // pair blank keys as the report does
  std::uint64_t maxRows = kDefaultMaxRows;  // a run that would give more rows is refused
  // --locate: the radius (metres) within which a station in one file only
  // looks for its counterpart; none: no search.
  std::optional<double> locateRadius;
  bool pairLocated = false;  // --pair-located: accepted candidates become pairs
};

// What the command line asks for: a run with `options`, or an end with
// `exitStatus` after writing `out` (help, version) or `err` (one line).
struct ParsedOptions {
  ShiftsOptions options;
  std::optional<int> exitStatus;
  std::string out;
  std::string err;
};

// Exit status for a bad option or argument (and any other trouble).
inline constexpr int kTroubleStatus = 2;

// arguments: the command line without the program name.
ParsedOptions parseShiftsOptions(std::span<const std::string> arguments);

}  // namespace tessovane2::shifts
