#include "records/fixed_columns.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace tessovane2 {

void appendRight(std::string& out, std::string_view text, int width) {
  if (width > 0 && text.size() < static_cast<std::size_t>(width)) {
    out.append(static_cast<std::size_t>(width) - text.size(), ' ');
  }
  out.append(text);
}

namespace {

constexpr std::array<std::uint64_t, 10> kPowersOfTen = {
    1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000, 1000000000};

// The digits of value rounded to `decimals` decimals, for the common case of
// a value of moderate size whose scaled value is clearly not halfway between
// two integers; false when the exact digits are needed (to_chars then).
//
// scaled = |value| * 10^decimals is within half an ulp of the exact product,
// so when scaled is farther than one ulp from the nearest half-integer, the
// exact product rounds to the same integer as scaled.
bool appendFixedFast(char*& end, double value, int decimals) {
  if (decimals < 0 || static_cast<std::size_t>(decimals) >= kPowersOfTen.size()) return false;
  const std::uint64_t unit = kPowersOfTen[static_cast<std::size_t>(decimals)];
  const double scaled = std::fabs(value) * static_cast<double>(unit);
  if (!(scaled < 4503599627370496.0)) return false;  // 2^52: integers and halves exact below
  const std::uint64_t whole = static_cast<std::uint64_t>(scaled);  // floor: scaled >= 0
  const double fraction = scaled - static_cast<double>(whole);       // exact
  if (!(std::fabs(fraction - 0.5) > scaled * 0x1p-51)) return false;
  const std::uint64_t rounded = whole + (fraction > 0.5 ? 1 : 0);

  // Digits from the right: the decimals, the point, the integer part, the
  // sign (printf writes "-0.000" for a negative value that rounds to zero).
  char digits[32];
  char* p = digits + sizeof digits;
  std::uint64_t rest = rounded;
  for (int i = 0; i < decimals; ++i) {
    *--p = static_cast<char>('0' + rest % 10);
    rest /= 10;
  }
  if (decimals > 0) *--p = '.';
  do {
    *--p = static_cast<char>('0' + rest % 10);
    rest /= 10;
  } while (rest != 0);
  if (std::signbit(value)) *--p = '-';
  const std::size_t length = static_cast<std::size_t>(digits + sizeof digits - p);
  std::copy_n(p, length, end);
  end += length;
  return true;
}

}  // namespace

void appendFixed(std::string& out, double value, int width, int decimals) {
  // std::to_chars in fixed notation gives the correctly rounded digits that
  // printf("%.*f") and a stream in fixed notation give; the fast path gives
  // the same digits without it where that is certain.
  char buffer[400];
  std::string_view text;
  if (std::isnan(value)) {
    text = std::signbit(value) ? "-nan" : "nan";
  } else if (std::isinf(value)) {
    text = value < 0 ? "-inf" : "inf";
  } else if (char* end = buffer; appendFixedFast(end, value, decimals)) {
    text = std::string_view(buffer, static_cast<std::size_t>(end - buffer));
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
