// Page layout shared by the report file and the over-tolerance list.
#pragma once

#include <string>

namespace tessovane2 {

// The three heading lines written under the report title and at the top of
// every later page; each use is followed by one more line end.
const std::string& columnHeadings();

// The column headings and the line end after them.
inline constexpr int kColumnHeadingLines = 4;

// The start of a new page: an empty line, the page number, the column headings.
inline constexpr int kPageBreakLines = 2 + kColumnHeadingLines;

// Lines on a page before a new page starts.
inline constexpr int kPageLength = 66;

struct PageState {
  int pageNumber = 1;  // 1 on the first page
  int lineCount = 1;   // number of the next line on the current page
};

// When the page is full (lineCount above 66), appends the start of a new page
// to out and leaves lineCount at 1 + kPageBreakLines (7). Returns whether a
// page was started.
bool breakPageIfFull(PageState& page, std::string& out);

}  // namespace tessovane2
