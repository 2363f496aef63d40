// loadStationTable and warnMissingElevation, SSN length 4.
#include "records/station_table.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "support/builders.h"

namespace tessovane2::testing {
namespace {

std::string star80(const std::string& ssn, const std::string& elevation = "012345",
                   const std::string& pid = "PID001", const std::string& latitudeSeconds = "2345678") {
  return record80(pid, ssn, "DESIGNATION", latitudeSeconds, elevation);
}

std::string star86(const std::string& ssn, const std::string& height, const std::string& pid = "PID001") {
  return record86(ssn, height, pid);
}

struct Loaded {
  LoadResult result;
  std::string out, err, msg;
  std::int64_t messageCount = 0;  // the load's warnings and the missing-elevation warning
};

// One file loaded as the run does it, the missing-elevation check included.
Loaded load(const std::string& text, int fileNumber = 1) {
  Loaded l;
  std::istringstream input(text);
  std::ostringstream out, err, msg;
  const LoadOutput output{out, err, msg};
  l.result = loadStationTable(fileNumber, input, 4, output);
  l.messageCount = l.result.warningCount;
  if (!l.result.fatal) l.messageCount += warnMissingElevation(l.result.table, output);
  l.out = out.str();
  l.err = err.str();
  l.msg = msg.str();
  return l;
}

std::string orphan(int file, int line, const std::string& record) {
  return "Warning: File " + std::to_string(file) + " line " + std::to_string(line) +
         " - No *80 record exists for *86 record:\n" + record + "\n";
}

const std::string kNoElevation = "Warning: No elevation found on either *80 or *86 for station: \n";

TEST(LoadStationTable, EmptyFile) {
  const Loaded l = load("");
  EXPECT_TRUE(l.result.table.empty());
  EXPECT_EQ(l.result.recordCount, 0);
  EXPECT_EQ(l.result.controlPointCount, 0);
  EXPECT_EQ(l.out + l.err + l.msg, "");
  EXPECT_EQ(l.messageCount, 0);
}

TEST(LoadStationTable, ProgressMarks) {
  const std::pair<int, std::string> cases[] = {{399, ""}, {400, "."}, {401, ".|"}, {800, "..|"}};
  for (const auto& [lines, marks] : cases) {
    std::string text;
    for (int i = 0; i < lines; ++i) text += "line\n";
    const Loaded l = load(text);
    EXPECT_EQ(l.out, marks) << lines;
    EXPECT_EQ(l.result.recordCount, lines);
  }
}

TEST(LoadStationTable, PairingWarningsAndLineNumbers) {
  const std::string lines[] = {
      "comment",                                      // 1: not a record
      "",                                             // 2
      "ABCDEF*8",                                     // 3: shorter than 9: only counted
      star86("0001", "0099000"),                      // 4: before its *80: orphan
      star80("0001", "012345", "AAAAAA"),             // 5: keeps its *80 elevation
      star80("0002", "011111"),                       // 6: first of two with SSN 0002
      star80("0002", "022222"),                       // 7
      star86("0002", "0012345", "ZZZZZZ"),            // 8: paired by SSN, whatever the PID
      star86("0003", "       "),                      // 9: blank height: nothing, no station needed
      "PID001*86 0003",                               // 10: short: blank height after padding
      star86("000", "0012345"),                       // 11: "000 " is not "0003" nor any SSN: orphan
      star80("0004", "      "),                       // 12
      star86("0004", "12 4567"),                      // 13: 12, rest ignored
      star80("0005", "      "),                       // 14: no elevation, and the next one
      star80("0006", "000000"),                       // 15
      star80("0007", "012345", "PID007", "2 4    "),  // 16: refused, left out, still counted
      star86("0007", "0001000"),                      // 17: so this one is an orphan
  };
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  const Loaded l = load(text, 2);
  const LoadResult& r = l.result;
  EXPECT_EQ(r.recordCount, 17);
  EXPECT_EQ(r.controlPointCount, 7);
  ASSERT_EQ(r.table.size(), 6u);
  EXPECT_EQ(r.table[0].elevation, 123.45);
  EXPECT_EQ(r.table[1].elevation, 12.345);
  EXPECT_EQ(r.table[2].elevation, 222.22);
  EXPECT_EQ(r.table[3].elevation, 12.0);
  EXPECT_EQ(r.table[4].ssn.view(), "0005");
  EXPECT_EQ(r.table[4].elevation, 0.0);
  EXPECT_EQ(r.table[0].pid.view(), "AAAAAA");
  EXPECT_EQ(l.err,
            "Error: In parse80() - invalid latitude seconds: 2 4\n       at record: \n" + lines[15] + "\n");
  const std::string warning = kNoElevation + "         ssn = 0005\n         pid = PID001\n";
  EXPECT_EQ(l.out, warning);
  EXPECT_EQ(l.msg, orphan(2, 4, lines[3]) + orphan(2, 11, lines[10]) + orphan(2, 17, lines[16]) + warning);
  EXPECT_EQ(l.messageCount, 4);
}

// CR LF lines; a last line without line end; a short *86 ("-1  .   " is -1).
TEST(LoadStationTable, SevenZeroHeightMeansNoElevation) {
  const Loaded l = load(star80("0001", "012345", "PID009") + "\r\n" + star80("0002") + "\r\n" +
                        star86("0001", "0000000") + "\r\nPID001*86 0002  -1");
  EXPECT_EQ(l.result.table[0].elevation, 0.0);
  EXPECT_EQ(l.result.table[1].elevation, -1.0);
  EXPECT_EQ(l.out, kNoElevation + "         ssn = 0001\n         pid = PID009\n");
  EXPECT_EQ(l.msg, l.out);
  EXPECT_EQ(l.messageCount, 1);
}

TEST(LoadStationTable, LettersOnlyHeightIsFatal) {
  std::string text;
  for (int i = 0; i < 450; ++i) text += "filler\n";
  text += star80("0001") + "\n" + star86("0001", "ABCDEFG") + "\n" + star86("0009", "0001000") + "\n";
  const Loaded l = load(text, 1);
  EXPECT_TRUE(l.result.fatal);
  EXPECT_EQ(l.result.recordCount, 452);  // nothing read after the bad line
  EXPECT_EQ(l.out, ".");                 // no bar, no missing-elevation check
  EXPECT_EQ(l.msg,
            "Error: File 1 line 452 - Invalid value for Elevation:\n"
            "       SSN = 0001   Elev = ABCD.EFG\n");
  EXPECT_EQ(l.result.table[0].elevation, 123.45);
}

// The *86 index must give exactly what a scan from the first entry gives.
TEST(LoadStationTable, IndexAgreesWithScanFromFirstEntry) {
  const char* const ssns[] = {"0001", "0002", " 12 ", "12  ", "0012", "  12", "ABCD", "0003", "9999"};
  std::mt19937 random(20031014);
  std::string text, expectedMessages;
  std::vector<std::pair<std::string, double>> reference;  // ssn, elevation
  char digits[16];
  for (int line = 1; line <= 20000; ++line) {
    const std::string ssn = ssns[random() % 9];
    switch (random() % 3) {
      case 0: {
        const auto elevation = static_cast<unsigned>(1 + random() % 999999);
        std::snprintf(digits, sizeof digits, "%06u", elevation);
        // SSN 9999 comes only with refused seconds: counted, never a station.
        text += star80(ssn, digits, "PID001", ssn == "9999" ? "23456x8" : "2345678") + "\n";
        if (ssn != "9999") reference.emplace_back(ssn, elevation / 100.0);
        break;
      }
      case 1: {
        const auto height = static_cast<unsigned>(1 + random() % 9999999);
        std::snprintf(digits, sizeof digits, "%07u", height);
        text += star86(ssn, digits) + "\n";
        std::size_t i = 0;
        while (i < reference.size() && reference[i].first != ssn) ++i;
        if (i < reference.size()) {
          reference[i].second = height / 1000.0;
        } else {
          expectedMessages += orphan(1, line, star86(ssn, digits));
        }
        break;
      }
      default:
        text += "other\n";
    }
  }
  const Loaded l = load(text);
  ASSERT_EQ(l.result.table.size(), reference.size());
  for (std::size_t i = 0; i < reference.size(); ++i) {
    EXPECT_EQ(l.result.table[i].ssn.view(), reference[i].first) << i;
    EXPECT_EQ(l.result.table[i].elevation, reference[i].second) << i;
  }
  EXPECT_EQ(l.msg, expectedMessages);
}

}  // namespace
}  // namespace tessovane2::testing
