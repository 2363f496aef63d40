#include "shift_outputs/number_text.h"

#include <algorithm>
#include <iterator>
#include <string_view>

#include "format/fixed_columns.h"
#include "format/text_escape.h"

namespace tessovane2::shifts {

bool appendAzimuth(std::string& out, double degrees) {
  const std::size_t start = out.size();
  if (!appendDecimal(out, degrees, kAzimuthDecimals)) return false;
  foldWholeTurn(out, start);
  return true;
}

}  // namespace tessovane2::shifts
