#include "files/run_files.h"

#include <ostream>

namespace tessovane2 {

namespace {
const char* ordinalWord(std::size_t index) { return index == 0 ? "1st" : "2nd"; }
}  // namespace

bool openInput(InputFileStream& file, const std::string& name, int ordinal, std::ostream& err) {
  if (file.open(name)) return true;
  err << "Error: unable to open " << ordinalWord(static_cast<std::size_t>(ordinal - 1)) << " input file "
      << name << '\n'
      << std::flush;
  return false;
}

void writeOutputRefusal(std::ostream& err, std::string_view what, const std::string& name,
                        const LeadsTo& leadsTo) {
  err << "Error: unable to open " << what << ' ' << name << '\n' << std::flush;
  if (leadsTo.input) {
    err << "       that file is the " << ordinalWord(*leadsTo.input) << " input file" << '\n' << std::flush;
  } else if (!leadsTo.output.empty()) {
    err << "       that file is the " << leadsTo.output << '\n' << std::flush;
  }
}

}  // namespace tessovane2
