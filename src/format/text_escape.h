// Writing the files' byte texts (designations, file names) into the page and
// the SVG so that no text can break them: valid UTF-8 always, markup and
// script-ending characters escaped.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tessovane2 {

// The bytes as UTF-8: valid UTF-8 sequences are kept; every other byte is
// taken as a Latin-1 character (the survey files predate UTF-8); control
// characters other than tab, and the noncharacters U+FFFE and U+FFFF,
// become U+FFFD: XML 1.0 cannot hold them. The page and the SVG both write
// their texts by this one rule.
std::string toUtf8(std::string_view bytes);

// The bytes as UTF-8 with every character kept, for data files that must
// hold what the survey file held (the CSV): valid UTF-8 sequences are kept,
// every other byte is its Latin-1 character, control characters included,
// as the GeoJSON reads them.
std::string toUtf8Exact(std::string_view bytes);

// Text for HTML or XML content and attribute values: & < > " ' escaped.
std::string escapeMarkup(std::string_view bytes);

// The length of the valid UTF-8 sequence at bytes[at] (shortest form, no
// surrogates, at most U+10FFFF), or 0: the one UTF-8 reader of every output.
std::size_t utf8SequenceLength(std::string_view bytes, std::size_t at);

// A JSON string literal, quotes included, by the one rule of the GeoJSON and
// the page's data: the data exact (valid UTF-8 as it is; any other byte, read
// as Latin-1, and every control character as a \u00XX escape), and safe
// inside an HTML <script> element (< > & as \u003c \u003e \u0026, so that
// neither "</script>" nor "<!--" can appear; U+2028 and U+2029 as escapes).
void appendJsonString(std::string& out, std::string_view bytes);
std::string jsonString(std::string_view bytes);

// Text for a terminal: what the bytes say, with nothing a terminal would
// act on. Control bytes (C0, DEL), C1 controls (bytes 0x80-0x9F or their
// UTF-8 forms) and every byte of no valid UTF-8 sequence are written as
// \xHH (lower-case hex), a backslash as two; valid UTF-8 and printable
// ASCII pass as they are. The files keep the bytes; only the console needs
// this.
std::string consoleText(std::string_view bytes);

// The columns a terminal gives consoleText's result: one per character
// (UTF-8 continuation bytes take none).
std::size_t consoleWidth(std::string_view text);

// A fixed-point number with the given decimals, locale-free, for JSON and
// SVG; "null" (JSON) for a NaN or an infinity. A non-zero value that would
// round to zero, or one too long for fixed digits, is written as
// appendShortest writes it, so that no number changes its nature.
std::string fixedNumber(double value, int decimals);
void appendFixed(std::string& out, double value, int decimals);

// A direction's text (degrees) from `start` on that rounded up to a whole
// turn, "360" with any decimals, becomes zero's with as many ("0.00"): the
// same direction, as the CSV, the GeoJSON and the page write it.
void foldWholeTurn(std::string& out, std::size_t start);
// The shortest text that reads back as the value ("0.05", "4e-07",
// "1e+300"), valid in JSON and SVG; "null" for a NaN or an infinity.
std::string shortestNumber(double value);
void appendShortest(std::string& out, double value);

// At most maxDecimals decimals, trailing zeros dropped: "10000", "2.5".
std::string shortNumber(double value, int maxDecimals);

}  // namespace tessovane2
