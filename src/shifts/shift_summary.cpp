#include "shifts/shift_summary.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "shifts/hemisphere.h"

namespace tessovane2::shifts {

namespace {

constexpr std::size_t kLargestMovers = 10;

// The row numbers of the (at most) ten largest values, largest first, ties
// in row order; rows without a value are left out.
template <typename Value>
std::vector<std::size_t> largest(const std::vector<ShiftRow>& rows, Value value) {
  std::vector<std::size_t> order;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (hasShifts(rows[i].status) && !std::isnan(value(rows[i]))) order.push_back(i);
  }
  const auto before = [&](std::size_t a, std::size_t b) {
    const double va = value(rows[a]);
    const double vb = value(rows[b]);
    return va != vb ? va > vb : a < b;
  };
  const std::size_t kept = std::min(order.size(), kLargestMovers);
  std::partial_sort(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(kept), order.end(), before);
  order.resize(kept);
  return order;
}

void countStations(const StationTable& table, ShiftSummary& summary) {
  for (const POS_ELEV& station : table) {
    if (station.elevation == 0.0) ++summary.withoutHeight;
    if (isUnletteredLatitude(station.latitudeHemisphere) ||
        isUnletteredLongitude(station.longitudeHemisphere)) {
      ++summary.blankHemisphere;
    }
  }
}

}  // namespace

double percentile(std::span<const double> sorted, double p) {
  if (sorted.empty()) return kMissing;
  const double rank = static_cast<double>(sorted.size() - 1) * p;
  const auto below = static_cast<std::size_t>(std::floor(rank));
  if (below + 1 >= sorted.size()) return sorted.back();
  const double fraction = rank - static_cast<double>(below);
  return sorted[below] + fraction * (sorted[below + 1] - sorted[below]);
}

ComponentStatistics componentStatistics(std::span<const double> values) {
  ComponentStatistics s;
  s.count = static_cast<std::int64_t>(values.size());
  if (values.empty()) return s;
  const double n = static_cast<double>(values.size());
  double sum = 0.0;
  double squares = 0.0;
  for (const double v : values) {
    sum += v;
    squares += v * v;
  }
  s.mean = sum / n;
  s.rms = std::sqrt(squares / n);
  if (values.size() > 1) {
    // Deviations from the mean, in a second pass: the difference of two
    // large sums would lose the digits of a small spread.
    double deviations = 0.0;
    for (const double v : values) deviations += (v - s.mean) * (v - s.mean);
    s.standardDeviation = std::sqrt(deviations / (n - 1.0));
  }
  return s;
}

ShiftSummary summarizeShifts(const std::vector<ShiftRow>& rows, const StationTable& first,
                             const StationTable& second) {
  ShiftSummary summary;
  std::vector<double> horizontal, north, east, up;
  for (const ShiftRow& row : rows) {
    if (row.status == ShiftStatus::OnlyInFirst) {
      ++summary.onlyInFirst;
      continue;
    }
    if (row.status == ShiftStatus::OnlyInSecond) {
      ++summary.onlyInSecond;
      continue;
    }
    if (row.status == ShiftStatus::BadPosition) {
      ++summary.badPosition;
      continue;
    }
    if (row.status == ShiftStatus::NoKey) {
      ++summary.noKey;
      continue;
    }
    ++summary.pairs;
    if (row.status == ShiftStatus::OverHorizontal || row.status == ShiftStatus::OverBoth) {
      ++summary.overHorizontal;
    }
    if (row.status == ShiftStatus::OverVertical || row.status == ShiftStatus::OverBoth)
      ++summary.overVertical;
    if (row.blankKey) ++summary.blankKeyPairs;
    if (row.mixedHemisphere) ++summary.mixedHemisphere;
    horizontal.push_back(row.horizontal);
    north.push_back(row.dn);
    east.push_back(row.de);
    if (!std::isnan(row.du)) up.push_back(row.du);
  }
  countStations(first, summary);
  countStations(second, summary);

  summary.dn = componentStatistics(north);
  summary.de = componentStatistics(east);
  summary.du = componentStatistics(up);
  const ComponentStatistics h = componentStatistics(horizontal);
  summary.horizontalMean = h.mean;
  summary.horizontalRms = h.rms;
  std::sort(horizontal.begin(), horizontal.end());
  if (!horizontal.empty()) {
    summary.horizontalMin = horizontal.front();
    summary.horizontalMax = horizontal.back();
  }
  summary.horizontalP50 = percentile(horizontal, 0.50);
  summary.horizontalP95 = percentile(horizontal, 0.95);
  summary.horizontalP99 = percentile(horizontal, 0.99);

  summary.largestHorizontal = largest(rows, [](const ShiftRow& row) { return row.horizontal; });
  summary.largestVertical = largest(rows, [](const ShiftRow& row) { return std::fabs(row.du); });
  return summary;
}

}  // namespace tessovane2::shifts
