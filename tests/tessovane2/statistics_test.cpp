// The statistics summary and the end of a run.
#include "tessovane2/statistics.h"

#include <gtest/gtest.h>

#include "support/builders.h"
#include "support/run_in_folder.h"

namespace tessovane2::testing {
namespace {

namespace fs = std::filesystem;

// A line of an *80 record with SSN `ssn` and latitude seconds field `seconds`.
std::string station(const std::string& ssn, const std::string& seconds) {
  return record80("AB" + ssn, ssn, "STATION " + ssn, seconds) + "\n";
}

TEST(Statistics, WideCountsPushTheLineRightAndTheToleranceHasSixColumns) {
  StatisticsFacts facts{.reportFileName = "run.out",
                        .statisticsFileName = "run.stt",
                        .firstFileName = "old.hz",
                        .first = {.controlPointCount = 100000, .recordCount = 1234567},
                        .secondFileName = "new.hz",
                        .second = {.controlPointCount = 7, .recordCount = 99999},
                        .searchTypeLabel = "PID",
                        .shiftTolerance = 1234.5,
                        .totals = {.matchedCount = 100000,
                                   .exceedCount = 123456,
                                   .shiftSum = 25000.0,
                                   .minShift = 0.0004,
                                   .maxShift = 12345.6789}};
  EXPECT_EQ(statisticsText(facts),
            " Output File      : run.out\n"
            " Statistics File  : run.stt\n"
            " Input File 1     : old.hz\n"
            "      *80 records : 100000    Total records : 1234567\n"
            " Input File 2     : new.hz\n"
            "      *80 records :     7    Total records : 99999\n"
            " Matched Stations : 100000\n"
            " Search Type      : PID\n"
            " Min Shift        :    0.000 (m)\n"
            " Max Shift        : 12345.679 (m)\n"
            " Ave Shift        :    0.250 (m)\n"
            " 123456 stations shifted greater than tolerance: 1234.500 (m)\n"
            "\n");

  for (const auto& [tolerance, shown] : std::vector<std::pair<double, std::string>>{
           {0.5, " 0.500"}, {0.0, " 0.000"}, {-1.0, "-1.000"}, {99.9996, "100.000"}}) {
    StatisticsFacts withTolerance;
    withTolerance.shiftTolerance = tolerance;
    const std::string text = statisticsText(withTolerance);
    EXPECT_EQ(lineWith(text, " 0 stations"), " 0 stations shifted greater than tolerance: " + shown + " (m)");
  }
}

// The minimum once started at 100 m and could never exceed it; 0 / 0 gave
// the average of a run without pairs.
TEST(Statistics, ShiftsAreTheTrueMinimumMaximumAndAverageOrZeroWithoutPairs) {
  struct Case {
    std::string first, second, min, max, average;
  };
  const std::vector<Case> cases = {
      {station("0001", "2345678"), station("0002", "2345678"), "   0.000", "   0.000", "   0.000"},
      // 8 and 10 arc-seconds of latitude, at about 30.837 m each near 38.9 degrees.
      {station("0001", "2345678") + station("0002", "2345678"),
       station("0001", "3145678") + station("0002", "3345678"), " 246.696", " 308.370", " 277.533"},
  };
  for (const Case& c : cases) {
    TempFolder folder;
    writeFile(folder.path() / "a.txt", c.first);
    writeFile(folder.path() / "b.txt", c.second);
    const RunOutcome outcome = runInFolder(folder.path(), {"a.txt", "b.txt", "run", "0.05", "4", "S"});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(lineWith(outcome.out, " Min Shift"), " Min Shift        : " + c.min + " (m)");
    EXPECT_EQ(lineWith(outcome.out, " Max Shift"), " Max Shift        : " + c.max + " (m)");
    EXPECT_EQ(lineWith(outcome.out, " Ave Shift"), " Ave Shift        : " + c.average + " (m)");
  }
}

// The message file was once removed by "rm <name>" through the shell: a name
// with a blank removed other files, a name with ";" ran a command.
TEST(Statistics, OnlyTheMessageFileIsRemovedAndNoCommandRuns) {
  for (const std::string output : {"my run", "r;touch hacked", "$(touch hacked)", "-rf"}) {
    TempFolder folder;
    std::map<std::string, std::string> expected = {{"a.txt", station("0001", "2345678")},
                                                   {"b.txt", station("0001", "2345678")},
                                                   {"my", "unrelated\n"},
                                                   {"run.msg", "unrelated\n"}};
    for (const auto& [name, content] : expected) writeFile(folder.path() / name, content);
    const RunOutcome outcome = runInFolder(folder.path(), {"a.txt", "b.txt", output, "0.05", "4", "S"});
    EXPECT_EQ(outcome.status, 0) << output;
    EXPECT_EQ(outcome.out.find("See message file comments"), std::string::npos) << output;
    ASSERT_TRUE(outcome.files.count(output + ".out")) << output;
    ASSERT_TRUE(outcome.files.count(output + ".stt")) << output;
    expected[output + ".out"] = outcome.files.at(output + ".out");
    expected[output + ".stt"] = outcome.files.at(output + ".stt");
    EXPECT_EQ(outcome.files, expected) << output;
  }
}

TEST(Statistics, AReportThatCannotBeWrittenEndsWithStatusOne) {
#if defined(_WIN32)
  GTEST_SKIP() << "POSIX only: /dev/full, the file that refuses every write";
#endif
  TempFolder folder;
  writeFile(folder.path() / "a.txt", station("0001", "2345678"));
  writeFile(folder.path() / "b.txt", station("0001", "2345678"));
  fs::create_symlink("/dev/full", folder.path() / "run.out");
  const RunOutcome outcome = runInFolder(folder.path(), {"a.txt", "b.txt", "run", "0", "4", "S"});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.err.substr(outcome.err.find("\n\n") + 2), "Error: unable to write run.out\n");
  EXPECT_EQ(outcome.out.substr(outcome.out.size() - 24), "\nEnd tessovane2... bye!\n");
  EXPECT_EQ(outcome.files.count("run.msg"), 0u);
  EXPECT_EQ(outcome.files.at("run.stt").rfind("1   Tessovane2 Statistics File\n", 0), 0u);
}

}  // namespace
}  // namespace tessovane2::testing
