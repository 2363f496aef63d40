#include "tessovane2/output_files.h"

#include <optional>
#include <ostream>
#include <string_view>

#include "files/run_files.h"

namespace tessovane2 {

namespace {

bool createOutput(OutputFileStream& file, const std::string& name, std::string_view what,
                  const RunFiles& files, std::ostream& err) {
  // The inputs as they were opened: whatever the output name leads to is
  // compared with them, not with what their names lead to by now.
  const std::optional<FileIdentity> inputs[] = {files.firstInputFile.identity(),
                                                files.secondInputFile.identity()};
  const OutputOpening opening = file.open(name, inputs);
  if (!opening.opened) writeOutputRefusal(err, what, name, opening.input);
  return opening.opened;
}

}  // namespace

bool openRunFiles(const RunParameters& parameters, RunFiles& files, std::ostream& out, std::ostream& err) {
  if (!openInput(files.firstInputFile, parameters.firstFileName, 1, err)) return false;
  out << " 1st input  filename = " << parameters.firstFileName << '\n' << std::flush;

  if (!openInput(files.secondInputFile, parameters.secondFileName, 2, err)) return false;
  out << " 2nd input  filename = " << parameters.secondFileName << '\n' << std::flush;

  files.statisticsFileName = parameters.outputFileName + ".stt";
  if (!createOutput(files.statisticsFile, files.statisticsFileName, "statistics output file", files, err)) {
    return false;
  }
  out << " Statistics filename = " << files.statisticsFileName << '\n' << std::flush;

  files.messageFileName = parameters.outputFileName + ".msg";
  if (!createOutput(files.messageFile, files.messageFileName, "message output file", files, err)) {
    return false;
  }
  out << " Message    filename = " << files.messageFileName << '\n' << std::flush;

  files.reportFileName = parameters.outputFileName + ".out";
  if (!createOutput(files.reportFile, files.reportFileName, "output report file", files, err)) {
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
