// Writes the page and the SVG map of a ShiftResults built without the
// companion program, for the browser test, the screenshot and the page
// benchmark:
//   shift_page_fixture sample FIRST SECOND PREFIX [--hostile] [--vertical-tolerance M]
//   shift_page_fixture generated STATIONS PREFIX
// PREFIX.html and PREFIX.svg are written; standard output gets one line with
// the row count and the number of arrows the page must draw (pairs whose
// shift, at the page's four decimals, is not zero).
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>

#include "shift_map/html_report.h"
#include "shift_map/svg_map.h"
#include "support/shift_fixture.h"

namespace {

using tessovane2::testing::ShiftFixture;

// A designation made to break a page that does not escape: quotes, markup,
// a script end and an ampersand, in the 30 columns of the field; and a PID
// with markup of its own.
void makeHostile(tessovane2::StationTable& first, tessovane2::StationTable&) {
  first.at(5).designation.assign("A\"B'</script><!--&amp;<b>x");
  first.at(5).pid.assign("<i>&\"");
}

int writeOutputs(const ShiftFixture& fixture, const std::string& prefix) {
  const tessovane2::shifts::PageOptions options;
  const std::filesystem::path folder = std::filesystem::path(prefix).parent_path();
  std::error_code ignored;
  if (!folder.empty()) std::filesystem::create_directories(folder, ignored);
  std::ofstream html(prefix + ".html", std::ios::binary);
  std::ofstream svg(prefix + ".svg", std::ios::binary);
  if (!tessovane2::shifts::writeHtmlReport(fixture.results, options, html) ||
      !tessovane2::shifts::writeSvgMap(fixture.results, options, svg)) {
    std::cerr << "cannot write " << prefix << ".html or .svg\n";
    return 1;
  }
  std::size_t arrows = 0;
  for (const auto& row : fixture.results.rows) {
    const bool pair = !std::isnan(row.dn) && !std::isnan(row.de);
    if (pair && (std::round(row.dn * 1e4) != 0.0 || std::round(row.de * 1e4) != 0.0)) ++arrows;
  }
  std::cout << "rows " << fixture.results.rows.size() << " arrows " << arrows << "\n";
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string_view mode = argc > 1 ? argv[1] : "";
  if (mode == "sample" && argc >= 5) {
    tessovane2::testing::ShiftFixtureOptions options;
    bool hostile = false;
    for (int i = 5; i < argc; ++i) {
      const std::string_view option = argv[i];
      if (option == "--hostile") {
        hostile = true;
      } else if (option == "--vertical-tolerance" && i + 1 < argc) {
        options.verticalTolerance = std::strtod(argv[++i], nullptr);
      }
    }
    const auto fixture =
        tessovane2::testing::surveyShiftFixture(argv[2], argv[3], options, hostile ? makeHostile : nullptr);
    if (!fixture) {
      std::cerr << "cannot read " << argv[2] << " or " << argv[3] << "\n";
      return 1;
    }
    return writeOutputs(*fixture, argv[4]);
  }
  if (mode == "generated" && argc == 4) {
    const auto fixture = tessovane2::testing::generatedShiftFixture(std::strtoull(argv[2], nullptr, 10));
    return writeOutputs(*fixture, argv[3]);
  }
  std::cerr << "usage: shift_page_fixture sample FIRST SECOND PREFIX [--hostile] [--vertical-tolerance M]\n"
               "       shift_page_fixture generated STATIONS PREFIX\n";
  return 2;
}
