#include "records/trim.h"

#include "records/conversions.h"

namespace tessovane2 {

namespace {
bool isIn(std::string_view set, char c) { return set.find(c) != std::string_view::npos; }
}  // namespace

std::string_view trimmedView(std::string_view text, SideCode side) {
  const std::size_t n = text.size();
  std::size_t leading = 0;
  std::size_t trailing = 0;
  if (isIn("LlBb", side)) {
    while (leading < n && isWhiteSpace(text[leading])) ++leading;
  }
  if (isIn("RrBb", side)) {
    while (trailing < n && isWhiteSpace(text[n - 1 - trailing])) ++trailing;
  }
  if (leading + trailing >= n) return text.substr(0, 0);
  return text.substr(leading, n - leading - trailing);
}

std::string trim(std::string& text, SideCode side) {
  text = std::string(trimmedView(text, side));
  return text;
}

}  // namespace tessovane2
