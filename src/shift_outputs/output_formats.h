// The files tessovane2_shifts can write: each format (as --formats names it)
// owns its files, the data file and any sidecar a reader looks for beside it.
#pragma once

#include <iosfwd>
#include <span>
#include <string_view>

#include "shift_map/page_options.h"
#include "shifts/shift_results.h"

namespace tessovane2::shifts {

struct OutputFile {
  std::string_view extension;  // appended to the output name
  std::string_view what;       // as messages name the file
  void (*write)(const ShiftResults&, const PageOptions&, std::ostream&);
};

struct OutputFormat {
  std::string_view name;              // as --formats names it
  std::span<const OutputFile> files;  // in the order they are written
};

// Every format, in the order the files are written.
std::span<const OutputFormat> outputFormats();

// The format called `name`, or nullptr.
const OutputFormat* findFormat(std::string_view name);

}  // namespace tessovane2::shifts
