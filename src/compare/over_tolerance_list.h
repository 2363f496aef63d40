// The list of the pairs whose position shift is over the tolerance, as the
// statistics file shows it below its column headings.
#pragma once

#include <string>
#include <string_view>

#include "compare/report_page.h"

namespace tessovane2 {

// The report lines of the flagged pairs, each with a line end, with page
// breaks of their own: the page is checked before every pair, flagged or not
// (so a break can end the list), and only flagged lines fill it.
class OverToleranceList {
 public:
  // firstLine: the line of the statistics file's first page the list starts on.
  explicit OverToleranceList(int firstLine) : page_{1, firstLine} {}

  // The next pair's report line (without "*" and line end).
  void addPair(std::string_view line, bool overTolerance);

  std::string take() { return std::move(text_); }

 private:
  PageState page_;
  std::string text_;
};

}  // namespace tessovane2
