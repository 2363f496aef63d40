// Whole runs on broken and hostile input: garbage, huge and truncated lines,
// odd line ends, bytes above 127, number-like texts, files that are not plain
// files, hostile names, and a console that goes away. Each run must end with
// the expected outputs and leave every input as it was.
#include <gtest/gtest.h>
#if !defined(_WIN32)
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <chrono>
#include <csignal>
#include <cstdio>
#include <random>
#include <set>
#include <thread>

#include "support/builders.h"
#include "support/run_in_folder.h"
#include "support/run_program.h"

namespace tessovane2::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

// A report line for 1st-file station pid, ssn (4 bytes), designation, then
// the four shift fields as printed.
std::string reportLine(const std::string& pid, const std::string& ssn, const std::string& designation,
                       const std::string& shifts = "  0.00000   0.00000    0.000   0.000") {
  std::string name = designation;
  name.resize(30, ' ');
  return pid + "  " + ssn + " " + name + shifts + "\n";
}

std::vector<std::string> arguments(const std::string& first, const std::string& second,
                                   const std::string& output = "run") {
  return {first, second, output, "0.05", "4", "S"};
}

// The report after its 12 header lines: the station lines and page breaks.
std::string reportBody(const RunOutcome& outcome, const std::string& name = "run.out") {
  const auto found = outcome.files.find(name);
  if (found == outcome.files.end()) return "<no report>";
  const std::size_t at = found->second.find(kHeadings);
  return at == std::string::npos ? "<no headings>" : found->second.substr(at + kHeadings.size());
}

std::string countsLine(std::int64_t positions, std::int64_t records) {
  char line[80];
  std::snprintf(line, sizeof line, "      *80 records : %5lld    Total records : %5lld",
                static_cast<long long>(positions), static_cast<long long>(records));
  return line;
}

// Runs in a new folder holding `inputs`, which must come out of the run byte
// for byte as they went in.
RunOutcome runOn(const std::map<std::string, std::string>& inputs, const std::vector<std::string>& args) {
  TempFolder folder;
  for (const auto& [name, content] : inputs) writeFile(folder.path() / name, content);
  RunOutcome outcome = runInFolder(folder.path(), args);
  for (const auto& [name, content] : inputs) {
    EXPECT_TRUE(outcome.files.count(name) && outcome.files.at(name) == content) << name << " changed";
  }
  return outcome;
}

TEST(HostileInput, BinaryGarbageAndNulBytesAroundStations) {
  // Seeded garbage without '*', so no garbage line carries a record code.
  std::mt19937 random(20031014);
  const auto garbage = [&](std::size_t size) {
    std::string bytes(size, '\0');
    for (char& c : bytes) {
      c = static_cast<char>(random() % 256);
      if (c == '*') c = '\0';
    }
    return bytes;
  };
  const auto lines = [](const std::string& text) {
    return std::count(text.begin(), text.end(), '\n') + (text.back() != '\n');
  };
  // A NUL byte in the designation and after column 75 is a byte like any other.
  const std::string nulName = "NUL\0INSIDE"s;
  const std::string first = garbage(5000) + "\n" + record80("AB0001", "0001", nulName) + "\0\0\n"s +
                            garbage(3000) + "\n" + record80("AB0002", "0002") + "\n" + garbage(700);
  const std::string second = std::string(100, '\0') + "\n" + record80("AB0001", "0001") + "\n" +
                             garbage(4000) + "\n" + record80("AB0002", "0002") + "\n";

  const RunOutcome outcome = runOn({{"a.txt", first}, {"b.txt", second}}, arguments("a.txt", "b.txt"));
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(lineWith(outcome.out, "      *80 records"), countsLine(2, lines(first)));
  EXPECT_EQ(lineWith(outcome.out.substr(outcome.out.find("Input File 2")), "      *80 records"),
            countsLine(2, lines(second)));
  EXPECT_EQ(reportBody(outcome),
            reportLine("AB0001", "0001", nulName) + reportLine("AB0002", "0002", "STATION"));
  EXPECT_EQ(outcome.files.count("run.msg"), 0u);
}

TEST(HostileInput, TenMegabyteLinesWithoutLineEnd) {
  const std::string tail(10 << 20, 'x');
  // Columns past 75 of an *80 record are not read, however many there are.
  const std::string first = record80("AB0001", "0001") + tail;
  // An *86 record without its *80 record is quoted whole in the warning.
  const std::string orphan = record86("9999", "0012345") + tail;
  const std::string second = record80("AB0001", "0001") + "\n" + orphan;

  const RunOutcome outcome = runOn({{"a.txt", first}, {"b.txt", second}}, arguments("a.txt", "b.txt"));
  EXPECT_EQ(outcome.status, 0) << outcome.err.substr(0, 300);
  EXPECT_EQ(reportBody(outcome), reportLine("AB0001", "0001", "STATION"));
  EXPECT_EQ(lineWith(outcome.out, "      *80 records"), countsLine(1, 1));
  ASSERT_TRUE(outcome.files.count("run.msg"));
  EXPECT_TRUE(outcome.files.at("run.msg") ==
              "Warning: File 2 line 2 - No *80 record exists for *86 record:\n" + orphan + "\n");
}

// Every prefix, 80 characters down to none, of an *80 record (1st file) and
// of an *86 record (2nd file, after its station), so that the shortest height
// is the last one paired. Lines under 9 characters are only counted; shorter
// records read as if padded with blanks to their last column.
TEST(HostileInput, RecordsOfEveryLengthUpTo80) {
  const std::string full80 = "      *80 0001" + record80("AB0001", "0001").substr(14) + "12345";
  const std::string full86 = record86("0001", "1234567") + std::string(57, 'z');
  ASSERT_EQ(full80.size(), 80u);
  ASSERT_EQ(full86.size(), 80u);
  std::string first, second = record80("AB0001", "0001") + "\n";
  for (std::size_t length = 81; length-- > 0;) {
    first += full80.substr(0, length) + "\n";
    second += full86.substr(0, length) + "\n";
  }
  const RunOutcome outcome = runOn({{"a.txt", first}, {"b.txt", second}}, arguments("a.txt", "b.txt"));
  EXPECT_EQ(outcome.status, 0);

  // Elevation columns cut inside (lengths 74 down to 70) leave blanks in the
  // elevation text: refused, quoted as read.
  std::string refusals;
  for (std::size_t length = 74; length >= 70; --length) {
    std::string columns = full80.substr(69, length - 69);
    columns.resize(6, ' ');
    refusals += "Error: In parse80() - invalid elevation: " + columns.substr(0, 4) + "." + columns.substr(4) +
                "\n       at record: \n" + full80.substr(0, length) + "\n";
  }
  EXPECT_EQ(outcome.err.substr(outcome.err.find("\n\n") + 2), refusals);
  // 72 *80 records (lengths 9 to 80), 5 of them refused; the 62 that reach
  // column 14 carry SSN 0001 and match the station of the 2nd file.
  EXPECT_EQ(lineWith(outcome.out, "      *80 records"), countsLine(72, 81));
  EXPECT_EQ(lineWith(outcome.out, " Matched Stations"), " Matched Stations :    62");
  // The first station without elevation: the 69-character record.
  EXPECT_EQ(outcome.files.at("run.msg"),
            "Warning: No elevation found on either *80 or *86 for station: \n"
            "         ssn = 0001\n"
            "         pid =       \n");
  // Height columns 17-23 holding "1" and blanks: 1 metre, compared with the
  // 12.34 m of the full record.
  const std::string body = reportBody(outcome);
  EXPECT_EQ(body.substr(0, body.find('\n') + 1),
            reportLine("      ", "0001", "STATION", "  0.00000   0.00000  -11.340   0.000"));
}

TEST(HostileInput, LineEnds) {
  const std::string a = record80("AB0001", "0001"), b = record80("AB0002", "0002");
  const std::string both = reportLine("AB0001", "0001", "STATION") + reportLine("AB0002", "0002", "STATION");
  struct Case {
    std::string name, first;
    std::int64_t positions, records;
    std::string report;
  };
  const std::vector<Case> cases = {
      {"CR LF", a + "\r\n" + b + "\r\n", 2, 2, both},
      {"no final line end", a + "\n" + b, 2, 2, both},
      {"CR LF, no final line end", a + "\r\n" + b, 2, 2, both},
      // Only a line feed ends a line: a lone CR is a byte of the line, so a
      // file with CR line ends is one line, read as its first record.
      {"lone CR", a + "\r" + b + "\r", 1, 1, reportLine("AB0001", "0001", "STATION")},
      // An *80 record whose trailing blanks were stripped, then CR LF.
      {"stripped blanks, CR LF", a.substr(0, 69) + "\r\n" + b + "\r\n", 2, 2,
       reportLine("AB0001", "0001", "STATION", "  0.00000   0.00000   12.340   0.000") +
           reportLine("AB0002", "0002", "STATION")},
  };
  for (const Case& c : cases) {
    const RunOutcome outcome =
        runOn({{"a.txt", c.first}, {"b.txt", a + "\n" + b + "\n"}}, arguments("a.txt", "b.txt"));
    EXPECT_EQ(outcome.status, 0) << c.name;
    EXPECT_EQ(lineWith(outcome.out, "      *80 records"), countsLine(c.positions, c.records)) << c.name;
    EXPECT_EQ(reportBody(outcome), c.report) << c.name;
  }
}

// Keys compare byte for byte, bytes above 127 included; a UTF-8 designation
// is 30 bytes, printed as it is.
TEST(HostileInput, BytesAbove127InDesignationAndKeys) {
  const std::string ssn = "\xC3\x85\xC3\x96";                     // "ÅÖ"
  const std::string nearSsn = "\xC3\x85\xC3\x97";                 // differs in its last byte
  const std::string pid = "\xFF\xFE\x80\x81\x00\x7F"s;            // NUL and DEL too
  const std::string name = "G\xC3\x85RDSJ\xC3\x96 \xC3\x96STRA";  // 16 bytes
  const std::string first = record80(pid, ssn, name) + "\n" + record80("AB0002", nearSsn) + "\n" +
                            record80("\x80\x80\x80\x80\x80\x80", "\x80\x80\x80\x80") + "\n";
  const std::string second = record80(pid, ssn, "MOVED", "2345679") + "\n" +
                             record80("\x80\x80\x80\x80\x80\x81", "\x80\x80\x80\x81") + "\n";
  for (const char* matchType : {"S", "P"}) {
    const RunOutcome outcome =
        runOn({{"a.txt", first}, {"b.txt", second}}, {"a.txt", "b.txt", "run", "0.05", "4", matchType});
    EXPECT_EQ(outcome.status, 0) << matchType;
    EXPECT_EQ(reportBody(outcome), reportLine(pid, ssn, name, "  0.00001   0.00000    0.000   0.000"))
        << matchType;
    EXPECT_EQ(outcome.files.at("run.msg"),
              "Warning: Station in 2nd file not in 1st file:     PID = \x80\x80\x80\x80\x80\x81"
              "   SSN = \x80\x80\x80\x81\n")
        << matchType;
  }
}

// Number-like texts in the latitude seconds columns 49-55 of both files: only
// decimal numbers with a finite value are taken.
TEST(HostileInput, NumberLikeSecondsFields) {
  struct Case {
    std::string seconds;
    bool taken;
  };
  const std::vector<Case> cases = {
      {"9e99999", false}, {"     -0", true},  {"    +.5", true},  {"     1e", false},
      {"    nan", false}, {"    inf", false}, {"   0x1A", false}, {"  1e308", true},
  };
  for (const Case& c : cases) {
    const std::string record = record80("AB0001", "0001", "STATION", c.seconds);
    const RunOutcome outcome =
        runOn({{"a.txt", record + "\n"}, {"b.txt", record + "\n"}}, arguments("a.txt", "b.txt"));
    EXPECT_EQ(outcome.status, 0) << c.seconds;
    if (c.taken) {
      EXPECT_EQ(outcome.err.substr(outcome.err.find("\n\n") + 2), "") << c.seconds;
      EXPECT_EQ(reportBody(outcome), reportLine("AB0001", "0001", "STATION")) << c.seconds;
    } else {
      const std::string message = "Error: In parse80() - invalid latitude seconds: " +
                                  c.seconds.substr(c.seconds.find_first_not_of(' ')) +
                                  "\n       at record: \n" + record + "\n";
      EXPECT_EQ(outcome.err.substr(outcome.err.find("\n\n") + 2), message + message) << c.seconds;
      EXPECT_EQ(reportBody(outcome), "") << c.seconds;
    }
  }
}

// Number-like texts in the *86 height columns 17-23: a zero value with text
// left over ends the run; any other value is taken, text left over or not.
TEST(HostileInput, NumberLikeHeightFields) {
  char huge[400];
  std::snprintf(huge, sizeof huge, "%8.3f", 9e99);  // "9e99", then ".999" left over
  struct Case {
    std::string height;
    std::string elevationShift;  // empty: fatal
  };
  const std::vector<Case> cases = {
      {"9e99999", huge}, {"-0     ", ""}, {"+.5    ", "   0.500"}, {"1e     ", "   1.000"}, {"nan    ", ""},
      {"inf    ", ""},   {"0x1A   ", ""}, {"0000000", "   0.000"}, {"   -1e2", " -10.000"},  // "   -.1e2"
  };
  const std::string noElevation = record80("AB0001", "0001", "STATION", "2345678", "      ");
  for (const Case& c : cases) {
    const RunOutcome outcome = runOn(
        {{"a.txt", noElevation + "\n"}, {"b.txt", noElevation + "\n" + record86("0001", c.height) + "\n"}},
        arguments("a.txt", "b.txt"));
    if (c.elevationShift.empty()) {
      EXPECT_EQ(outcome.status, 1) << c.height;
      const std::string& messages = outcome.files.at("run.msg");
      EXPECT_EQ(messages.substr(messages.find("Error:")),
                "Error: File 2 line 2 - Invalid value for Elevation:\n"
                "       SSN = 0001   Elev = " +
                    c.height.substr(0, 4) + "." + c.height.substr(4) + "\n")
          << c.height;
      EXPECT_EQ(outcome.files.at("run.stt"), "") << c.height;
    } else {
      EXPECT_EQ(outcome.status, 0) << c.height;
      EXPECT_EQ(reportBody(outcome), reportLine("AB0001", "0001", "STATION",
                                                "  0.00000   0.00000 " + c.elevationShift + "   0.000"))
          << c.height;
    }
  }
}

// One file may be both inputs; names go to the file system as they are, no
// command interpreter sees them. Windows refuses '"' in names; '%' and '^'
// are what its interpreter would expand.
TEST(HostileInput, HostileNamesAndTheSameFileTwice) {
  const std::string station = record80("AB0001", "0001") + "\n";
  const std::string line = reportLine("AB0001", "0001", "STATION");
#if defined(_WIN32)
  const std::string input = "-it's %PATH% & ^(x);.txt", output = "-o 'q %x% ^ `x`";
#else
  const std::string input = "-it's \"$(touch x)\";.txt", output = "-o 'q\" `x`";
#endif
  const RunOutcome outcome = runOn({{input, station + station}}, arguments(input, "./" + input, output));
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(reportBody(outcome, output + ".out"), line + line + line + line);
  std::set<std::string> names;
  for (const auto& [name, content] : outcome.files) names.insert(name);
  EXPECT_EQ(names, (std::set<std::string>{input, output + ".out", output + ".stt"}));
}

#if !defined(_WIN32)
// Writes `content` into `fd` and closes it.
void feed(int fd, const std::string& content) {
  for (std::size_t done = 0; done < content.size();) {
    const ssize_t n = write(fd, content.data() + done, content.size() - done);
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  close(fd);
}
#endif

// /dev/null is an empty file; a named pipe and a pipe given as /dev/fd/N
// (what a shell's process substitution passes) are read like files.
TEST(HostileInput, DevNullAndPipes) {
#if defined(_WIN32)
  GTEST_SKIP() << "POSIX only: /dev/null, named pipes and /dev/fd";
#else
  const std::string station = record80("AB0001", "0001") + "\n";
  const std::string line = reportLine("AB0001", "0001", "STATION");
  {
    const RunOutcome outcome = runOn({{"b.txt", station}}, arguments("/dev/null", "b.txt"));
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.out.rfind(" 1st input  filename = /dev/null\n", 0), 0u);
    EXPECT_EQ(lineWith(outcome.out, "      *80 records"), countsLine(0, 0));
    EXPECT_EQ(outcome.files.at("run.msg"),
              "Warning: Station in 2nd file not in 1st file:     PID = AB0001   SSN = 0001\n");
  }
  {
    TempFolder folder;
    const fs::path fifo = folder.path() / "fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    feed(pipeEnds[1], station);
    // The named pipe has a writer once the run opens it for reading; the
    // writer gives up after 10 seconds, so a run that never opens it fails
    // instead of hanging.
    std::thread writer([&] {
      for (int i = 0; i < 1000; ++i) {
        const int fd = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0) {
          fcntl(fd, F_SETFL, 0);
          feed(fd, station);
          return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      }
    });
    const RunOutcome outcome =
        runInFolder(folder.path(), arguments("fifo", "/dev/fd/" + std::to_string(pipeEnds[0])));
    writer.join();
    close(pipeEnds[0]);
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(reportBody(outcome), line);
  }
#endif
}

#if !defined(_WIN32)
// What a run on one matching station leaves in its folder.
void expectCompleteRun(const fs::path& folder, const std::string& station) {
  const auto files = readFolder(folder);
  EXPECT_EQ(files.size(), 4u);
  EXPECT_EQ(files.at("a.txt"), station);
  EXPECT_EQ(files.at("b.txt"), station);
  EXPECT_EQ(reportBody({0, "", "", files}), reportLine("AB0001", "0001", "STATION"));
  EXPECT_NE(files.at("run.stt").find(" Matched Stations :     1\n"), std::string::npos);
}

#endif

// Regression: standard output that cannot be written (closed, or a full
// device) lost the statistics lines with status 0. The run still writes its
// files, then says so on standard error, status 1.
TEST(HostileExecutable, StandardOutputThatCannotBeWritten) {
#if defined(_WIN32)
  GTEST_SKIP() << "POSIX only: fork, file descriptors and /dev/full";
#else
  const std::string station = record80("AB0001", "0001") + "\n";
  for (const char* console : {"closed", "/dev/full"}) {
    TempFolder folder, capture;
    writeFile(folder.path() / "a.txt", station);
    writeFile(folder.path() / "b.txt", station);
    const int in = open("/dev/null", O_RDONLY);
    const int out = console == std::string("closed") ? -1 : open(console, O_WRONLY);
    const int err = open((capture.path() / "err").c_str(), O_WRONLY | O_CREAT, 0600);
    const ProcessEnd end =
        waitForProgram(startProgram(folder.path(), arguments("a.txt", "b.txt"), in, out, err));
    for (const int fd : {in, out, err}) close(fd);
    ASSERT_TRUE(end.ended) << console;
    EXPECT_EQ(end.status, 1) << console;
    EXPECT_TRUE(readFile(capture.path() / "err").ends_with("\nError: unable to write standard output\n"))
        << console << ": " << readFile(capture.path() / "err");
    expectCompleteRun(folder.path(), station);
  }
#endif
}

// Regression: a console pipe closed early (as by "| head -c 1") killed the
// run with SIGPIPE at its next console write, leaving a cut report. The run
// now ends as usual with complete files. The pipe closes after the first
// prompt's first byte; the answers follow.
TEST(HostileExecutable, PipeClosedEarly) {
#if defined(_WIN32)
  GTEST_SKIP() << "POSIX only: fork, file descriptors and SIGPIPE";
#else
  TempFolder folder;
  const std::string station = record80("AB0001", "0001") + "\n";
  writeFile(folder.path() / "a.txt", station);
  writeFile(folder.path() / "b.txt", station);
  // Close-on-exec: the program must hold no end but the two it is given.
  int console[2], answers[2];
  ASSERT_EQ(pipe2(console, O_CLOEXEC), 0);
  ASSERT_EQ(pipe2(answers, O_CLOEXEC), 0);
  const pid_t pid = startProgram(folder.path(), {}, answers[0], console[1], -1);
  close(console[1]);
  close(answers[0]);
  char first = 0;
  EXPECT_EQ(read(console[0], &first, 1), 1);
  close(console[0]);
  // Should the run be gone already, our write must not end the test.
  const auto previous = std::signal(SIGPIPE, SIG_IGN);
  feed(answers[1], "a.txt b.txt run 0.05 4 S\n");
  std::signal(SIGPIPE, previous);
  const ProcessEnd end = waitForProgram(pid);
  ASSERT_TRUE(end.ended);
  EXPECT_EQ(first, 'E');
  EXPECT_EQ(end.status, 0);
  expectCompleteRun(folder.path(), station);
#endif
}

}  // namespace
}  // namespace tessovane2::testing
