// ShiftResults for the tests and the page benchmark, built from two station
// tables with the report's pairing and short-line arithmetic: the sample
// surveys, or a generated network of any size.
#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "records/station_table.h"
#include "shifts/shift_results.h"

namespace tessovane2::testing {

struct ShiftFixture {
  StationTable first;  // the rows' texts are views into these tables
  StationTable second;
  shifts::ShiftResults results;
};

struct ShiftFixtureOptions {
  double tolerance = 0.05;  // metres
  std::optional<double> verticalTolerance;
  int ssnLength = 4;
  bool byPid = false;
};

// The two survey files paired as the report pairs them (nullptr when a file
// cannot be read). modify, if given, changes the tables before pairing (a
// test's hostile designation).
std::unique_ptr<ShiftFixture> surveyShiftFixture(
    const std::filesystem::path& first, const std::filesystem::path& second,
    const ShiftFixtureOptions& options, void (*modify)(StationTable& first, StationTable& second) = nullptr);

// A generated network of `stations` stations per file (about 100 km by 70 km,
// paired by PID): mostly millimetre shifts, a few percent over the tolerance,
// one region offset as a whole, and some stations in one file only.
std::unique_ptr<ShiftFixture> generatedShiftFixture(std::size_t stations, unsigned seed = 1);

}  // namespace tessovane2::testing
