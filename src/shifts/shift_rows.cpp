#include "shifts/shift_rows.h"

#include <cmath>

#include "compare/pairing.h"
#include "records/trim.h"
#include "shifts/hemisphere.h"
#include "shifts/metric_shift.h"

namespace tessovane2::shifts {

namespace {

// 0.0 is the loader's mark for a station without elevation.
double height(const POS_ELEV& station) { return station.elevation == 0.0 ? kMissing : station.elevation; }

bool isBlank(std::string_view key) { return key.find_first_not_of(' ') == std::string_view::npos; }

void identify(ShiftRow& row, const POS_ELEV& station) {
  row.pid = trimmedView(station.pid.view(), 'R');
  row.ssn = trimmedView(station.ssn.view(), 'R');
  row.designation = trimmedView(station.designation.view(), 'R');
}

void placeFirst(ShiftRow& row, const POS_ELEV& station) {
  row.lat1 = signedLatitude(station);
  row.lon1 = signedLongitude(station);
  row.h1 = height(station);
}

void placeSecond(ShiftRow& row, const POS_ELEV& station) {
  row.lat2 = signedLatitude(station);
  row.lon2 = signedLongitude(station);
  row.h2 = height(station);
}

ShiftRow pairRow(const POS_ELEV& first, std::size_t firstIndex, const POS_ELEV& second, MatchKey key,
                 const ShiftTolerances& tolerances) {
  ShiftRow row;
  identify(row, first);
  placeFirst(row, first);
  placeSecond(row, second);
  const MetricShift shift = metricShift(first, second);
  row.dn = shift.north;
  row.de = shift.east;
  row.horizontal = shift.horizontal;
  row.azimuth = shift.azimuth;
  if (!std::isnan(row.h1) && !std::isnan(row.h2)) row.du = withoutNegativeZero(row.h2 - row.h1);
  row.blankKey = isBlank(keyOf(first, key));
  row.mixedHemisphere = hemispheresDiffer(first, second);
  row.station = firstIndex;

  const bool overHorizontal = row.horizontal > tolerances.horizontal;
  const bool overVertical =
      tolerances.vertical && !std::isnan(row.du) && std::fabs(row.du) > *tolerances.vertical;
  row.status = overHorizontal ? (overVertical ? ShiftStatus::OverBoth : ShiftStatus::OverHorizontal)
                              : (overVertical ? ShiftStatus::OverVertical : ShiftStatus::Matched);
  return row;
}

}  // namespace

std::vector<ShiftRow> shiftRows(const StationTable& first, const StationTable& second, MatchKey key,
                                const ShiftTolerances& tolerances) {
  const StationPairing pairing(first, second, key);
  const std::vector<std::size_t> onlyInFirst = pairing.onlyInFirst();
  std::vector<ShiftRow> rows;
  rows.reserve(second.size() + onlyInFirst.size());  // exact when no key repeats
  for (std::size_t i = 0; i < second.size(); ++i) {
    const std::size_t partner = pairing.firstPartner(i);
    if (partner == StationPairing::kNone) {
      ShiftRow& row = rows.emplace_back();
      row.status = ShiftStatus::OnlyInSecond;
      identify(row, second[i]);
      placeSecond(row, second[i]);
      row.station = i;
      continue;
    }
    for (std::size_t j = partner; j != StationPairing::kNone; j = pairing.nextPartner(j)) {
      rows.push_back(pairRow(first[j], j, second[i], key, tolerances));
    }
  }
  for (const std::size_t j : onlyInFirst) {
    ShiftRow& row = rows.emplace_back();
    row.status = ShiftStatus::OnlyInFirst;
    identify(row, first[j]);
    placeFirst(row, first[j]);
    row.station = j;
  }
  return rows;
}

ShiftRow locatedRow(const POS_ELEV& first, std::size_t firstIndex, const POS_ELEV& second, MatchKey key) {
  ShiftRow row = pairRow(first, firstIndex, second, key, {});
  row.status = ShiftStatus::Located;
  return row;
}

}  // namespace tessovane2::shifts
