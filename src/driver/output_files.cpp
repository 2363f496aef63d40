#include "driver/output_files.h"

#include <filesystem>
#include <ostream>
#include <system_error>

namespace tessovane2 {

namespace {

// A directory opens like a file but reads as an empty one: it is refused, as
// is anything else that cannot be read.
bool openInput(std::ifstream& file, const std::string& name) {
  std::error_code error;
  if (std::filesystem::is_directory(name, error)) return false;
  file.open(name, std::ios::in | std::ios::binary);
  return file.is_open();
}

// Which input file (1 or 2) `name` already is, 0 if none: writing there
// would destroy the input.
int inputFileNumber(const std::string& name, const RunParameters& parameters) {
  std::error_code error;
  if (std::filesystem::equivalent(name, parameters.firstFileName, error)) return 1;
  if (std::filesystem::equivalent(name, parameters.secondFileName, error)) return 2;
  return 0;
}

bool createOutput(std::ofstream& file, const std::string& name, const char* failure,
                  const RunParameters& parameters, std::ostream& err) {
  if (const int input = inputFileNumber(name, parameters)) {
    err << failure << name << '\n' << std::flush;
    err << "       that file is the " << (input == 1 ? "1st" : "2nd") << " input file" << '\n' << std::flush;
    return false;
  }
  file.open(name, std::ios::out | std::ios::trunc | std::ios::binary);
  if (!file.is_open()) {
    err << failure << name << '\n' << std::flush;
    return false;
  }
  return true;
}

}  // namespace

bool openRunFiles(const RunParameters& parameters, RunFiles& files, std::ostream& out, std::ostream& err) {
  if (!openInput(files.firstInputFile, parameters.firstFileName)) {
    err << "Error: unable to open 1st input file " << parameters.firstFileName << '\n' << std::flush;
    return false;
  }
  out << " 1st input  filename = " << parameters.firstFileName << '\n' << std::flush;

  if (!openInput(files.secondInputFile, parameters.secondFileName)) {
    err << "Error: unable to open 2nd input file " << parameters.secondFileName << '\n' << std::flush;
    return false;
  }
  out << " 2nd input  filename = " << parameters.secondFileName << '\n' << std::flush;

  files.statisticsFileName = parameters.outputFileName + ".stt";
  if (!createOutput(files.statisticsFile, files.statisticsFileName,
                    "Error: unable to open statistics output file ", parameters, err)) {
    return false;
  }
  out << " Statistics filename = " << files.statisticsFileName << '\n' << std::flush;

  files.messageFileName = parameters.outputFileName + ".msg";
  if (!createOutput(files.messageFile, files.messageFileName, "Error: unable to open message output file ",
                    parameters, err)) {
    return false;
  }
  out << " Message    filename = " << files.messageFileName << '\n' << std::flush;

  files.reportFileName = parameters.outputFileName + ".out";
  if (!createOutput(files.reportFile, files.reportFileName, "Error: unable to open output report file ",
                    parameters, err)) {
    return false;
  }
  out << " Output     filename = " << files.reportFileName << '\n' << std::flush;
  return true;
}

PageState writeReportHeader(const RunParameters& parameters, const RunFiles& files, const Date& date,
                            std::ostream& report) {
  const PageState page{1, 1 + kReportHeaderLines + kColumnHeadingLines};
  report << page.pageNumber << "   Tessovane2 Report File" << '\n' << std::flush;
  report << " Local system time   = " << date.toString() << '\n' << std::flush;
  report << " Quillane File 1     = " << parameters.firstFileName << '\n' << std::flush;
  report << " Quillane File 2     = " << parameters.secondFileName << '\n' << std::flush;
  report << " Output file         = " << files.reportFileName << '\n' << std::flush;
  report << " Statistics file     = " << files.statisticsFileName << '\n' << std::flush;
  report << " Match Type          = " << parameters.searchTypeLabel << '\n' << std::flush;
  report << '\n' << std::flush;
  report << columnHeadings() << '\n' << std::flush;
  return page;
}

}  // namespace tessovane2
