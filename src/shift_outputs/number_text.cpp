#include "shift_outputs/number_text.h"

#include <cmath>
#include <string_view>

#include "format/fixed_columns.h"
#include "format/text_escape.h"

namespace tessovane2::shifts {

namespace {

bool roundsToZero(std::string_view digits) {
  for (const char c : digits) {
    if (c != '0' && c != '.') return false;
  }
  return true;
}

}  // namespace

bool appendDecimal(std::string& out, double value, int decimals) {
  if (!std::isfinite(value)) return false;
  // The report's formatter: the digits of std::to_chars, without its cost
  // where they are certain (to_chars alone took 59 % of the instructions of
  // a 2 x 200,000-station run writing both files).
  const std::size_t start = out.size();
  appendFixed(out, value, 0, decimals);
  if (out[start] == '-' && roundsToZero(std::string_view(out).substr(start + 1))) out.erase(start, 1);
  return true;
}

bool appendAzimuth(std::string& out, double degrees) {
  const std::size_t start = out.size();
  if (!appendDecimal(out, degrees, kAzimuthDecimals)) return false;
  foldWholeTurn(out, start);
  return true;
}

}  // namespace tessovane2::shifts
