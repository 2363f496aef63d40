#include "records/conversions.h"

#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdlib>
#include <string>
#include <system_error>

namespace tessovane2 {

bool isWhiteSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::size_t skipWhiteSpace(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && isWhiteSpace(text[i])) ++i;
  return i;
}

// The rare prefixes that std::from_chars declines (out of range: overflow or
// underflow) get strtod's answer, an infinity or a (denormal) small value.
// strtod runs in the "C" locale: the program never calls setlocale.
double strtodValue(std::string_view number) {
  std::string copy(number);
  return std::strtod(copy.c_str(), nullptr);
}

}  // namespace

IntegerConversion toInteger(std::string_view text) {
  std::size_t i = skipWhiteSpace(text);
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  const std::size_t digitsStart = i;
  long long value = 0;
  for (; i < text.size() && isDigit(text[i]); ++i) {
    const int digit = text[i] - '0';
    if (value > (LLONG_MAX - digit) / 10) {
      value = LLONG_MAX;
    } else {
      value = value * 10 + digit;
    }
  }
  if (i == digitsStart) return {0, 0};
  return {negative ? -value : value, i};
}

RealConversion toReal(std::string_view text) {
  const std::size_t start = skipWhiteSpace(text);
  std::size_t i = start;
  const bool hasSign = i < text.size() && (text[i] == '+' || text[i] == '-');
  if (hasSign) ++i;
  std::size_t digits = 0;
  while (i < text.size() && isDigit(text[i])) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && isDigit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return {0.0, 0};
  std::size_t end = i;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    const std::size_t exponentDigits = j;
    while (j < text.size() && isDigit(text[j])) ++j;
    if (j > exponentDigits) end = j;
  }

  // std::from_chars takes no '+' sign; a '-' it reads itself.
  const char* first = text.data() + start + ((hasSign && text[start] == '+') ? 1 : 0);
  const char* last = text.data() + end;
  double value = 0.0;
  const auto result = std::from_chars(first, last, value, std::chars_format::general);
  if (result.ec != std::errc{} || result.ptr != last) {
    value = strtodValue(text.substr(start, end - start));
  }
  return {value, end};
}

}  // namespace tessovane2
