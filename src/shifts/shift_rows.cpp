#include "shifts/shift_rows.h"

#include <cmath>

#include "records/trim.h"
#include "shifts/hemisphere.h"
#include "shifts/metric_shift.h"
#include "shifts/position_check.h"

namespace tessovane2::shifts {

namespace {

// 0.0 is the loader's mark for a station without elevation.
double height(const POS_ELEV& station) { return station.elevation == 0.0 ? kMissing : station.elevation; }

bool isBlank(std::string_view key) { return key.find_first_not_of(' ') == std::string_view::npos; }

bool pairsWithNothing(const POS_ELEV& station, const PairingRule& rule) {
  return !rule.pairBlankKeys && isBlank(keyOf(station, rule.key));
}

void identify(ShiftRow& row, const POS_ELEV& station) {
  row.pid = trimmedView(station.pid.view(), 'R');
  row.ssn = trimmedView(station.ssn.view(), 'R');
  row.designation = trimmedView(station.designation.view(), 'R');
}

// A position the format cannot mean stays missing.
void placeFirst(ShiftRow& row, const POS_ELEV& station) {
  row.h1 = height(station);
  if (isBadPosition(station)) return;
  row.lat1 = signedLatitude(station);
  row.lon1 = longitudeWithin180(signedLongitude(station));
}

void placeSecond(ShiftRow& row, const POS_ELEV& station) {
  row.h2 = height(station);
  if (isBadPosition(station)) return;
  row.lat2 = signedLatitude(station);
  row.lon2 = longitudeWithin180(signedLongitude(station));
}

// The row of a station that pairs with nothing.
ShiftRow lone(const POS_ELEV& station, std::size_t index, bool inFirst, const PairingRule& rule) {
  ShiftRow row;
  identify(row, station);
  row.station = index;
  if (inFirst) {
    placeFirst(row, station);
  } else {
    placeSecond(row, station);
  }
  row.status = isBadPosition(station)            ? ShiftStatus::BadPosition
               : pairsWithNothing(station, rule) ? ShiftStatus::NoKey
               : inFirst                         ? ShiftStatus::OnlyInFirst
                                                 : ShiftStatus::OnlyInSecond;
  return row;
}

ShiftRow pairRow(const POS_ELEV& first, std::size_t firstIndex, const POS_ELEV& second, MatchKey key,
                 const ShiftTolerances& tolerances) {
  ShiftRow row;
  identify(row, first);
  row.station = firstIndex;
  placeFirst(row, first);
  placeSecond(row, second);
  row.blankKey = isBlank(keyOf(first, key));
  if (isBadPosition(first) || isBadPosition(second)) {
    row.status = ShiftStatus::BadPosition;
    return row;
  }
  const MetricShift shift = metricShift(first, second);
  row.dn = shift.north;
  row.de = shift.east;
  row.horizontal = shift.horizontal;
  row.azimuth = shift.azimuth;
  if (!std::isnan(row.h1) && !std::isnan(row.h2)) row.du = withoutNegativeZero(row.h2 - row.h1);
  row.mixedHemisphere = hemispheresDiffer(first, second);

  const bool overHorizontal = row.horizontal > tolerances.horizontal;
  const bool overVertical =
      tolerances.vertical && !std::isnan(row.du) && std::fabs(row.du) > *tolerances.vertical;
  row.status = overHorizontal ? (overVertical ? ShiftStatus::OverBoth : ShiftStatus::OverHorizontal)
                              : (overVertical ? ShiftStatus::OverVertical : ShiftStatus::Matched);
  return row;
}

// 1st-table entries that give a row of their own, in table order: those no
// 2nd-table station pairs with, and those whose key pairs with nothing.
std::vector<std::size_t> loneInFirst(const StationTable& first, const StationPairing& pairing,
                                     const PairingRule& rule) {
  const std::vector<std::size_t> unpaired = pairing.onlyInFirst();
  std::vector<std::size_t> lone;
  std::size_t next = 0;
  for (std::size_t j = 0; j < first.size(); ++j) {
    const bool isUnpaired = next < unpaired.size() && unpaired[next] == j;
    if (isUnpaired) ++next;
    if (isUnpaired || pairsWithNothing(first[j], rule)) lone.push_back(j);
  }
  return lone;
}

}  // namespace

std::vector<ShiftRow> shiftRows(const StationTable& first, const StationTable& second,
                                const StationPairing& pairing, const PairingRule& rule,
                                const ShiftTolerances& tolerances) {
  const std::vector<std::size_t> loneFirst = loneInFirst(first, pairing, rule);
  std::vector<ShiftRow> rows;
  rows.reserve(second.size() + loneFirst.size());  // exact when no key repeats
  for (std::size_t i = 0; i < second.size(); ++i) {
    const std::size_t partner = pairing.firstPartner(i);
    if (partner == StationPairing::kNone || pairsWithNothing(second[i], rule)) {
      rows.push_back(lone(second[i], i, false, rule));
      continue;
    }
    for (std::size_t j = partner; j != StationPairing::kNone; j = pairing.nextPartner(j)) {
      rows.push_back(pairRow(first[j], j, second[i], rule.key, tolerances));
    }
  }
  for (const std::size_t j : loneFirst) rows.push_back(lone(first[j], j, true, rule));
  return rows;
}

std::vector<ShiftRow> shiftRows(const StationTable& first, const StationTable& second, MatchKey key,
                                const ShiftTolerances& tolerances) {
  return shiftRows(first, second, StationPairing(first, second, key), PairingRule{key, false}, tolerances);
}

std::uint64_t shiftRowCount(const StationTable& first, const StationTable& second,
                            const StationPairing& pairing, const PairingRule& rule) {
  // The length of the key chain from each 1st-table entry on; a chain only
  // runs to later entries, so one pass from the end fills it.
  std::vector<std::uint64_t> chain(first.size(), 0);
  for (std::size_t j = first.size(); j-- > 0;) {
    const std::size_t next = pairing.nextPartner(j);
    chain[j] = 1 + (next == StationPairing::kNone ? 0 : chain[next]);
  }
  std::uint64_t rows = loneInFirst(first, pairing, rule).size();
  for (std::size_t i = 0; i < second.size(); ++i) {
    const std::size_t partner = pairing.firstPartner(i);
    const bool lone = partner == StationPairing::kNone || pairsWithNothing(second[i], rule);
    rows += lone ? 1 : chain[partner];
  }
  return rows;
}

ShiftRow locatedRow(const POS_ELEV& first, std::size_t firstIndex, const POS_ELEV& second, MatchKey key) {
  ShiftRow row = pairRow(first, firstIndex, second, key, {});
  row.status = ShiftStatus::Located;
  return row;
}

}  // namespace tessovane2::shifts
