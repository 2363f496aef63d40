// Outputs that lead to an input through a symbolic or hard link, for every
// kind of input: a regular file, a named pipe, a pipe, a device. Whole runs of
// the built program under a watchdog: before outputs were compared with the
// inputs as opened, an output linked to a named pipe or pipe given as input
// made the run hold that pipe's write end and wait for its end forever.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <thread>

#include "support/run_in_folder.h"
#include "support/run_program.h"

namespace tessovane2::testing {
namespace {

namespace fs = std::filesystem;

// One entry of the folder before the run: a file holding kStation, a named
// pipe, or a symbolic or hard link to `target`.
struct Entry {
  enum Kind { File, Fifo, Symlink, Hardlink } kind;
  std::string name;
  std::string target = {};
};

void layDown(const fs::path& folder, const std::vector<Entry>& entries) {
  for (const Entry& entry : entries) {
    const fs::path path = folder / entry.name;
    switch (entry.kind) {
      case Entry::File:
        writeFile(path, kStation);
        break;
      case Entry::Fifo:
        ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
        break;
      case Entry::Symlink:
        fs::create_symlink(entry.target, path);
        break;
      case Entry::Hardlink:
        ASSERT_EQ(link((folder / entry.target).c_str(), path.c_str()), 0);
        break;
    }
  }
}

// Feeds the named pipe `fifo` as a shell's "cat b.txt > fifo &" would, once
// the run has opened it for reading: first calls `meanwhile`, then writes
// kStation and closes it. Gives up after 10 seconds without a reader.
std::thread feed(const fs::path& fifo, std::function<void()> meanwhile) {
  return std::thread([fifo, meanwhile] {
    for (int i = 0; i < 1000; ++i) {
      const int fd = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
      if (fd >= 0) {
        if (meanwhile) meanwhile();
        fcntl(fd, F_SETFL, 0);
        // Fails, without a signal, when a refused run has gone already.
        if (write(fd, kStation.data(), kStation.size()) < 0) {
        }
        close(fd);
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  });
}

// The echo lines of a run with inputs `first`, `second` and output name o,
// up to the `count`th.
std::string echo(const std::string& first, const std::string& second, int count) {
  const std::string lines[] = {" 1st input  filename = " + first + "\n",
                               " 2nd input  filename = " + second + "\n", " Statistics filename = o.stt\n",
                               " Message    filename = o.msg\n"};
  std::string text;
  for (int i = 0; i < count; ++i) text += lines[i];
  return text;
}

class LinksAndPipes : public ::testing::Test {
 protected:
  // A refused run's writer may write after the run has gone.
  void SetUp() override { previous_ = signal(SIGPIPE, SIG_IGN); }
  void TearDown() override { signal(SIGPIPE, previous_); }

 private:
  sighandler_t previous_ = SIG_DFL;
};

TEST_F(LinksAndPipes, AnOutputLeadingToAnInputIsRefusedAndNothingWaits) {
  struct Case {
    std::string name;
    std::vector<Entry> folder;
    std::vector<std::string> arguments;  // none: prompt mode
    std::string input, out, err;
    std::map<std::string, std::string> filesAfter;
  };
  const std::string statisticsIsSecond =
      "Error: unable to open statistics output file o.stt\n"
      "       that file is the 2nd input file\n";
  const std::vector<Case> cases = {
      {"statistics file a symbolic link to a named pipe given as 2nd input",
       {{Entry::File, "a.txt"}, {Entry::Fifo, "f2"}, {Entry::Symlink, "o.stt", "f2"}},
       {"a.txt", "f2", "o", "1", "4", "S"},
       "",
       echo("a.txt", "f2", 2),
       statisticsIsSecond,
       {{"a.txt", kStation}}},
      {"prompted: message file a hard link to a named pipe given as 1st input",
       {{Entry::File, "b.txt"}, {Entry::Fifo, "f1"}, {Entry::Hardlink, "o.msg", "f1"}},
       {},
       "f1 b.txt o 1 4 S\n",
       kPrompts + echo("f1", "b.txt", 3),
       "Error: unable to open message output file o.msg\n"
       "       that file is the 1st input file\n",
       {{"b.txt", kStation}, {"o.stt", ""}}},
      {"report a symbolic link to /dev/null given as 1st input",
       {{Entry::File, "b.txt"}, {Entry::Symlink, "o.out", "/dev/null"}},
       {"/dev/null", "b.txt", "o", "1", "4", "S"},
       "",
       echo("/dev/null", "b.txt", 4),
       "Error: unable to open output report file o.out\n"
       "       that file is the 1st input file\n",
       {{"b.txt", kStation}, {"o.stt", ""}, {"o.msg", ""}}},
      {"statistics file a symbolic link to the pipe given as 2nd input, as process substitution does",
       {{Entry::File, "a.txt"}, {Entry::Symlink, "o.stt", "/dev/stdin"}},
       {"a.txt", "/dev/stdin", "o", "1", "4", "S"},
       kStation,
       echo("a.txt", "/dev/stdin", 2),
       statisticsIsSecond,
       {{"a.txt", kStation}}},
      {"prompted: report a hard link to the 1st input named through a symbolic link",
       {{Entry::File, "a.txt"},
        {Entry::File, "b.txt"},
        {Entry::Symlink, "in", "a.txt"},
        {Entry::Hardlink, "o.out", "a.txt"}},
       {},
       "in b.txt o 1 4 S\n",
       kPrompts + echo("in", "b.txt", 4),
       "Error: unable to open output report file o.out\n"
       "       that file is the 1st input file\n",
       {{"a.txt", kStation},
        {"b.txt", kStation},
        {"in", kStation},
        {"o.out", kStation},
        {"o.stt", ""},
        {"o.msg", ""}}},
  };
  for (const Case& c : cases) {
    TempFolder folder;
    layDown(folder.path(), c.folder);
    std::vector<std::thread> writers;
    for (const Entry& entry : c.folder) {
      if (entry.kind == Entry::Fifo) writers.push_back(feed(folder.path() / entry.name, nullptr));
    }
    const ProgramOutcome outcome = runProgram(folder.path(), c.arguments, c.input);
    for (std::thread& writer : writers) writer.join();
    EXPECT_TRUE(outcome.end.ended) << c.name << ": still running after 30 seconds";
    EXPECT_EQ(outcome.end.status, 1) << c.name;
    EXPECT_EQ(outcome.out, c.out) << c.name;
    EXPECT_EQ(outcome.err, kBanner + c.err) << c.name;
    EXPECT_EQ(outcome.files, c.filesAfter) << c.name;
  }
}

// Regression: with the statistics file a link to the report ("ln -s o.out
// o.stt") the statistics were written into o.out and the report was lost,
// status 0. An output leading to another output of the run is refused like
// one leading to an input, before any output is emptied: every file that
// was there stays as it was (a new one created before the refusal stays,
// empty).
TEST_F(LinksAndPipes, AnOutputLeadingToAnotherOutputIsRefusedAndNothingIsEmptied) {
  struct Case {
    std::string name;
    std::vector<Entry> folder;
    int echoed;
    std::string err;
    std::map<std::string, std::string> filesAfter;
  };
  const std::vector<Entry> inputs = {{Entry::File, "a.txt"}, {Entry::File, "b.txt"}};
  const auto with = [&inputs](std::vector<Entry> more) {
    more.insert(more.begin(), inputs.begin(), inputs.end());
    return more;
  };
  const std::vector<Case> cases = {
      {"statistics file a symbolic link to the report",
       with({{Entry::File, "o.out"}, {Entry::File, "o.msg"}, {Entry::Symlink, "o.stt", "o.out"}}),
       4,
       "Error: unable to open output report file o.out\n"
       "       that file is the statistics output file\n",
       {{"o.out", kStation}, {"o.stt", kStation}, {"o.msg", kStation}}},
      {"message file a hard link to the statistics file",
       with({{Entry::File, "o.stt"}, {Entry::Hardlink, "o.msg", "o.stt"}, {Entry::File, "o.out"}}),
       3,
       "Error: unable to open message output file o.msg\n"
       "       that file is the statistics output file\n",
       {{"o.stt", kStation}, {"o.msg", kStation}, {"o.out", kStation}}},
      {"report a symbolic link to a message file not there yet",
       with({{Entry::File, "o.stt"}, {Entry::Symlink, "o.out", "o.msg"}}),
       4,
       "Error: unable to open output report file o.out\n"
       "       that file is the message output file\n",
       {{"o.stt", kStation}, {"o.msg", ""}, {"o.out", ""}}},
  };
  for (const Case& c : cases) {
    TempFolder folder;
    layDown(folder.path(), c.folder);
    const ProgramOutcome outcome = runProgram(folder.path(), {"a.txt", "b.txt", "o", "1", "4", "S"});
    std::map<std::string, std::string> expected = c.filesAfter;
    expected["a.txt"] = expected["b.txt"] = kStation;
    ASSERT_TRUE(outcome.end.ended) << c.name;
    EXPECT_EQ(outcome.end.status, 1) << c.name;
    EXPECT_EQ(outcome.out, echo("a.txt", "b.txt", c.echoed)) << c.name;
    EXPECT_EQ(outcome.err, kBanner + c.err) << c.name;
    EXPECT_EQ(outcome.files, expected) << c.name;
  }
}

// A pipe that no output leads to is read as before; and an input moved onto
// the message file's name while the run waits for its 2nd input is not
// removed with the (empty) message file at the end.
TEST_F(LinksAndPipes, PipesAreReadAndAnInputMovedOntoTheMessageFileStays) {
  const std::string reportLine =
      "AB0001  0001 STATION 0001                    0.00000   0.00000    0.000   0.000\n";
  {
    TempFolder folder;
    layDown(folder.path(), {{Entry::File, "a.txt"}});
    const ProgramOutcome outcome =
        runProgram(folder.path(), {"a.txt", "/dev/stdin", "o", "1", "4", "S"}, kStation);
    ASSERT_TRUE(outcome.end.ended);
    EXPECT_EQ(outcome.end.status, 0) << outcome.err;
    EXPECT_EQ(outcome.files.size(), 3u);
    ASSERT_TRUE(outcome.files.count("o.out"));
    EXPECT_TRUE(outcome.files.at("o.out").ends_with(reportLine)) << outcome.files.at("o.out");
  }
  {
    TempFolder folder;
    layDown(folder.path(), {{Entry::File, "a.txt"}, {Entry::Fifo, "f2"}});
    std::thread writer = feed(folder.path() / "f2", [&folder] {
      // The report is created last: then all five files are open.
      for (int i = 0; i < 1000 && !fs::exists(folder.path() / "o.out"); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      }
      fs::rename(folder.path() / "a.txt", folder.path() / "o.msg");
    });
    const ProgramOutcome outcome = runProgram(folder.path(), {"a.txt", "f2", "o", "1", "4", "S"});
    writer.join();
    ASSERT_TRUE(outcome.end.ended);
    EXPECT_EQ(outcome.end.status, 0) << outcome.err;
    EXPECT_EQ(outcome.out.find("See message file comments"), std::string::npos);
    ASSERT_TRUE(outcome.files.count("o.msg"));
    EXPECT_EQ(outcome.files.at("o.msg"), kStation);
    EXPECT_TRUE(outcome.files.at("o.out").ends_with(reportLine)) << outcome.files.at("o.out");
  }
}

}  // namespace
}  // namespace tessovane2::testing
