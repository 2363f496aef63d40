#include "compare/over_tolerance_list.h"

namespace tessovane2 {

void OverToleranceList::addPair(std::string_view line, bool overTolerance) {
  breakPageIfFull(page_, text_);
  if (!overTolerance) return;
  text_ += line;
  text_ += '\n';
  ++page_.lineCount;
}

}  // namespace tessovane2
