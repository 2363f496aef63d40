#include "compare/report_writer.h"

#include <ostream>

namespace tessovane2 {

namespace {

void writeAndFlush(std::ostream& file, const std::string& text) {
  file.write(text.data(), static_cast<std::streamsize>(text.size()));
  file.flush();
}

}  // namespace

std::string_view ReportWriter::write(const POS_ELEV& first, const StationShift& shift, bool overTolerance) {
  buffer_.clear();
  if (breakPageIfFull(page_, buffer_)) {
    writeAndFlush(file_, buffer_);
    buffer_.clear();
  }
  appendReportLine(buffer_, first, shift);
  const std::size_t length = buffer_.size();
  buffer_ += overTolerance ? "*\n" : "\n";
  writeAndFlush(file_, buffer_);
  ++page_.lineCount;
  return std::string_view(buffer_).substr(0, length);
}

}  // namespace tessovane2
