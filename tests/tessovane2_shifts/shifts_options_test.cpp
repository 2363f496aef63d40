// The companion's options: what each command line asks for.
#include "tessovane2_shifts/shifts_options.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <optional>

namespace tessovane2::shifts {
namespace {

ParsedOptions parse(std::vector<std::string> extra) {
  std::vector<std::string> arguments = {"a.hz", "b.hz", "run", "-0.5", "4", "S"};
  arguments.insert(arguments.end(), extra.begin(), extra.end());
  return parseShiftsOptions(arguments);
}

TEST(ShiftsOptions, ReadsWhatTheRunNeeds) {
  const ParsedOptions plain = parse({});
  ASSERT_FALSE(plain.exitStatus) << plain.err;
  EXPECT_EQ(plain.options.positional[3], "-0.5");  // a negative tolerance is an argument, not an option
  EXPECT_EQ(plain.options.formats, (std::vector<std::string>{"csv", "geojson", "html", "svg"}));
  EXPECT_FALSE(plain.options.verticalTolerance);
  EXPECT_FALSE(plain.options.quiet);

  const ParsedOptions full = parse(
      {"--formats", "geojson,csv,geojson", "--vertical-tolerance=0.02", "-q", "--exaggeration", "2500"});
  ASSERT_FALSE(full.exitStatus) << full.err;
  EXPECT_EQ(full.options.formats, (std::vector<std::string>{"csv", "geojson"}));  // each once, table order
  EXPECT_EQ(full.options.verticalTolerance, 0.02);
  EXPECT_TRUE(full.options.quiet);
  EXPECT_EQ(full.options.exaggeration, 2500.0);
}

// Regression: "--formats csv" before the arguments took them all as format
// names, "-.5" and "-inf" were taken for unknown options, and
// --vertical-tolerance refused "+0.01", which the tolerance argument takes.
TEST(ShiftsOptions, OptionsStandAnywhereAndNumbersWithASignAreArguments) {
  struct Case {
    std::vector<std::string> arguments;
    std::array<std::string, 6> positional;
    std::vector<std::string> formats;
    std::optional<double> verticalTolerance;
  };
  const std::array<std::string, 6> plain = {"a.hz", "b.hz", "run", "0.05", "4", "S"};
  const std::vector<std::string> all = {"csv", "geojson", "html", "svg"};
  const std::vector<Case> cases = {
      {{"--formats", "csv", "a.hz", "b.hz", "run", "0.05", "4", "S", "-q"}, plain, {"csv"}, std::nullopt},
      {{"a.hz", "--formats", "svg", "--formats", "csv", "b.hz", "run", "0.05", "4", "S"},
       plain,
       {"csv", "svg"},
       std::nullopt},
      {{"a.hz", "b.hz", "run", "-.5", "4", "S"}, {"a.hz", "b.hz", "run", "-.5", "4", "S"}, all, std::nullopt},
      {{"a.hz", "b.hz", "run", "-inf", "4", "S"},
       {"a.hz", "b.hz", "run", "-inf", "4", "S"},
       all,
       std::nullopt},
      {{"-q", "--", "-NaN", "\x1f-b.hz", "run", "0.05", "4", "S"},
       {"-NaN", "\x1f-b.hz", "run", "0.05", "4", "S"},
       all,
       std::nullopt},
      {{"a.hz", "b.hz", "run", "0.05", "--vertical-tolerance", "+0.01", "4", "S"}, plain, all, 0.01},
      {{"a.hz", "b.hz", "run", "0.05", "4", "S", "--vertical-tolerance=.25"}, plain, all, 0.25},
  };
  for (const Case& c : cases) {
    const ParsedOptions parsed = parseShiftsOptions(c.arguments);
    ASSERT_FALSE(parsed.exitStatus) << c.arguments[0] << ": " << parsed.err;
    EXPECT_EQ(parsed.options.positional, c.positional) << parsed.options.positional[0];
    EXPECT_EQ(parsed.options.formats, c.formats) << c.arguments[0];
    EXPECT_EQ(parsed.options.verticalTolerance, c.verticalTolerance) << c.arguments[0];
  }
}

TEST(ShiftsOptions, RefusesWithOneLineAndStatus2) {
  const std::vector<std::string> refused[] = {
      {"--vertical-tolerance", "-1"},
      {"--vertical-tolerance", "0,5"},
      {"--vertical-tolerance", "inf"},
      {"--vertical-tolerance", "-.01"},
      {"--exaggeration", "0"},
      {"--locate", "0"},
      {"--locate", "-1"},
      {"--locate", "nan"},
      {"--locate", "inf"},
      {"--locate", "1e999"},
      {"--locate", "1m"},
      {"--pair-located"},
      {"--formats", "csv,kml"},
      {"--no-such-option"},
      {"extra"},
  };
  for (const auto& extra : refused) {
    const ParsedOptions parsed = parse(extra);
    EXPECT_EQ(parsed.exitStatus, kTroubleStatus) << extra[0];
    EXPECT_EQ(std::count(parsed.err.begin(), parsed.err.end(), '\n'), 1) << parsed.err;
    EXPECT_EQ(parsed.err.rfind("tessovane2_shifts: ", 0), 0u) << parsed.err;
    if (extra[0].rfind("--locate", 0) == 0 || extra[0] == "--pair-located") {
      EXPECT_NE(parsed.err.find(extra[0]), std::string::npos) << parsed.err;  // the message names the option
    }
  }
  const ParsedOptions huge = parse({"--locate", "1e300", "--pair-located"});  // reach over any network
  ASSERT_FALSE(huge.exitStatus) << huge.err;
  EXPECT_EQ(huge.options.locateRadius, 1e300);
  EXPECT_TRUE(huge.options.pairLocated);
  const ParsedOptions tooFew = parseShiftsOptions(std::vector<std::string>{"a.hz", "b.hz"});
  EXPECT_EQ(tooFew.exitStatus, kTroubleStatus);
  // Regression: an empty OUTPUT, or one naming a folder, wrote hidden files
  // such as ".csv".
  for (const std::string output : {"", "out/", "/"}) {
    const ParsedOptions parsed =
        parseShiftsOptions(std::vector<std::string>{"a", "b", output, "1", "4", "S"});
    EXPECT_EQ(parsed.exitStatus, kTroubleStatus) << output;
    EXPECT_NE(parsed.err.find("OUTPUT names no file"), std::string::npos) << parsed.err;
  }
}

TEST(ShiftsOptions, HelpAndVersionEndWithStatus0OnStandardOutput) {
  for (const std::string option : {"-h", "--help", "--version"}) {
    const ParsedOptions parsed = parseShiftsOptions(std::vector<std::string>{option});
    EXPECT_EQ(parsed.exitStatus, 0) << option;
    EXPECT_NE(parsed.out.find("tessovane2_shifts"), std::string::npos) << option;
    EXPECT_EQ(parsed.err, "") << option;
  }
}

}  // namespace
}  // namespace tessovane2::shifts
