#include "shifts/number_text.h"

#include <charconv>
#include <cmath>
#include <string_view>

namespace tessovane2::shifts {

bool appendDecimal(std::string& out, double value, int decimals) {
  if (!std::isfinite(value)) return false;
  // Room for 309 integer digits, the sign, the point and the decimals.
  char buffer[400];
  const std::to_chars_result r =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  std::string_view text(buffer, static_cast<std::size_t>(r.ptr - buffer));
  if (text.front() == '-' && text.find_first_not_of("0.", 1) == std::string_view::npos) text.remove_prefix(1);
  out += text;
  return true;
}

bool appendAzimuth(std::string& out, double degrees) {
  const std::size_t start = out.size();
  if (!appendDecimal(out, degrees, kAzimuthDecimals)) return false;
  if (std::string_view(out).substr(start) == "360.00") {
    out.resize(start);
    out += "0.00";
  }
  return true;
}

}  // namespace tessovane2::shifts
