#include "compare/report_page.h"

#include "format/fixed_columns.h"

namespace tessovane2 {

const std::string& columnHeadings() {
  // Each line: a 44-character left part, then the right part.
  static const std::string headings =
      "PID     SSN  Designation                    Latitude  Longitude   Elev    Posn\n"
      "        2nd                                 Shift     Shift       Shift   Shift\n"
      "        File                                (sec)     (sec)       (m)     (m)\n";
  return headings;
}

bool breakPageIfFull(PageState& page, std::string& out) {
  if (page.lineCount <= kPageLength) return false;
  ++page.pageNumber;
  out += '\n';
  appendInteger(out, page.pageNumber);
  out += '\n';
  out += columnHeadings();
  out += '\n';
  page.lineCount = 1 + kPageBreakLines;
  return true;
}

}  // namespace tessovane2
