#include "tessovane2/output_files.h"

#include <iterator>
#include <optional>
#include <ostream>
#include <span>
#include <string_view>

#include "files/run_files.h"

namespace tessovane2 {

namespace {

// The three outputs in the order they are opened, with their endings and
// their names in messages.
struct OutputSlot {
  OutputFileStream RunFiles::*file;
  std::string RunFiles::*name;
  const char* ending;
  const char* what;
  const char* echo;
};

constexpr OutputSlot kOutputs[] = {
    {&RunFiles::statisticsFile, &RunFiles::statisticsFileName, ".stt", "statistics output file",
     " Statistics filename = "},
    {&RunFiles::messageFile, &RunFiles::messageFileName, ".msg", "message output file",
     " Message    filename = "},
    {&RunFiles::reportFile, &RunFiles::reportFileName, ".out", "output report file",
     " Output     filename = "},
};

}  // namespace

bool openRunFiles(const RunParameters& parameters, RunFiles& files, std::ostream& out, std::ostream& err) {
  if (!openInput(files.firstInputFile, parameters.firstFileName, 1, err)) return false;
  out << " 1st input  filename = " << parameters.firstFileName << '\n' << std::flush;

  if (!openInput(files.secondInputFile, parameters.secondFileName, 2, err)) return false;
  out << " 2nd input  filename = " << parameters.secondFileName << '\n' << std::flush;

  // What no output may lead to: the inputs as they were opened (whatever
  // their names lead to by now), then each output as it is opened. Outputs
  // are opened without being emptied and emptied only once all three are
  // open, so that a refused run leaves every file as it was: two outputs
  // linked to one file would otherwise leave one output in the other's
  // file, and the other lost.
  std::optional<FileIdentity> taken[2 + std::size(kOutputs)] = {files.firstInputFile.identity(),
                                                                files.secondInputFile.identity()};
  for (std::size_t i = 0; i < std::size(kOutputs); ++i) {
    const OutputSlot& slot = kOutputs[i];
    OutputFileStream& file = files.*slot.file;
    std::string& name = files.*slot.name;
    name = parameters.outputFileName + slot.ending;
    const OutputOpening opening = file.open(name, std::span(taken, 2 + i));
    if (!opening.opened) {
      LeadsTo leadsTo;
      if (opening.taken && *opening.taken < 2) leadsTo.input = *opening.taken;
      if (opening.taken && *opening.taken >= 2) leadsTo.output = kOutputs[*opening.taken - 2].what;
      writeOutputRefusal(err, slot.what, name, leadsTo);
      return false;
    }
    taken[2 + i] = file.identity();
    out << slot.echo << name << '\n' << std::flush;
  }
  for (const OutputSlot& slot : kOutputs) {
    if (!(files.*slot.file).empty()) {
      writeOutputRefusal(err, slot.what, files.*slot.name, {});
      return false;
    }
  }
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
