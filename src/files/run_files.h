// The step both programs take before writing anything: open the 1st and 2nd
// input, and refuse an output name that leads to one of them or to another
// output of the same run.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

#include "files/file_streams.h"

namespace tessovane2 {

// Opens input `ordinal` (1 or 2) as `file`; where it cannot be opened writes
// "Error: unable to open 1st input file NAME" to `err` and returns false.
bool openInput(InputFileStream& file, const std::string& name, int ordinal, std::ostream& err);

// What a refused output name leads to: input `input` (0 or 1), or the
// output of the same run named `output` as in its own refusal ("statistics
// output file"); neither for an output that cannot be opened at all.
struct LeadsTo {
  std::optional<std::size_t> input;
  std::string output;
};

// Writes the refusal of output `name`: "Error: unable to open WHAT NAME"
// (WHAT such as "statistics output file"), and, when the name leads to
// another file of the run, the line "       that file is the 1st input file"
// (or "the statistics output file").
void writeOutputRefusal(std::ostream& err, std::string_view what, const std::string& name,
                        const LeadsTo& leadsTo);

}  // namespace tessovane2
