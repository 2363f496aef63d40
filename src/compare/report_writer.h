// Writing the report lines of the pairs into the report file, page by page.
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>

#include "compare/report_line.h"
#include "compare/report_page.h"

namespace tessovane2 {

class ReportWriter {
 public:
  // page: where the report stands (after the header: page 1, line 13).
  ReportWriter(std::ostream& reportFile, PageState page) : file_(reportFile), page_(page) {}

  // Starts a new page first when the page is full, then writes the pair's
  // line, with "*" when it is over the tolerance. Every line goes to the
  // system as soon as it is complete (one write and flush per line). Returns
  // the line without "*" and line end, valid until the next call.
  std::string_view write(const POS_ELEV& first, const StationShift& shift, bool overTolerance);

  const PageState& page() const { return page_; }

 private:
  std::ostream& file_;
  PageState page_;
  std::string buffer_;
};

}  // namespace tessovane2
