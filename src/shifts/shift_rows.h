// The rows of tessovane2_shifts: one per pair and one per unpaired station.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "compare/match_key.h"
#include "compare/pairing.h"
#include "records/station_table.h"
#include "shifts/shift_results.h"

namespace tessovane2::shifts {

struct ShiftTolerances {
  double horizontal = 0.0;         // metres; the report's shift tolerance
  std::optional<double> vertical;  // metres; none: no height is flagged
};

// How the stations pair. By default a station whose key is blank (or empty:
// a new mark without a PID yet) pairs with nothing and gets a no_key row;
// pairBlankKeys pairs them as the report does, every blank key of one file
// with every one of the other.
struct PairingRule {
  MatchKey key = MatchKey::Ssn;
  bool pairBlankKeys = false;
};

// The rows in the 2nd table's order: each 2nd-file station gives its pairs
// (the report's lines, in the 1st table's order), or one only_in_2nd or
// no_key row; then the only_in_1st and no_key rows of the 1st file in its
// table's order. A pair is over a tolerance when its shift is strictly
// greater, as in the report; a row with a station whose position the format
// cannot mean is bad_position. The rows view the tables' texts: both tables
// must outlive them. `pairing` is the tables' pairing by rule.key.
std::vector<ShiftRow> shiftRows(const StationTable& first, const StationTable& second,
                                const StationPairing& pairing, const PairingRule& rule,
                                const ShiftTolerances& tolerances);
std::vector<ShiftRow> shiftRows(const StationTable& first, const StationTable& second, MatchKey key,
                                const ShiftTolerances& tolerances);

// The number of rows shiftRows gives, counted from the pairing's key chains
// without forming a row: time and memory in proportion to the tables, however
// many pairs repeated keys make.
std::uint64_t shiftRowCount(const StationTable& first, const StationTable& second,
                            const StationPairing& pairing, const PairingRule& rule);

// The row of a pair made by location (status located): the shifts of
// station `first` (1st table, at `firstIndex`) to `second`, computed as for
// any pair, with the 1st station's identifiers.
ShiftRow locatedRow(const POS_ELEV& first, std::size_t firstIndex, const POS_ELEV& second, MatchKey key);

}  // namespace tessovane2::shifts
