#include "support/shift_fixture.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <numbers>
#include <random>
#include <sstream>

#include "compare/inver.h"
#include "compare/pairing.h"

namespace tessovane2::testing {
namespace {

using shifts::kMissing;
using shifts::ShiftRow;
using shifts::ShiftStatus;

std::string_view trimmedRight(std::string_view text) {
  const std::size_t end = text.find_last_not_of(' ');
  return end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
}

// The record format's longitudes are west-positive numbers; the rows carry
// east-positive degrees. Heights of 0.0 are none.
void setPosition(const POS_ELEV& station, double& lat, double& lon, double& h) {
  lat = station.latitude;
  lon = -station.longitude;
  h = station.elevation != 0.0 ? station.elevation : kMissing;
}

ShiftRow rowOf(const POS_ELEV& station) {
  ShiftRow row;
  row.pid = trimmedRight(station.pid.view());
  row.ssn = trimmedRight(station.ssn.view());
  row.designation = trimmedRight(station.designation.view());
  return row;
}

double percentile(const std::vector<double>& sorted, double p) {
  if (sorted.empty()) return kMissing;
  const double at = static_cast<double>(sorted.size() - 1) * p;
  const auto low = static_cast<std::size_t>(std::floor(at));
  const std::size_t high = std::min(sorted.size() - 1, low + 1);
  return sorted[low] + (sorted[high] - sorted[low]) * (at - static_cast<double>(low));
}

shifts::ComponentStatistics componentStatistics(const std::vector<ShiftRow>& rows, double ShiftRow::*field) {
  shifts::ComponentStatistics c;
  double sum = 0.0, squares = 0.0;
  for (const ShiftRow& row : rows) {
    const double v = row.*field;
    if (std::isnan(v)) continue;
    ++c.count;
    sum += v;
    squares += v * v;
  }
  if (c.count == 0) return c;
  const auto count = static_cast<double>(c.count);
  c.mean = sum / count;
  c.rms = std::sqrt(squares / count);
  if (c.count > 1) {
    double deviations = 0.0;
    for (const ShiftRow& row : rows) {
      if (!std::isnan(row.*field)) deviations += (row.*field - c.mean) * (row.*field - c.mean);
    }
    c.standardDeviation = std::sqrt(deviations / (count - 1.0));
  }
  return c;
}

std::vector<std::size_t> largest(const std::vector<ShiftRow>& rows, double (*size)(const ShiftRow&)) {
  std::vector<std::size_t> order;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (!std::isnan(size(rows[i]))) order.push_back(i);
  }
  const std::size_t keep = std::min<std::size_t>(10, order.size());
  std::partial_sort(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(keep), order.end(),
                    [&](std::size_t a, std::size_t b) { return size(rows[a]) > size(rows[b]); });
  order.resize(keep);
  return order;
}

shifts::ShiftSummary summarise(const std::vector<ShiftRow>& rows) {
  shifts::ShiftSummary s;
  std::vector<double> horizontal;
  for (const ShiftRow& row : rows) {
    switch (row.status) {
      case ShiftStatus::OnlyInFirst:
        ++s.onlyInFirst;
        break;
      case ShiftStatus::OnlyInSecond:
        ++s.onlyInSecond;
        break;
      default:
        ++s.pairs;
        horizontal.push_back(row.horizontal);
    }
    if (row.status == ShiftStatus::OverHorizontal || row.status == ShiftStatus::OverBoth) ++s.overHorizontal;
    if (row.status == ShiftStatus::OverVertical || row.status == ShiftStatus::OverBoth) ++s.overVertical;
    if (row.blankKey) ++s.blankKeyPairs;
    s.withoutHeight +=
        (std::isnan(row.h1) && !std::isnan(row.lat1)) + (std::isnan(row.h2) && !std::isnan(row.lat2));
  }
  std::sort(horizontal.begin(), horizontal.end());
  if (!horizontal.empty()) {
    s.horizontalMin = horizontal.front();
    s.horizontalMax = horizontal.back();
    double sum = 0.0, squares = 0.0;
    for (double h : horizontal) sum += h, squares += h * h;
    s.horizontalMean = sum / static_cast<double>(horizontal.size());
    s.horizontalRms = std::sqrt(squares / static_cast<double>(horizontal.size()));
    s.horizontalP50 = percentile(horizontal, 0.50);
    s.horizontalP95 = percentile(horizontal, 0.95);
    s.horizontalP99 = percentile(horizontal, 0.99);
  }
  s.dn = componentStatistics(rows, &ShiftRow::dn);
  s.de = componentStatistics(rows, &ShiftRow::de);
  s.du = componentStatistics(rows, &ShiftRow::du);
  s.largestHorizontal = largest(rows, [](const ShiftRow& r) { return r.horizontal; });
  s.largestVertical = largest(rows, [](const ShiftRow& r) { return std::abs(r.du); });
  return s;
}

// The rows in the 2nd file's order (pairs, or only_in_2nd), then only_in_1st.
void buildRows(ShiftFixture& fixture, MatchKey key, const ShiftFixtureOptions& options) {
  const StationPairing pairing(fixture.first, fixture.second, key);
  std::vector<ShiftRow>& rows = fixture.results.rows;
  for (std::size_t s = 0; s < fixture.second.size(); ++s) {
    const POS_ELEV& b = fixture.second[s];
    std::size_t f = pairing.firstPartner(s);
    if (f == StationPairing::kNone) {
      ShiftRow row = rowOf(b);
      row.status = ShiftStatus::OnlyInSecond;
      setPosition(b, row.lat2, row.lon2, row.h2);
      rows.push_back(row);
    }
    for (; f != StationPairing::kNone; f = pairing.nextPartner(f)) {
      const POS_ELEV& a = fixture.first[f];
      ShiftRow row = rowOf(a);
      setPosition(a, row.lat1, row.lon1, row.h1);
      setPosition(b, row.lat2, row.lon2, row.h2);
      const ShortLineComponents c = shortLineComponents(a.latitude, a.longitude, b.latitude, b.longitude);
      row.dn = c.north;
      row.de = c.east;
      row.horizontal = c.distance;
      if (c.distance > 0.0)
        row.azimuth = std::fmod(std::atan2(c.east, c.north) * 180.0 / std::numbers::pi + 360.0, 360.0);
      if (!std::isnan(row.h1) && !std::isnan(row.h2)) row.du = row.h2 - row.h1;
      row.blankKey = trimmedRight(keyOf(a, key)).empty();
      const bool overH = row.horizontal > options.tolerance;
      const bool overV = options.verticalTolerance && std::abs(row.du) > *options.verticalTolerance;
      row.status = overH && overV ? ShiftStatus::OverBoth
                   : overH        ? ShiftStatus::OverHorizontal
                   : overV        ? ShiftStatus::OverVertical
                                  : ShiftStatus::Matched;
      rows.push_back(row);
    }
  }
  for (std::size_t f : pairing.onlyInFirst()) {
    ShiftRow row = rowOf(fixture.first[f]);
    row.status = ShiftStatus::OnlyInFirst;
    setPosition(fixture.first[f], row.lat1, row.lon1, row.h1);
    rows.push_back(row);
  }
  fixture.results.summary = summarise(rows);
}

}  // namespace

std::unique_ptr<ShiftFixture> surveyShiftFixture(const std::filesystem::path& first,
                                                 const std::filesystem::path& second,
                                                 const ShiftFixtureOptions& options,
                                                 void (*modify)(StationTable&, StationTable&)) {
  auto fixture = std::make_unique<ShiftFixture>();
  shifts::RunFacts& run = fixture->results.run;
  std::ostringstream quiet;
  std::int64_t messages = 0;
  const LoadOutput output{quiet, quiet, quiet, messages};
  for (const auto& [path, table, facts, number] : {std::tuple{first, &fixture->first, &run.first, 1},
                                                   std::tuple{second, &fixture->second, &run.second, 2}}) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return nullptr;
    LoadResult loaded = loadStationTable(number, in, options.ssnLength, output);
    *table = std::move(loaded.table);
    facts->name = path.filename().string();
    facts->recordCount = loaded.recordCount;
    facts->controlPointCount = loaded.controlPointCount;
  }
  if (modify) modify(fixture->first, fixture->second);
  std::ostringstream tolerance;
  tolerance << options.tolerance;
  run.arguments = {run.first.name,
                   run.second.name,
                   "compare",
                   tolerance.str(),
                   std::to_string(options.ssnLength),
                   options.byPid ? "P" : "S"};
  run.horizontalTolerance = options.tolerance;
  run.verticalTolerance = options.verticalTolerance;
  run.localTime = "Date: Tue Oct 14, 2003  Time: 14:05:07 pm";
  run.version = "1.4";
  buildRows(*fixture, options.byPid ? MatchKey::Pid : MatchKey::Ssn, options);
  return fixture;
}

std::unique_ptr<ShiftFixture> generatedShiftFixture(std::size_t stations, unsigned seed) {
  auto fixture = std::make_unique<ShiftFixture>();
  std::mt19937_64 random(seed);
  std::uniform_real_distribution<double> uniform(0.0, 1.0);
  std::normal_distribution<double> millimetres(0.0, 0.004);    // metres
  constexpr double kNorth = 40.8, kWest = 96.2;                // degrees: the box's south-east corner
  constexpr double kDegreesNorth = 0.63, kDegreesWest = 1.19;  // about 70 km by 100 km
  constexpr double kMetresPerDegree = 111000.0;
  const double eastScale = kMetresPerDegree * std::cos(41.1 * std::numbers::pi / 180.0);
  char text[32];
  for (std::size_t i = 0; i < stations; ++i) {
    POS_ELEV a;
    std::snprintf(text, sizeof text, "G%05zu", i % 100000);
    a.pid.assign(text);
    a.pid.bytes[0] = static_cast<char>('G' + i / 100000);  // distinct PIDs past 100,000
    std::snprintf(text, sizeof text, "%04zu", i % 10000);
    a.ssn.assign(text);
    std::snprintf(text, sizeof text, "MARK %zu RESET", i);
    a.designation.assign(text);
    a.latitude = kNorth + uniform(random) * kDegreesNorth;
    a.longitude = kWest + uniform(random) * kDegreesWest;
    a.elevation = uniform(random) < 0.03 ? 0.0 : 300.0 + 150.0 * uniform(random);
    POS_ELEV b = a;
    double north = millimetres(random), east = millimetres(random), up = millimetres(random) * 2.0;
    if (uniform(random) < 0.03) {  // a few marks disturbed: 5 to 30 cm
      const double size = 0.05 + 0.25 * uniform(random), angle = 2.0 * std::numbers::pi * uniform(random);
      north += size * std::cos(angle);
      east += size * std::sin(angle);
      up += 0.1 * (uniform(random) - 0.5);
    }
    if (a.latitude > kNorth + 0.45 && a.longitude > kWest + 0.9) {  // one region offset as a whole
      north += 0.03;
      east += 0.02;
    }
    b.latitude += north / kMetresPerDegree;
    b.longitude -= east / eastScale;
    if (b.elevation != 0.0) b.elevation += up;
    const double fate = uniform(random);
    if (fate >= 0.005) fixture->first.push_back(a);
    if (fate < 0.005 || fate >= 0.01) fixture->second.push_back(b);
  }
  shifts::RunFacts& run = fixture->results.run;
  run.first = {"generated-old.hz", static_cast<std::int64_t>(fixture->first.size()),
               static_cast<std::int64_t>(fixture->first.size())};
  run.second = {"generated-new.hz", static_cast<std::int64_t>(fixture->second.size()),
                static_cast<std::int64_t>(fixture->second.size())};
  run.arguments = {run.first.name, run.second.name, "generated", "0.05", "4", "P"};
  run.horizontalTolerance = 0.05;
  run.verticalTolerance = 0.03;
  run.localTime = "Date: Tue Oct 14, 2003  Time: 14:05:07 pm";
  run.version = "1.4";
  ShiftFixtureOptions options;
  options.verticalTolerance = 0.03;
  options.byPid = true;
  buildRows(*fixture, MatchKey::Pid, options);
  return fixture;
}

}  // namespace tessovane2::testing
