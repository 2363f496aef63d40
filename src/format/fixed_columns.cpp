#include "format/fixed_columns.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <iterator>

namespace tessovane2 {

namespace {

constexpr std::array<std::uint64_t, 10> kPowersOfTen = {1,      10,      100,      1000,      10000,
                                                        100000, 1000000, 10000000, 100000000, 1000000000};

// "00" to "99": two digits per division, which halves the divisions of the
// digit loop (its digits were 0.51 of the 1.46 billion instructions that
// appendFixed took in the 2 x 200,000-station run by PID with --fit
// similarity and both formats).
constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// n's decimal digits written backwards so that they end at `end`; returns
// the first.
char* digitsBackwards(char* end, std::uint64_t n) {
  char* p = end;
  while (n >= 100) {
    p -= 2;
    std::memcpy(p, kDigitPairs + 2 * (n % 100), 2);
    n /= 100;
  }
  if (n >= 10) {
    p -= 2;
    std::memcpy(p, kDigitPairs + 2 * n, 2);
  } else {
    *--p = static_cast<char>('0' + n);
  }
  return p;
}

// n's last Count decimal digits (zero-padded on the left), written backwards
// so that they end at `end`; returns the first. With the count known the
// loop unrolls (a run on 2 x 200,000 stations with --fit similarity and
// both formats: 3.80 billion instructions with the counted loop, 3.72
// billion unrolled).
template <int Count>
char* exactDigitsBackwards(char* end, std::uint64_t n) {
  if constexpr (Count >= 2) {
    std::memcpy(end - 2, kDigitPairs + 2 * (n % 100), 2);
    return exactDigitsBackwards<Count - 2>(end - 2, n / 100);
  } else if constexpr (Count == 1) {
    end[-1] = static_cast<char>('0' + n % 10);
    return end - 1;
  } else {
    return end;
  }
}

// How a negative value that rounds to zero is written: "-0.000", as printf
// writes it, or "0.000".
enum class ZeroSign { Kept, Dropped };

// The fixed-point text of value with Decimals decimals for the common case
// of a value of moderate size whose scaled value is clearly not halfway
// between two integers, written backwards so that it ends at `end` (at most
// 19 characters: 16 digits, a leading 0, the point and the sign); returns
// its first character, or nullptr when the exact digits are needed (to_chars
// then).
//
// scaled = |value| * 10^decimals is within half an ulp of the exact product,
// so when scaled is farther than one ulp from the nearest half-integer, the
// exact product rounds to the same integer as scaled. Against to_chars for
// every value it saves 24 % of the instructions of the 2 x 200,000-station
// run by PID.
template <int Decimals>
char* fixedTextBackwards(char* end, double value, ZeroSign zeroSign) {
  constexpr std::uint64_t unit = kPowersOfTen[Decimals];
  const double scaled = std::fabs(value) * static_cast<double>(unit);
  // Below 2^52 integers and halves are exact; this also turns away inf and nan.
  if (!(scaled < 4503599627370496.0)) return nullptr;
  const std::uint64_t whole = static_cast<std::uint64_t>(scaled);  // floor: scaled >= 0
  const double fraction = scaled - static_cast<double>(whole);     // exact
  if (!(std::fabs(fraction - 0.5) > scaled * 0x1p-51)) return nullptr;
  const std::uint64_t rounded = whole + (fraction > 0.5 ? 1 : 0);

  // The decimals, the point, the integer part, the sign.
  char* p = end;
  if constexpr (Decimals > 0) {
    p = exactDigitsBackwards<Decimals>(p, rounded % unit);
    *--p = '.';
  }
  p = digitsBackwards(p, rounded / unit);
  if (std::signbit(value) && (rounded != 0 || zeroSign == ZeroSign::Kept)) *--p = '-';
  return p;
}

// The same for 0 to 9 decimals, nullptr for others. Each count of decimals
// has its own instance, whose divisions by 10^decimals the compiler turns
// into multiplications: the divisions by a variable power took 15 % of the
// samples of `perf record` in the 2 x 200,000-station run with --fit
// similarity and both formats.
char* fixedTextBackwards(char* end, double value, int decimals, ZeroSign zeroSign) {
  switch (decimals) {
    case 0:
      return fixedTextBackwards<0>(end, value, zeroSign);
    case 1:
      return fixedTextBackwards<1>(end, value, zeroSign);
    case 2:
      return fixedTextBackwards<2>(end, value, zeroSign);
    case 3:
      return fixedTextBackwards<3>(end, value, zeroSign);
    case 4:
      return fixedTextBackwards<4>(end, value, zeroSign);
    case 5:
      return fixedTextBackwards<5>(end, value, zeroSign);
    case 6:
      return fixedTextBackwards<6>(end, value, zeroSign);
    case 7:
      return fixedTextBackwards<7>(end, value, zeroSign);
    case 8:
      return fixedTextBackwards<8>(end, value, zeroSign);
    case 9:
      return fixedTextBackwards<9>(end, value, zeroSign);
    default:
      return nullptr;
  }
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
  if (const char* start = fixedTextBackwards(end, value, decimals, ZeroSign::Kept)) {
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

char* writeDecimal(char* at, double value, int decimals) {
  if (!std::isfinite(value)) return at;
  // The report's formatter: the digits of std::to_chars, without its cost
  // where they are certain (to_chars alone took 59 % of the instructions of
  // a 2 x 200,000-station run writing both files). The short text (at most
  // 19 characters) is written backwards to end 24 bytes into the buffer and
  // copied 24 bytes at a time, a copy of constant size that compiles to a
  // few moves.
  char buffer[48]{};
  char* const end = buffer + 24;
  if (const char* start = fixedTextBackwards(end, value, decimals, ZeroSign::Dropped)) {
    std::memcpy(at, start, 24);
    return at + (end - start);
  }
  char full[kFixedMaxLength];
  std::string_view text = fixedText(value, decimals, full);
  if (text.empty()) return at;  // more decimals than any double has
  if (text.front() == '-' && roundsToZero(text.substr(1))) text.remove_prefix(1);
  std::memcpy(at, text.data(), text.size());
  return at + text.size();
}

bool appendDecimal(std::string& out, double value, int decimals) {
  char buffer[kFixedMaxLength];
  const char* end = writeDecimal(buffer, value, decimals);
  out.append(buffer, static_cast<std::size_t>(end - buffer));
  return end != buffer;
}

void appendDecimalFields(std::string& out, std::span<const DecimalField> fields, std::string_view missing) {
  // Formatted into one buffer and appended once, not a field at a time, and
  // here beside writeDecimal, which the compiler then inlines: a run on
  // 2 x 200,000 stations by PID with --fit similarity and both formats took
  // 3.97 billion instructions (callgrind) with a separator, a number and
  // their appends at a time, 3.80 billion with one buffer in the writers'
  // files, 3.63 billion with it here.
  char buffer[4096];
  char* p = buffer;
  for (const DecimalField& field : fields) {
    if (static_cast<std::size_t>(std::end(buffer) - p) <
        field.before.size() + missing.size() + kFixedMaxLength) {
      out.append(buffer, static_cast<std::size_t>(p - buffer));
      p = buffer;
    }
    p = std::copy(field.before.begin(), field.before.end(), p);
    char* const end = writeDecimal(p, field.value, field.decimals);
    p = end != p ? end : std::copy(missing.begin(), missing.end(), p);
  }
  out.append(buffer, static_cast<std::size_t>(p - buffer));
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
