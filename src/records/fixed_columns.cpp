#include "records/fixed_columns.h"

#include <charconv>
#include <cmath>

namespace tessovane2 {

void appendRight(std::string& out, std::string_view text, int width) {
  if (width > 0 && text.size() < static_cast<std::size_t>(width)) {
    out.append(static_cast<std::size_t>(width) - text.size(), ' ');
  }
  out.append(text);
}

void appendFixed(std::string& out, double value, int width, int decimals) {
  // std::to_chars in fixed notation gives the correctly rounded digits that
  // printf("%.*f") and a stream in fixed notation give.
  char buffer[400];
  std::string_view text;
  if (std::isnan(value)) {
    text = std::signbit(value) ? "-nan" : "nan";
  } else if (std::isinf(value)) {
    text = value < 0 ? "-inf" : "inf";
  } else {
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                      std::chars_format::fixed, decimals);
    text = std::string_view(buffer, static_cast<std::size_t>(result.ptr - buffer));
  }
  appendRight(out, text, width);
}

void appendInteger(std::string& out, std::int64_t value, int width) {
  char buffer[24];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  appendRight(out, std::string_view(buffer, static_cast<std::size_t>(result.ptr - buffer)), width);
}

}  // namespace tessovane2
