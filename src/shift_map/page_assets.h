// The page's template, style and script: src/shift_map/page/report.{html,css,js}
// and the script's arithmetic, page/map_math.js, embedded into the program at
// build time (cmake/embed_files.cmake).
#pragma once

#include <string_view>

namespace tessovane2::shifts::page_assets {

extern const std::string_view kReportHtml;
extern const std::string_view kReportCss;
extern const std::string_view kReportJs;
extern const std::string_view kMapMathJs;

}  // namespace tessovane2::shifts::page_assets
