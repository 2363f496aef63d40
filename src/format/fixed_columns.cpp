#include "format/fixed_columns.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstring>

namespace tessovane2 {

namespace {

constexpr std::array<std::uint64_t, 10> kPowersOfTen = {1,      10,      100,      1000,      10000,
                                                        100000, 1000000, 10000000, 100000000, 1000000000};

// The fixed-point text of value with `decimals` decimals for the common case
// of a value of moderate size whose scaled value is clearly not halfway
// between two integers, written backwards so that it ends at `end`; returns
// its first character, or nullptr when the exact digits are needed (to_chars
// then).
//
// scaled = |value| * 10^decimals is within half an ulp of the exact product,
// so when scaled is farther than one ulp from the nearest half-integer, the
// exact product rounds to the same integer as scaled. Against to_chars for
// every value it saves 24 % of the instructions of the 2 x 200,000-station
// run by PID.
char* fixedTextBackwards(char* end, double value, int decimals) {
  if (decimals < 0 || static_cast<std::size_t>(decimals) >= kPowersOfTen.size()) return nullptr;
  const std::uint64_t unit = kPowersOfTen[static_cast<std::size_t>(decimals)];
  const double scaled = std::fabs(value) * static_cast<double>(unit);
  // Below 2^52 integers and halves are exact; this also turns away inf and nan.
  if (!(scaled < 4503599627370496.0)) return nullptr;
  const std::uint64_t whole = static_cast<std::uint64_t>(scaled);  // floor: scaled >= 0
  const double fraction = scaled - static_cast<double>(whole);     // exact
  if (!(std::fabs(fraction - 0.5) > scaled * 0x1p-51)) return nullptr;
  std::uint64_t rest = whole + (fraction > 0.5 ? 1 : 0);

  // The decimals, the point, the integer part, the sign (printf writes
  // "-0.000" for a negative value that rounds to zero).
  char* p = end;
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
  return p;
}

}  // namespace

void appendRight(std::string& out, std::string_view text, int width) {
  if (width > 0 && text.size() < static_cast<std::size_t>(width)) {
    out.append(static_cast<std::size_t>(width) - text.size(), ' ');
  }
  out.append(text);
}

char* writeRight(char* at, std::string_view text, int width) {
  if (width > 0 && text.size() < static_cast<std::size_t>(width)) {
    const std::size_t padding = static_cast<std::size_t>(width) - text.size();
    std::memset(at, ' ', padding);
    at += padding;
  }
  std::memcpy(at, text.data(), text.size());
  return at + text.size();
}

namespace {

// The fixed-point text of value with `decimals` decimals (0 to 80), unpadded,
// somewhere in buffer.
std::string_view fixedText(double value, int decimals, char (&buffer)[kFixedMaxLength]) {
  // std::to_chars in fixed notation gives the correctly rounded digits that
  // printf("%.*f") and a stream in fixed notation give; the short cut gives
  // the same digits without it where that is certain.
  char* const end = buffer + kFixedMaxLength;
  if (std::isnan(value)) return std::signbit(value) ? "-nan" : "nan";
  if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
  if (const char* start = fixedTextBackwards(end, value, decimals)) {
    return std::string_view(start, static_cast<std::size_t>(end - start));
  }
  const auto result = std::to_chars(buffer, end, value, std::chars_format::fixed, decimals);
  if (result.ec != std::errc{}) return {};
  return std::string_view(buffer, static_cast<std::size_t>(result.ptr - buffer));
}

}  // namespace

char* writeFixed(char* at, double value, int width, int decimals) {
  char buffer[kFixedMaxLength];
  return writeRight(at, fixedText(value, decimals, buffer), width);
}

void appendFixed(std::string& out, double value, int width, int decimals) {
  char buffer[kFixedMaxLength];
  appendRight(out, fixedText(value, decimals, buffer), width);
}

void appendInteger(std::string& out, std::int64_t value, int width) {
  char buffer[24];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  appendRight(out, std::string_view(buffer, static_cast<std::size_t>(result.ptr - buffer)), width);
}

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

std::string withThousands(std::uint64_t n) {
  const std::string digits = std::to_string(n);
  std::string out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

}  // namespace tessovane2
