// Writing values into fixed-width columns: every field right-aligned and
// filled with blanks on the left; a value wider than its field is written
// whole. Locale-free.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tessovane2 {

// text, right-aligned in width columns (bytes copied as they are, NUL included).
void appendRight(std::string& out, std::string_view text, int width);

// The same into a character buffer: text at `at`, right-aligned in width
// columns; returns the end of what was written.
char* writeRight(char* at, std::string_view text, int width);

// value in fixed-point notation with decimals digits after the point,
// right-aligned in width columns; "inf", "-inf" and "nan" for values that are
// not finite, as the C library prints them.
void appendFixed(std::string& out, double value, int width, int decimals);

// Longest text writeFixedFast writes beyond its width: sign, 16 integer
// digits, point and 9 decimals.
inline constexpr std::size_t kFixedFastMaxLength = 32;

// What appendFixed writes, into a character buffer, for the usual values:
// |value| * 10^decimals below 2^52 and not within an ulp of halfway between
// two integers, decimals from 0 to 9. Returns the end of what was written, or
// nullptr, having written nothing, for a value that needs appendFixed.
char* writeFixedFast(char* at, double value, int width, int decimals);

// value in decimal, right-aligned in width columns (0: no padding).
void appendInteger(std::string& out, std::int64_t value, int width = 0);

}  // namespace tessovane2
