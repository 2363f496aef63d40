// Opening the inputs and outputs in order, the echo lines and the report header.
#include <gtest/gtest.h>

#include "support/builders.h"
#include "support/run_in_folder.h"

namespace tessovane2::testing {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> arguments(const std::string& first, const std::string& second,
                                   const std::string& output) {
  return {first, second, output, "0.05", "4", "S"};
}

// The first `count` echo lines of a run.
std::string echo(const std::string& first, const std::string& second, const std::string& output,
                 int count = 5) {
  const std::string lines[] = {" 1st input  filename = " + first, " 2nd input  filename = " + second,
                               " Statistics filename = " + output + ".stt",
                               " Message    filename = " + output + ".msg",
                               " Output     filename = " + output + ".out"};
  std::string text;
  for (int i = 0; i < count; ++i) text += lines[i] + '\n';
  return text;
}

TEST(OutputFiles, NamesAreTheWholeOutputNameWithThreeEndings) {
  for (const std::string output : {"run", "run.out", "res.txt", ""}) {
    TempFolder folder;
    writeFile(folder.path() / "a.txt", "");
    writeFile(folder.path() / "b.txt", "");
    const RunOutcome outcome = runInFolder(folder.path(), arguments("a.txt", "b.txt", output));
    EXPECT_EQ(outcome.status, 0) << output;
    EXPECT_EQ(outcome.out.rfind(echo("a.txt", "b.txt", output), 0), 0u) << outcome.out;
    // No warning, so the message file is gone again.
    const std::map<std::string, std::string>& files = outcome.files;
    EXPECT_EQ(files.size(), 4u) << output;
    ASSERT_TRUE(files.count(output + ".out")) << output;
    ASSERT_TRUE(files.count(output + ".stt")) << output;
    EXPECT_NE(files.at(output + ".out")
                  .find(" Output file         = " + output +
                        ".out\n"
                        " Statistics file     = " +
                        output + ".stt\n"),
              std::string::npos);
    EXPECT_NE(files.at(output + ".stt")
                  .find(" Output File      : " + output +
                        ".out\n"
                        " Statistics File  : " +
                        output + ".stt\n"),
              std::string::npos);
  }
}

// Existing outputs are emptied, and a run without stations leaves exactly the
// header and the column headings in the report.
TEST(OutputFiles, ExistingOutputsAreEmptiedAndTheReportHoldsTwelveLines) {
  TempFolder folder;
  writeFile(folder.path() / "a.txt", "");
  writeFile(folder.path() / "b.txt", kStation);
  for (const char* name : {"run.stt", "run.msg", "run.out"}) {
    writeFile(folder.path() / name, "old content\n");
  }
  const RunOutcome outcome = runInFolder(folder.path(), arguments("a.txt", "b.txt", "run"));
  ASSERT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.files.at("run.out"),
            "1   Tessovane2 Report File\n"
            " Local system time   = 20031014\n"
            " Quillane File 1     = a.txt\n"
            " Quillane File 2     = b.txt\n"
            " Output file         = run.out\n"
            " Statistics file     = run.stt\n"
            " Match Type          = 4 digit SSN\n"
            "\n"
            "PID     SSN  Designation                    Latitude  Longitude   Elev    Posn\n"
            "        2nd                                 Shift     Shift       Shift   Shift\n"
            "        File                                (sec)     (sec)       (m)     (m)\n"
            "\n");
  EXPECT_EQ(outcome.files.at("run.msg"),
            "Warning: Station in 2nd file not in 1st file:     PID = AB0001   SSN = 0001\n");
  EXPECT_EQ(outcome.files.at("run.stt").rfind("1   Tessovane2 Statistics File\n", 0), 0u);
}

// Every refusal: its console lines, and which files exist afterwards with
// what content. Inputs hold one station; outputs created before the failing
// one stay empty; an input is never truncated.
TEST(OutputFiles, TheFirstFileThatCannotBeOpenedEndsTheRun) {
  struct Case {
    std::string name;
    std::vector<std::string> arguments;
    std::string out, err;
    std::map<std::string, std::string> filesAfter;  // besides a.txt, b.txt, data.txt, dir
  };
  const std::string reportIsSecond =
      "Error: unable to open output report file run.out\n"
      "       that file is the 2nd input file\n";
  const std::vector<Case> cases = {
      {"missing 1st",
       arguments("none.txt", "b.txt", "run"),
       "",
       "Error: unable to open 1st input file none.txt\n",
       {}},
      {"2nd is a directory",
       arguments("a.txt", "dir", "run"),
       echo("a.txt", "", "", 1),
       "Error: unable to open 2nd input file dir\n",
       {}},
      {"no such folder",
       arguments("a.txt", "b.txt", "nodir/run"),
       echo("a.txt", "b.txt", "", 2),
       "Error: unable to open statistics output file nodir/run.stt\n",
       {}},
      // The report must not overwrite the 2nd input, however it is named.
      {"report is 2nd input",
       arguments("a.txt", "run.out", "run"),
       echo("a.txt", "run.out", "run", 4),
       reportIsSecond,
       {{"run.out", kStation}, {"run.stt", ""}, {"run.msg", ""}}},
      {"report is 2nd input as ./",
       arguments("a.txt", "./run.out", "run"),
       echo("a.txt", "./run.out", "run", 4),
       reportIsSecond,
       {{"run.out", kStation}, {"run.stt", ""}, {"run.msg", ""}}},
      {"report links to 2nd input",
       arguments("a.txt", "data.txt", "link"),
       echo("a.txt", "data.txt", "link", 4),
       "Error: unable to open output report file link.out\n"
       "       that file is the 2nd input file\n",
       {{"link.stt", ""}, {"link.msg", ""}}},
      // Both inputs are the statistics file: the 1st is named.
      {"statistics is both inputs",
       arguments("run.stt", "run.stt", "run"),
       echo("run.stt", "run.stt", "run", 2),
       "Error: unable to open statistics output file run.stt\n"
       "       that file is the 1st input file\n",
       {{"run.stt", kStation}}},
  };
  for (const Case& c : cases) {
    TempFolder folder;
    for (const char* name : {"a.txt", "b.txt", "data.txt"}) writeFile(folder.path() / name, kStation);
    fs::create_directory(folder.path() / "dir");
#if defined(_WIN32)
    // Symbolic links need a privilege on Windows; a hard link is the same file too.
    fs::create_hard_link(folder.path() / "data.txt", folder.path() / "link.out");
#else
    fs::create_symlink("data.txt", folder.path() / "link.out");
#endif
    for (const auto& [name, content] : c.filesAfter) {
      if (content == kStation) writeFile(folder.path() / name, content);
    }
    const RunOutcome outcome = runInFolder(folder.path(), c.arguments);
    EXPECT_EQ(outcome.status, 1) << c.name;
    EXPECT_EQ(outcome.out, c.out) << c.name;
    EXPECT_EQ(outcome.err, kBanner + c.err) << c.name;
    std::map<std::string, std::string> expected = c.filesAfter;
    for (const char* name : {"a.txt", "b.txt", "data.txt", "link.out"}) expected[name] = kStation;
    EXPECT_EQ(outcome.files, expected) << c.name;
    EXPECT_FALSE(fs::exists(folder.path() / "nodir")) << c.name;
  }
}

}  // namespace
}  // namespace tessovane2::testing
