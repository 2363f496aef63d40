// The files tessovane2_shifts can write, one line per format.
#pragma once

#include <iosfwd>
#include <span>
#include <string_view>

#include "shift_map/page_options.h"
#include "shifts/shift_results.h"

namespace tessovane2::shifts {

struct OutputFormat {
  std::string_view name;       // as --formats names it
  std::string_view extension;  // appended to the output name
  std::string_view what;       // as messages name the file
  void (*write)(const ShiftResults&, const PageOptions&, std::ostream&);
};

// Every format, in the order the files are written.
std::span<const OutputFormat> outputFormats();

// The format called `name`, or nullptr.
const OutputFormat* findFormat(std::string_view name);

}  // namespace tessovane2::shifts
