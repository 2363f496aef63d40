#include "records/trim.h"

#include "records/conversions.h"

namespace tessovane2 {

namespace {
// Membership in a set of four side-code letters.
bool isIn(const char (&set)[5], char c) { return c == set[0] || c == set[1] || c == set[2] || c == set[3]; }
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
