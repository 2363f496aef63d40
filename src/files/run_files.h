// The step both programs take before writing anything: open the 1st and 2nd
// input, and refuse an output name that leads to one of them.
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

// Writes the refusal of output `name`: "Error: unable to open WHAT NAME"
// (WHAT such as "statistics output file"), and, when the name leads to input
// `input` (0 or 1), the line "       that file is the 1st input file".
void writeOutputRefusal(std::ostream& err, std::string_view what, const std::string& name,
                        std::optional<std::size_t> input);

}  // namespace tessovane2
