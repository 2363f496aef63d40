// What tessovane2_shifts finds: one row per pair and per unpaired station,
// the summary of the shifts, and the facts of the run. Every writer (CSV,
// GeoJSON, console summary, HTML page, SVG map) reads only these.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessovane2::shifts {

// A missing value (no height, no partner, no direction): written as an empty
// CSV field or a JSON null.
inline constexpr double kMissing = std::numeric_limits<double>::quiet_NaN();

// BadPosition: a station (of a pair, or unpaired) whose position the record
// format cannot mean (position_check.h); NoKey: a station with a blank key,
// not paired unless asked for. Neither has shifts nor takes part in any
// figure or the map.
// Located: a 1st-file and a 2nd-file station in one file only each, paired
// by --pair-located because each is the other's accepted candidate.
enum class ShiftStatus {
  Matched,
  OverHorizontal,
  OverVertical,
  OverBoth,
  OnlyInFirst,
  OnlyInSecond,
  BadPosition,
  NoKey,
  Located
};

// "matched", "over_horizontal", "over_vertical", "over_both", "only_in_1st",
// "only_in_2nd", "bad_position", "no_key", "located".
std::string_view statusName(ShiftStatus status);

// A pair with shifts: matched, over a tolerance, or paired by location.
inline bool hasShifts(ShiftStatus status) {
  return status == ShiftStatus::Matched || status == ShiftStatus::OverHorizontal ||
         status == ShiftStatus::OverVertical || status == ShiftStatus::OverBoth ||
         status == ShiftStatus::Located;
}

struct ShiftRow {
  ShiftStatus status = ShiftStatus::Matched;
  // The station's identifiers (the 1st-file station's for a pair), trailing
  // blanks dropped; views into the station tables, which outlive the rows.
  std::string_view pid;
  std::string_view ssn;
  std::string_view designation;
  // Positions: signed decimal degrees (north and east positive, longitudes
  // in [-180, 180]) and heights in metres; kMissing where the file has no
  // such station, no height, or a position the format cannot mean.
  double lat1 = kMissing, lon1 = kMissing, h1 = kMissing;
  double lat2 = kMissing, lon2 = kMissing, h2 = kMissing;
  // Shifts, 2nd file minus 1st: north, east and up in metres; the horizontal
  // shift in metres (the report's position shift, bit for bit); the azimuth
  // of the shift in degrees clockwise from north, [0, 360). kMissing where
  // there is none (unpaired rows; du without both heights; azimuth of a
  // zero shift; bad_position and no_key rows).
  double dn = kMissing, de = kMissing, du = kMissing;
  double horizontal = kMissing, azimuth = kMissing;
  bool blankKey = false;  // a pair formed by two blank (or empty) keys
  // A pair whose two stations carry different hemisphere letters (a data
  // error, warned about; the CSV's hemispheres_differ): its shifts come from
  // the signed positions, so that horizontal is then not the report's shift.
  bool mixedHemisphere = false;
  // The station's index in its table: the 1st table's for a pair and an
  // only_in_1st row, the 2nd's for an only_in_2nd row.
  std::size_t station = 0;
};

struct FileFacts {
  std::string name;                    // as given on the command line
  std::int64_t recordCount = 0;        // every line read
  std::int64_t controlPointCount = 0;  // lines recognised as *80 records
};

struct RunFacts {
  std::array<std::string, 6> arguments;  // the six positional arguments, as given
  FileFacts first;
  FileFacts second;
  double horizontalTolerance = 0.0;         // metres
  std::optional<double> verticalTolerance;  // metres; none: no height is flagged
  std::string localTime;                    // "Date: Tue Oct 14, 2003  Time: 14:05:07 pm"
  std::string version;                      // "1.4"
  std::string searchTypeLabel;              // "4 digit SSN", "PID", ...
};

// Mean, standard deviation (n - 1) and root mean square of one component,
// over the rows that have it; kMissing where count is too small.
struct ComponentStatistics {
  std::int64_t count = 0;
  double mean = kMissing;
  double standardDeviation = kMissing;
  double rms = kMissing;
};

struct ShiftSummary {
  std::int64_t pairs = 0;  // rows with shifts
  std::int64_t onlyInFirst = 0;
  std::int64_t onlyInSecond = 0;
  std::int64_t overHorizontal = 0;  // over_horizontal and over_both
  std::int64_t overVertical = 0;    // over_vertical and over_both
  std::int64_t blankKeyPairs = 0;
  std::int64_t withoutHeight = 0;    // stations (of rows) without a height
  std::int64_t blankHemisphere = 0;  // stations whose hemisphere letter was blank (taken as N or W)
  std::int64_t mixedHemisphere = 0;  // pairs whose two stations carry different letters
  std::int64_t badPosition = 0;      // bad_position rows
  std::int64_t noKey = 0;            // no_key rows (stations with a blank key, unpaired)
  // The horizontal shift over all pairs, metres; kMissing without pairs.
  double horizontalMin = kMissing, horizontalMax = kMissing, horizontalMean = kMissing;
  double horizontalRms = kMissing;
  double horizontalP50 = kMissing, horizontalP95 = kMissing, horizontalP99 = kMissing;
  ComponentStatistics dn, de, du;
  // Row numbers (into ShiftResults::rows) of the ten largest horizontal and
  // the ten largest vertical (|du|) movers, largest first.
  std::vector<std::size_t> largestHorizontal;
  std::vector<std::size_t> largestVertical;
};

// The fit of the network's systematic change at one row, in the mark's own
// local east/north/up frame (metres); kMissing where the row has no pair, and
// res_du where du is missing.
struct RowFit {
  double fitDn = kMissing, fitDe = kMissing, fitDu = kMissing;  // the systematic part at the mark
  double resDn = kMissing, resDe = kMissing, resDu = kMissing;  // shift minus systematic part
  double resHorizontal = kMissing;                              // sqrt(resDn^2 + resDe^2)
  double resSigma = kMissing;                                   // resHorizontal / sigmaH (dimensionless)
  bool outlier = false;                                         // resSigma over the sigma limit
};

// One parameter of the systematic change: tn, te, tu (metres, at the frame's
// origin), rotation or rx, ry, rz (arc-seconds), scale, tilt_n, tilt_e (ppm).
struct FitParameterValue {
  std::string_view name;
  std::string_view unit;  // "m", "arc-seconds", "ppm"
  double value;
  double standardDeviation;
};

// What --fit found: the systematic part of the shifts and what is left.
struct SystematicChange {
  std::string_view model;     // "translation", "similarity", "similarity3d"
  std::string_view vertical;  // "offset", "plane", "none"
  std::vector<FitParameterValue> parameters;
  double sigmaH = kMissing;  // robust standard deviation of a horizontal residual (metres)
  double sigmaV = kMissing;  // robust standard deviation of an up residual (metres)
  double sigmaLimit = 5.0;   // K: an outlier's horizontal residual exceeds K sigmaH
  std::int64_t pairsUsed = 0;
  std::int64_t pairsUsedVertical = 0;
  int iterations = 0;
  bool converged = true;  // false: stopped at the iteration limit
  // Pairs over the tolerances by their raw shifts; the summary's counts are
  // by the residuals once there is a fit.
  std::int64_t overHorizontalRaw = 0;
  std::int64_t overVerticalRaw = 0;
  std::int64_t outliers = 0;
  std::vector<RowFit> rows;                   // one per row of ShiftResults::rows
  std::vector<std::size_t> largestResiduals;  // row numbers of the ten largest res_horizontal
};

// What --locate found for one row. Accepted: the two stations are each
// other's nearest within the radius and the second-nearest of either is at
// least twice as far; ambiguous: someone lies within the radius but the rule
// fails; none: nothing within the radius.
enum class CandidateStatus { None, Accepted, Ambiguous };

// "none", "accepted", "ambiguous".
std::string_view candidateStatusName(CandidateStatus status);

struct RowCandidate {
  bool searched = false;  // an only_in_1st, only_in_2nd or located row: the columns are filled
  CandidateStatus status = CandidateStatus::None;
  // The nearest station of the other file (trailing blanks dropped); empty
  // with none.
  std::string_view pid;
  std::string_view ssn;
  double distance = kMissing;  // metres from the expected position; kMissing with none
  std::size_t partner = 0;     // row number of the nearest (with ambiguous or accepted)
};

struct LocationMatches {
  double radius = 0.0;  // metres
  bool paired = false;  // --pair-located: the accepted pairs are rows of status located
  std::int64_t acceptedPairs = 0;
  std::int64_t ambiguous = 0;             // stations
  std::int64_t none = 0;                  // stations
  std::vector<RowCandidate> rows;         // one per row of ShiftResults::rows
  std::vector<std::size_t> acceptedRows;  // per accepted pair, its 1st-file (or located) row, in row order
};

struct ShiftResults {
  RunFacts run;
  std::vector<ShiftRow> rows;  // 2nd file's order, then the only_in_1st rows
  ShiftSummary summary;
  std::optional<SystematicChange> fit;    // with --fit only
  std::optional<LocationMatches> locate;  // with --locate only
};

}  // namespace tessovane2::shifts
