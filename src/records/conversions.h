// Number conversions of fixed-column fields.
//
// Both conversions skip leading white space and read the longest prefix that
// forms a number; they never fail and never depend on the locale.
#pragma once

#include <cstddef>
#include <string_view>

namespace tessovane2 {

// Blank, horizontal tab, line feed, vertical tab, form feed, carriage return:
// the only characters that count as white space in a record.
inline bool isWhiteSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

struct IntegerConversion {
  long long value;  // 0 when no digit could be read
  std::size_t end;  // index of the first character not converted
};

// Optional sign, then decimal digits up to the first non-digit.
// "7x" gives 7, two blanks give 0. Saturates instead of overflowing.
IntegerConversion toInteger(std::string_view text);

struct RealConversion {
  double value;     // 0.0 when no number could be read
  std::size_t end;  // index where the conversion stopped (0 when no number)
};

// Decimal real number: optional sign, digits with at most one decimal point,
// optionally an exponent (e or E, optional sign, digits). Hexadecimal, "inf"
// and "nan" are not numbers here. The value is the correctly rounded double of
// that prefix, as strtod gives it (an exponent too large gives an infinity).
RealConversion toReal(std::string_view text);

// True when the conversion used the whole text (an empty text is wholly
// numeric and gives 0.0).
inline bool whollyNumeric(const RealConversion& c, std::string_view text) { return c.end == text.size(); }

}  // namespace tessovane2
