// Writing values into fixed-width columns: every field right-aligned and
// filled with blanks on the left; a value wider than its field is written
// whole. Locale-free.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
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

// Room for the fixed-point text of any double with up to 80 decimals: sign,
// 309 integer digits, point and decimals.
inline constexpr std::size_t kFixedMaxLength = 400;

// What appendFixed writes, into a character buffer with room for
// max(width, kFixedMaxLength) characters at `at`; returns the end of what was
// written.
char* writeFixed(char* at, double value, int width, int decimals);

// value in decimal, right-aligned in width columns (0: no padding).
void appendInteger(std::string& out, std::int64_t value, int width = 0);

// value with `decimals` digits after the point, no padding, at `at`, which
// has room for kFixedMaxLength characters; a value that rounds to zero is
// written without a minus sign. Returns the end of what was written: `at`
// for a value that is not finite (a missing value).
char* writeDecimal(char* at, double value, int decimals);

// The same appended to `out`, and true; appends nothing and returns false
// for a value that is not finite (a missing value). The one fixed-decimal
// writer of every output: the CSV, the GeoJSON, the summary, the page and
// the SVG.
bool appendDecimal(std::string& out, double value, int decimals);

// A number among others: what comes before it (a separator, a name), the
// value and its decimals.
struct DecimalField {
  std::string_view before;
  double value;
  int decimals;
};

// Each field's `before`, then its value as writeDecimal writes it, or
// `missing` where it has none, appended to `out` in one piece.
void appendDecimalFields(std::string& out, std::span<const DecimalField> fields, std::string_view missing);

// n in decimal with a comma between thousands: "10,000,000".
std::string withThousands(std::uint64_t n);

}  // namespace tessovane2
