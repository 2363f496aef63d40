// OUTPUT.html: the whole report on one page that works offline (its style,
// script and data inside it): the shift map, the height map, the histograms
// and the tables.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "shift_map/page_options.h"
#include "shifts/shift_results.h"

namespace tessovane2::shifts {

// Writes the page; false when the stream failed.
bool writeHtmlReport(const ShiftResults& results, const PageOptions& options, std::ostream& out);

// The template with each "<!--@NAME@-->" or "/*@NAME@*/" marker replaced by
// what fill writes for NAME, streamed piece by piece.
template <typename Fill>
void fillTemplate(std::string_view text, std::ostream& out, Fill fill) {
  while (!text.empty()) {
    const std::size_t html = text.find("<!--@");
    const std::size_t css = text.find("/*@");
    const std::size_t start = std::min(html, css);
    if (start == std::string_view::npos) break;
    const bool isHtml = start == html;
    const std::string_view close = isHtml ? "@-->" : "@*/";
    const std::size_t nameStart = start + (isHtml ? 5 : 3);
    const std::size_t end = text.find(close, nameStart);
    if (end == std::string_view::npos) break;
    out << text.substr(0, start);
    fill(text.substr(nameStart, end - nameStart), out);
    text.remove_prefix(end + close.size());
  }
  out << text;
}

}  // namespace tessovane2::shifts
