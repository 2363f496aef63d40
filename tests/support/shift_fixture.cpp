#include "support/shift_fixture.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <numbers>
#include <random>
#include <sstream>

#include "shifts/shift_rows.h"
#include "shifts/shift_summary.h"

namespace tessovane2::testing {
namespace {

// The program's own rows and summary, so that the pages show what it shows.
void buildRows(ShiftFixture& fixture, MatchKey key, const ShiftFixtureOptions& options) {
  fixture.results.rows =
      shifts::shiftRows(fixture.first, fixture.second, key, {options.tolerance, options.verticalTolerance});
  fixture.results.summary = shifts::summarizeShifts(fixture.results.rows, fixture.first, fixture.second);
}

}  // namespace

std::unique_ptr<ShiftFixture> surveyShiftFixture(const std::filesystem::path& first,
                                                 const std::filesystem::path& second,
                                                 const ShiftFixtureOptions& options,
                                                 void (*modify)(StationTable&, StationTable&)) {
  auto fixture = std::make_unique<ShiftFixture>();
  shifts::RunFacts& run = fixture->results.run;
  std::ostringstream quiet;
  const LoadOutput output{quiet, quiet, quiet};
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
