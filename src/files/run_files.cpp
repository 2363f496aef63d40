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
                        std::optional<std::size_t> input) {
  err << "Error: unable to open " << what << ' ' << name << '\n' << std::flush;
  if (input) err << "       that file is the " << ordinalWord(*input) << " input file" << '\n' << std::flush;
}

}  // namespace tessovane2
