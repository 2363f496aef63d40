// The companion's pairs are the report's lines, in the report's order, with
// the report's position shift and flag: both programs run on the same
// generated files, full of repeated and blank keys (paired as the report
// pairs them with --pair-blank-keys).
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <sstream>

#include "support/run_in_folder.h"
#include "tessovane2_shifts/run_shifts.h"

namespace tessovane2::testing {
namespace {

// A survey of `count` *80 records whose PIDs and 4-digit SSNs come from
// small pools with a blank one, so keys repeat in both files; designations
// name each record; a few *86 heights follow their stations.
std::string survey(std::mt19937& random, int count, char tag) {
  const char* pids[] = {"AB0001", "AB0002", "AB0003", "AB0004", "AB0005", "AB0006", "      "};
  const char* ssns[] = {"0001", "0002", "0003", "0004", "0005", "    "};
  std::ostringstream file;
  for (int i = 0; i < count; ++i) {
    std::string designation = tag + std::to_string(i);
    designation.resize(30, ' ');
    char angles[40];
    std::snprintf(angles, sizeof angles, "4107%07uN09648%07uW",
                  static_cast<unsigned>(1234567 + random() % 2000),
                  static_cast<unsigned>(321456 + random() % 2000));
    const std::string ssn = ssns[random() % std::size(ssns)];
    file << pids[random() % std::size(pids)] << "*80 " << ssn << designation << angles
         << (random() % 5 == 0 ? "      " : " 38842") << '\n';
    if (random() % 4 == 0) file << "      *86 " << ssn << "  0388" << random() % 1000 << '\n';
  }
  return file.str();
}

struct Pair {
  std::string pid, ssn, designation;
  double horizontal;
  bool flagged;
};

std::string trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(' ');
  return first == std::string::npos ? "" : text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The station lines of a report: PID 1-6, SSN 8-12, designation 14-43
// (right-aligned), the position shift in 73-79, "*" in 80 when flagged.
std::vector<Pair> reportPairs(const std::string& report) {
  std::vector<Pair> pairs;
  std::istringstream lines(report);
  for (std::string line; std::getline(lines, line);) {
    std::istringstream shifts(line.size() >= 79 ? line.substr(43) : "");
    double latitude, longitude, elevation, position;
    if (!(shifts >> latitude >> longitude >> elevation >> position)) continue;
    pairs.push_back({trimmed(line.substr(0, 6)), trimmed(line.substr(7, 5)), trimmed(line.substr(13, 30)),
                     position, line.size() == 80 && line[79] == '*'});
  }
  return pairs;
}

// The pair rows of the companion's CSV (no field here needs quotes).
std::vector<Pair> csvPairs(const std::string& csv, int& unpairedSecond) {
  std::vector<Pair> pairs;
  std::istringstream lines(csv);
  std::string line;
  std::getline(lines, line);  // the header
  for (; std::getline(lines, line);) {
    std::vector<std::string> fields;
    std::istringstream row(line.substr(0, line.size() - 1));  // without the CR
    for (std::string field; std::getline(row, field, ',');) fields.push_back(field);
    if (fields[3] == "only_in_2nd") ++unpairedSecond;
    if (fields[3].rfind("only_in_", 0) == 0) continue;
    pairs.push_back({fields[0], fields[1], fields[2], std::stod(fields[14]),
                     fields[3] == "over_horizontal" || fields[3] == "over_both"});
  }
  return pairs;
}

std::size_t count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST(ShiftsPairs, AreTheReportLinesInOrder) {
  std::mt19937 random(20031014);
  for (const std::string key : {"S", "P"}) {
    TempFolder folder;
    writeFile(folder.path() / "a.hz", survey(random, 150, 'A'));
    writeFile(folder.path() / "b.hz", survey(random, 120, 'B'));
    const std::vector<std::string> arguments = {"a.hz", "b.hz", "run", "0.3", "4", key};
    const RunOutcome report = runInFolder(folder.path(), arguments);
    std::vector<std::string> shiftsArguments = arguments;
    shiftsArguments.insert(shiftsArguments.end(), {"--formats", "csv", "-q", "--pair-blank-keys"});
    const RunOutcome shifts = runInFolder(folder.path(), shiftsArguments, "", shifts::runShifts);
    ASSERT_EQ(report.status, 0) << report.err;
    ASSERT_EQ(shifts.status, 1) << shifts.err;

    const std::vector<Pair> expected = reportPairs(report.files.at("run.out"));
    int unpairedSecond = 0;
    const std::vector<Pair> actual = csvPairs(shifts.files.at("run.csv"), unpairedSecond);
    ASSERT_GT(expected.size(), 1000u) << "keys should repeat";
    ASSERT_EQ(actual.size(), expected.size()) << key;
    for (std::size_t i = 0; i < expected.size(); ++i) {
      EXPECT_EQ(actual[i].pid, expected[i].pid) << key << " pair " << i;
      EXPECT_EQ(actual[i].ssn, expected[i].ssn) << key << " pair " << i;
      EXPECT_EQ(actual[i].designation, expected[i].designation) << key << " pair " << i;
      EXPECT_NEAR(actual[i].horizontal, expected[i].horizontal, 0.00055) << key << " pair " << i;
      EXPECT_EQ(actual[i].flagged, expected[i].flagged) << key << " pair " << i;
    }
    EXPECT_EQ(static_cast<std::size_t>(unpairedSecond),
              count(report.files.count("run.msg") ? report.files.at("run.msg") : "", "not in 1st file"));
  }
}

}  // namespace
}  // namespace tessovane2::testing
