// The companion's files under file-system faults, as whole runs of the
// built program: a write that fails midway (a file-size limit stands in for
// a full disk), outputs linked to each other, names that cannot be replaced,
// and a standard output that cannot be written. POSIX only: fork, setrlimit,
// symbolic links, /dev/full.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <set>

#include "support/run_in_folder.h"
#include "support/run_program.h"

namespace tessovane2::testing {
namespace {

namespace fs = std::filesystem;

const fs::path kExamples = fs::path(TESSOVANE2_CASES_DIR) / ".." / ".." / "examples";
const std::vector<std::string> kArguments = {"old.hz", "new.hz", "r", "0.05", "4", "S"};
const Launch kShifts{TESSOVANE2_SHIFTS_EXECUTABLE};
// The sample surveys differ: a complete run ends with status 1.
constexpr int kDifferences = 1;
constexpr int kTrouble = 2;

void copySamples(const fs::path& folder) {
  for (const char* name : {"old.hz", "new.hz"}) fs::copy_file(kExamples / name, folder / name);
}

struct CompleteRun {
  std::map<std::string, std::string> outputs;  // the six files (four formats, two sidecars)
  std::string warnings;                        // standard error: the loader's warnings on the samples
};

CompleteRun completeRun() {
  TempFolder folder;
  copySamples(folder.path());
  const ProgramOutcome outcome = runProgram(folder.path(), kArguments, "", kShifts);
  EXPECT_EQ(outcome.end.status, kDifferences) << outcome.err;
  CompleteRun run{outcome.files, outcome.err};
  run.outputs.erase("old.hz");
  run.outputs.erase("new.hz");
  EXPECT_EQ(run.outputs.size(), 6u);
  return run;
}

// Regression: on a full disk the page was left cut short, the earlier run's
// good page lost, and the other outputs a mix of both runs. Now every output
// is written to a temporary and renamed into place only when all are
// complete: a write that fails leaves every earlier file as it was and no
// temporary behind, whichever output it hits.
TEST(ShiftsFileFaults, AWriteThatFailsMidwayChangesNoFile) {
  const CompleteRun complete = completeRun();
  for (const auto& [cut, bytes] : complete.outputs) {
    // The limit binds the captured console too: a file smaller than its
    // warnings (the .csvt's one line) cannot be cut this way.
    if (bytes.size() <= complete.warnings.size() + 64) continue;
    // One byte short of `cut`: the run fails at `cut` or at a larger output.
    const long limit = static_cast<long>(bytes.size()) - 1;
    std::set<std::string> messages;
    for (const auto& [name, other] : complete.outputs) {
      if (static_cast<long>(other.size()) > limit) {
        messages.insert(complete.warnings + "Error: unable to write " + name + "\n");
      }
    }
    TempFolder folder;
    copySamples(folder.path());
    std::map<std::string, std::string> before;
    for (const auto& [name, output] : complete.outputs) {
      before[name] = "the earlier run's " + name + "\n";
      writeFile(folder.path() / name, before[name]);
    }
    before["old.hz"] = readFile(folder.path() / "old.hz");
    before["new.hz"] = readFile(folder.path() / "new.hz");
    Launch limited = kShifts;
    limited.fileSizeLimitBytes = limit;
    const ProgramOutcome outcome = runProgram(folder.path(), kArguments, "", limited);
    ASSERT_TRUE(outcome.end.ended) << cut;
    EXPECT_EQ(outcome.end.status, kTrouble) << cut << ": " << outcome.err;
    EXPECT_EQ(messages.count(outcome.err), 1u) << cut << ": " << outcome.err;
    EXPECT_EQ(outcome.out, "") << cut;
    EXPECT_EQ(outcome.files, before) << cut;
  }
}

// Regression: "ln -s r.csv r.html" left the page in r.csv and the CSV lost;
// a folder named r.html stopped the run after r.csv and r.geojson were
// written. Each is refused before anything is written, and every file stays
// as it was.
TEST(ShiftsFileFaults, AnOutputThatCannotBeReplacedIsRefusedBeforeAnyWrite) {
  struct Case {
    std::string name;
    std::function<void(const fs::path&)> layDown;
    std::string err;
  };
  const auto earlier = [](const fs::path& folder) {
    for (const char* name : {"r.csv", "r.geojson"}) writeFile(folder / name, std::string("earlier ") + name);
  };
  const std::vector<Case> cases = {
      {"page a symbolic link to the CSV",
       [&](const fs::path& f) {
         earlier(f);
         fs::create_symlink("r.csv", f / "r.html");
       },
       "Error: unable to open HTML output file r.html\n       that file is the CSV output file\n"},
      {"map a symbolic link to a CSV not there yet",
       [](const fs::path& f) { fs::create_symlink("r.csv", f / "r.svg"); },
       "Error: unable to open SVG output file r.svg\n       that file is the CSV output file\n"},
      {"GeoJSON a hard link to the CSV",
       [&](const fs::path& f) {
         earlier(f);
         fs::remove(f / "r.geojson");
         fs::create_hard_link(f / "r.csv", f / "r.geojson");
       },
       "Error: unable to open GeoJSON output file r.geojson\n       that file is the CSV output file\n"},
      {"page a hard link to the 2nd input",
       [&](const fs::path& f) {
         earlier(f);
         fs::create_hard_link(f / "new.hz", f / "r.html");
       },
       "Error: unable to open HTML output file r.html\n       that file is the 2nd input file\n"},
      {"a folder under the page's name",
       [&](const fs::path& f) {
         earlier(f);
         fs::create_directory(f / "r.html");
       },
       "Error: unable to open HTML output file r.html\n"},
      {"map a symbolic link to a device",
       [&](const fs::path& f) {
         earlier(f);
         fs::create_symlink("/dev/null", f / "r.svg");
       },
       "Error: unable to open SVG output file r.svg\n"},
  };
  for (const Case& c : cases) {
    TempFolder folder;
    copySamples(folder.path());
    c.layDown(folder.path());
    const std::map<std::string, std::string> before = readFolder(folder.path());
    const ProgramOutcome outcome = runProgram(folder.path(), kArguments, "", kShifts);
    ASSERT_TRUE(outcome.end.ended) << c.name;
    EXPECT_EQ(outcome.end.status, kTrouble) << c.name;
    EXPECT_EQ(outcome.err, c.err) << c.name;
    EXPECT_EQ(outcome.files, before) << c.name;
  }
}

// A replaced file keeps its permission bits; a symbolic link stays, and the
// file at its end is replaced; a new file gets the bits any new file gets.
TEST(ShiftsFileFaults, AReplacedFileKeepsItsPermissionsAndItsLinks) {
  TempFolder folder;
  copySamples(folder.path());
  fs::create_directory(folder.path() / "kept");
  writeFile(folder.path() / "kept" / "real.csv", "earlier\n");
  fs::create_symlink("kept/real.csv", folder.path() / "r.csv");
  writeFile(folder.path() / "r.geojson", "earlier\n");
  ASSERT_EQ(chmod((folder.path() / "kept" / "real.csv").c_str(), 0640), 0);
  ASSERT_EQ(chmod((folder.path() / "r.geojson").c_str(), 0604), 0);
  const mode_t mask = umask(022);
  const ProgramOutcome outcome = runProgram(
      folder.path(), {"old.hz", "new.hz", "r", "0.05", "4", "S", "--formats=csv,geojson,svg"}, "", kShifts);
  umask(mask);
  EXPECT_EQ(outcome.end.status, kDifferences) << outcome.err;
  const auto mode = [&](const char* name) {
    struct stat status;
    return stat((folder.path() / name).c_str(), &status) == 0 ? status.st_mode & 07777 : 07777;
  };
  EXPECT_TRUE(fs::is_symlink(folder.path() / "r.csv"));
  EXPECT_TRUE(readFile(folder.path() / "kept" / "real.csv").starts_with("pid,ssn,designation,status"));
  EXPECT_EQ(mode("kept/real.csv"), 0640u);
  EXPECT_EQ(mode("r.geojson"), 0604u);
  EXPECT_EQ(mode("r.svg"), 0644u);
  // Nothing else: no temporary left.
  const auto entries = [](const fs::path& f) { return std::distance(fs::directory_iterator(f), {}); };
  EXPECT_EQ(entries(folder.path()), 8);
  EXPECT_EQ(entries(folder.path() / "kept"), 1);
}

// Regression: with standard output closed or full the summary was lost with
// not a word. The files are still complete, then the failure is told, status
// 2; a reader that closes the pipe early is no failure.
TEST(ShiftsFileFaults, StandardOutputThatCannotBeWritten) {
  const CompleteRun complete = completeRun();
  const auto previous = std::signal(SIGPIPE, SIG_IGN);
  for (const std::string console : {"closed", "/dev/full", "pipe closed early"}) {
    TempFolder folder, capture;
    copySamples(folder.path());
    int out = -1;
    if (console == "/dev/full") out = open(console.c_str(), O_WRONLY | O_CLOEXEC);
    if (console == "pipe closed early") {
      int ends[2];
      ASSERT_EQ(pipe2(ends, O_CLOEXEC), 0);
      close(ends[0]);
      out = ends[1];
    }
    const int in = open("/dev/null", O_RDONLY | O_CLOEXEC);
    const int err = open((capture.path() / "err").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    const ProcessEnd end = waitForProgram(startProgram(folder.path(), kArguments, in, out, err, kShifts));
    for (const int fd : {in, out, err}) close(fd);
    ASSERT_TRUE(end.ended) << console;
    const bool readerGone = console == "pipe closed early";
    EXPECT_EQ(end.status, readerGone ? kDifferences : kTrouble) << console;
    EXPECT_EQ(readFile(capture.path() / "err"),
              complete.warnings + (readerGone ? "" : "Error: unable to write standard output\n"))
        << console;
    std::map<std::string, std::string> files = readFolder(folder.path());
    files.erase("old.hz");
    files.erase("new.hz");
    // The page and the map name the local time, to the second.
    EXPECT_EQ(files.at("r.csv"), complete.outputs.at("r.csv")) << console;
    EXPECT_EQ(files.at("r.geojson"), complete.outputs.at("r.geojson")) << console;
    EXPECT_EQ(files.size(), 6u) << console;
  }
  std::signal(SIGPIPE, previous);
}

}  // namespace
}  // namespace tessovane2::testing
