// Removing white space from the ends of a field.
#pragma once

#include <string>
#include <string_view>

namespace tessovane2 {

// Side codes: 'L'/'l' trims the left end, 'R'/'r' the right end, 'B'/'b' both;
// any other character trims nothing.
using SideCode = char;

// The part of text that trimming with side leaves (a view into text).
std::string_view trimmedView(std::string_view text, SideCode side);

// Replaces text by its trimmed form and returns a copy of it.
std::string trim(std::string& text, SideCode side);

}  // namespace tessovane2
