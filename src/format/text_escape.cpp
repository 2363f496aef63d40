#include "format/text_escape.h"

#include <charconv>
#include <cmath>
#include <cstdint>

#include "format/fixed_columns.h"

namespace tessovane2 {
namespace {

void appendCodePoint(std::string& out, std::uint32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// The length of the valid UTF-8 sequence at text[i] (shortest form, no
// surrogates, at most U+10FFFF), or 0.
std::size_t validSequence(std::string_view text, std::size_t i, std::uint32_t& code) {
  const auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(text[k]); };
  const std::uint8_t lead = byte(i);
  std::size_t length = 0;
  std::uint32_t minimum = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, code = lead & 0x1Fu, minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, code = lead & 0x0Fu, minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, code = lead & 0x07u, minimum = 0x10000;
  } else {
    return 0;
  }
  if (i + length > text.size()) return 0;
  for (std::size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
    code = (code << 6) | (byte(i + k) & 0x3Fu);
  }
  if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return length;
}

}  // namespace

namespace {

// The bytes as characters, in one pass, into a text of about their size:
// ascii(out, byte) for a byte below 0x80, sequence(out, text, code) for a
// valid UTF-8 sequence and the code point it holds, other(out, byte) for
// every other byte. The one walk of toUtf8, toUtf8Exact and consoleText.
template <class Ascii, class Sequence, class Other>
std::string recoded(std::string_view bytes, Ascii ascii, Sequence sequence, Other other) {
  std::string out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size();) {
    const auto lead = static_cast<std::uint8_t>(bytes[i]);
    std::uint32_t code = 0;
    if (lead < 0x80) {
      ascii(out, lead);
      ++i;
    } else if (const std::size_t length = validSequence(bytes, i, code); length > 0) {
      sequence(out, bytes.substr(i, length), code);
      i += length;
    } else {
      other(out, lead);
      ++i;
    }
  }
  return out;
}

}  // namespace

std::string toUtf8(std::string_view bytes) {
  return recoded(
      bytes,
      [](std::string& out, std::uint8_t byte) {
        const bool control = (byte < 0x20 && byte != '\t') || byte == 0x7F;
        if (control) {
          appendCodePoint(out, 0xFFFD);
        } else {
          out += static_cast<char>(byte);
        }
      },
      [](std::string& out, std::string_view text, std::uint32_t code) {
        if (code == 0xFFFE || code == 0xFFFF) {
          appendCodePoint(out, 0xFFFD);  // no character: XML 1.0 forbids them
        } else {
          out += text;
        }
      },
      // C1 controls (Latin-1 0x80-0x9F) are no text either.
      [](std::string& out, std::uint8_t byte) { appendCodePoint(out, byte < 0xA0 ? 0xFFFD : byte); });
}

std::string toUtf8Exact(std::string_view bytes) {
  return recoded(
      bytes, [](std::string& out, std::uint8_t byte) { out += static_cast<char>(byte); },
      [](std::string& out, std::string_view text, std::uint32_t) { out += text; },
      [](std::string& out, std::uint8_t byte) { appendCodePoint(out, byte); });
}

std::string consoleText(std::string_view bytes) {
  const auto escape = [](std::string& out, std::uint8_t byte) {
    static constexpr char kDigits[] = "0123456789abcdef";
    out += "\\x";
    out += kDigits[byte >> 4];
    out += kDigits[byte & 0xF];
  };
  return recoded(
      bytes,
      [&](std::string& out, std::uint8_t byte) {
        if (byte < 0x20 || byte == 0x7F) {
          escape(out, byte);
        } else if (byte == '\\') {
          out += "\\\\";
        } else {
          out += static_cast<char>(byte);
        }
      },
      [&](std::string& out, std::string_view text, std::uint32_t code) {
        if (code < 0xA0) {  // U+0080-U+009F: the C1 controls
          for (const char c : text) escape(out, static_cast<std::uint8_t>(c));
        } else {
          out += text;
        }
      },
      escape);
}

std::size_t consoleWidth(std::string_view text) {
  std::size_t width = 0;
  for (const char c : text) {
    if ((static_cast<std::uint8_t>(c) & 0xC0) != 0x80) ++width;
  }
  return width;
}

std::string escapeMarkup(std::string_view bytes) {
  std::string out;
  for (char c : toUtf8(bytes)) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::size_t utf8SequenceLength(std::string_view bytes, std::size_t at) {
  std::uint32_t code = 0;
  return at < bytes.size() ? validSequence(bytes, at, code) : 0;
}

namespace {

void appendHex4(std::string& out, std::uint32_t value) {
  static constexpr char kDigits[] = "0123456789abcdef";
  out += "\\u";
  for (int shift = 12; shift >= 0; shift -= 4) out += kDigits[(value >> shift) & 0xF];
}

// Plain printable ASCII that JSON and a <script> element take as it is.
bool plainInJson(std::uint8_t c) {
  return c >= 0x20 && c < 0x7F && c != '"' && c != '\\' && c != '<' && c != '>' && c != '&';
}

}  // namespace

void appendJsonString(std::string& out, std::string_view bytes) {
  out += '"';
  // The usual identifier, plain ASCII, goes in one piece.
  std::size_t plain = 0;
  while (plain < bytes.size() && plainInJson(static_cast<std::uint8_t>(bytes[plain]))) ++plain;
  out += bytes.substr(0, plain);
  for (std::size_t i = plain; i < bytes.size();) {
    const auto c = static_cast<std::uint8_t>(bytes[i]);
    std::uint32_t code = 0;
    if (plainInJson(c)) {
      out += static_cast<char>(c);
    } else if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x80) {
      appendHex4(out, c);  // a control character, or < > &
    } else if (const std::size_t length = validSequence(bytes, i, code)) {
      // U+2028 and U+2029 end a line in older script parsers.
      if (code == 0x2028 || code == 0x2029) {
        appendHex4(out, code);
      } else {
        out += bytes.substr(i, length);
      }
      i += length;
      continue;
    } else {
      appendHex4(out, c);  // not UTF-8: the Latin-1 byte is its code point
    }
    ++i;
  }
  out += '"';
}

std::string jsonString(std::string_view bytes) {
  std::string out;
  appendJsonString(out, bytes);
  return out;
}

void appendFixed(std::string& out, double value, int decimals) {
  // Beyond 1e60 fixed digits say nothing; a non-zero value that rounds to
  // zero would come out as 0. Both are written as the shortest text that
  // reads back as the value, so that no number changes its nature (JSON
  // and SVG both read "4e-07").
  if (std::isfinite(value) && std::fabs(value) < 1e60) {
    const std::size_t start = out.size();
    appendDecimal(out, value, decimals);
    if (value == 0.0 ||
        std::string_view(out).substr(start).find_first_not_of("-0.") != std::string_view::npos) {
      return;
    }
    out.resize(start);
  }
  appendShortest(out, value);
}

void appendShortest(std::string& out, double value) {
  if (!std::isfinite(value)) {
    out += "null";
    return;
  }
  char buffer[32];
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
  out.append(buffer, error == std::errc() ? end : buffer);
}

std::string shortestNumber(double value) {
  std::string out;
  appendShortest(out, value);
  return out;
}

std::string fixedNumber(double value, int decimals) {
  std::string out;
  appendFixed(out, value, decimals);
  return out;
}

void foldWholeTurn(std::string& out, std::size_t start) {
  if (start > out.size()) return;
  const std::string_view text = std::string_view(out).substr(start);
  if (text.substr(0, 3) != "360") return;
  const std::string_view decimals = text.substr(3);
  if (!decimals.empty() &&
      (decimals[0] != '.' || decimals.find_first_not_of('0', 1) != std::string_view::npos)) {
    return;
  }
  out[start] = '0';
  out.erase(start + 1, 2);
}

std::string shortNumber(double value, int maxDecimals) {
  std::string text = fixedNumber(value, maxDecimals);
  if (text.find('.') != std::string::npos) {
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
  }
  return text;
}

}  // namespace tessovane2
