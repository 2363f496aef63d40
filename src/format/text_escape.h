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
// characters other than tab become U+FFFD, which XML 1.0 cannot hold.
std::string toUtf8(std::string_view bytes);

// The bytes as UTF-8 with every character kept, for data files that must
// hold what the survey file held (the CSV): valid UTF-8 sequences are kept,
// every other byte is its Latin-1 character, control characters included,
// as the GeoJSON reads them.
std::string toUtf8Exact(std::string_view bytes);

// Text for HTML or XML content and attribute values: & < > " ' escaped.
std::string escapeMarkup(std::string_view bytes);

// A JSON string literal, quotes included, safe inside an HTML <script>
// element: < > & are written as \u003c \u003e \u0026, so that neither
// "</script>" nor "<!--" can appear, and U+2028 and U+2029 as escapes.
std::string jsonString(std::string_view bytes);

// A fixed-point number with the given decimals, locale-free, for JSON and
// SVG; "null" (JSON) for a NaN or an infinity.
std::string fixedNumber(double value, int decimals);
void appendFixed(std::string& out, double value, int decimals);

// A direction's text (degrees) from `start` on that rounded up to a whole
// turn, "360" with any decimals, becomes zero's with as many ("0.00"): the
// same direction, as the CSV, the GeoJSON and the page write it.
void foldWholeTurn(std::string& out, std::size_t start);

// At most maxDecimals decimals, trailing zeros dropped: "10000", "2.5".
std::string shortNumber(double value, int maxDecimals);

}  // namespace tessovane2
