#include "shift_map/html_report.h"

#include "format/text_escape.h"
#include "shift_map/html_tables.h"
#include "shift_map/map_geometry.h"
#include "shift_map/map_layout.h"
#include "shift_map/page_assets.h"
#include "shift_map/page_data.h"

namespace tessovane2::shifts {

bool writeHtmlReport(const ShiftResults& results, const PageOptions& options, std::ostream& out) {
  const MapLayout layout = layoutMap(results, options);
  const std::string title = "Station shifts: " + escapeMarkup(results.run.first.name) + " to " +
                            escapeMarkup(results.run.second.name);
  fillTemplate(page_assets::kReportHtml, out, [&](std::string_view name, std::ostream& o) {
    if (name == "TITLE") {
      o << title;
    } else if (name == "STYLE") {
      o << page_assets::kReportCss;
    } else if (name == "MATH_SCRIPT") {
      o << page_assets::kMapMathJs;
    } else if (name == "SCRIPT") {
      o << page_assets::kReportJs;
    } else if (name == "DATA") {
      writePageData(results, layout, o);
    } else if (name == "RUN_TABLES") {
      o << runTables(results, layout);
    } else if (name == "SUMMARY_TABLES") {
      o << summaryTables(results);
    } else if (name == "LOCAL_TIME") {
      o << escapeMarkup(results.run.localTime);
    } else if (name == "EXAGGERATION") {
      o << shortNumber(layout.exaggeration, 3);
    } else if (name == "TOLERANCE") {
      o << lengthLabel(results.run.horizontalTolerance);
    }
  });
  out.flush();
  return static_cast<bool>(out);
}

}  // namespace tessovane2::shifts
