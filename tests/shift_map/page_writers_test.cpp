#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>

#include "format/text_escape.h"
#include "shift_map/html_report.h"
#include "shift_map/map_layout.h"
#include "shift_map/map_limits.h"
#include "shift_map/page_assets.h"
#include "shift_map/page_data.h"
#include "shift_map/svg_map.h"
#include "support/shift_fixture.h"

namespace tessovane2::shifts {
namespace {

constexpr const char* kHostile = "A\"B'</script><!--&amp;<b>x";

void makeHostile(StationTable& first, StationTable&) { first.at(5).designation.assign(kHostile); }

std::size_t occurrences(const std::string& text, std::string_view what) {
  std::size_t count = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
  return count;
}

const testing::ShiftFixture& hostileSample() {
  static const auto fixture = testing::surveyShiftFixture(TESSOVANE2_EXAMPLES_DIR "/old.hz",
                                                          TESSOVANE2_EXAMPLES_DIR "/new.hz", {}, makeHostile);
  return *fixture;
}

TEST(PageWriters, TheEmbeddedScriptCannotEndItsElementEarly) {
  for (const std::string_view script : {page_assets::kReportJs, page_assets::kMapMathJs}) {
    EXPECT_EQ(script.find("</script"), std::string_view::npos);
    EXPECT_EQ(script.find("<!--"), std::string_view::npos);
  }
  EXPECT_EQ(page_assets::kReportCss.find("</style"), std::string_view::npos);
}

TEST(PageWriters, AHostileDesignationStaysTextOnThePage) {
  const testing::ShiftFixture& fixture = hostileSample();
  ASSERT_GT(fixture.results.rows.size(), 20u);
  std::ostringstream out;
  ASSERT_TRUE(writeHtmlReport(fixture.results, PageOptions{}, out));
  const std::string page = out.str();
  EXPECT_EQ(occurrences(page, "</script>"), 2u) << "only the data's and the script's own ends";
  EXPECT_EQ(occurrences(page, "<!--@"), 0u) << "every marker of the template filled";
  EXPECT_EQ(occurrences(page, "/*@"), 0u);
  EXPECT_NE(page.find(R"("A\"B'\u003c/script\u003e\u003c!--\u0026amp;\u003cb\u003ex")"), std::string::npos);
  EXPECT_EQ(page.find(kHostile), std::string::npos);
  // The data starts with its format; the page holds both file names.
  EXPECT_NE(page.find("<script type=\"application/json\" id=\"shift-data\">{\"format\":1,"),
            std::string::npos);
  EXPECT_NE(page.find("<code>old.hz</code>"), std::string::npos);
}

TEST(PageWriters, TheSvgEscapesTextsAndDrawsEveryShiftedPairOnce) {
  testing::ShiftFixture fixture;
  fixture.results = hostileSample().results;
  fixture.results.run.first.name = "a&b<c>.hz";
  // The largest mover gets the hostile text as its PID, which the SVG labels.
  fixture.results.rows.at(fixture.results.summary.largestHorizontal.at(0)).pid = kHostile;
  std::ostringstream out;
  ASSERT_TRUE(writeSvgMap(fixture.results, PageOptions{}, out));
  const std::string svg = out.str();
  EXPECT_EQ(svg.find(kHostile), std::string::npos);
  EXPECT_NE(svg.find("A&quot;B&#39;&lt;/script&gt;&lt;!--&amp;amp;&lt;b&gt;x"), std::string::npos);
  EXPECT_NE(svg.find("a&amp;b&lt;c&gt;.hz"), std::string::npos);
  std::size_t shifted = 0;
  for (const ShiftRow& row : fixture.results.rows) shifted += row.horizontal > 0.0;
  // Every shifted pair is a single arrow or one of a cell's, which the
  // legend counts.
  std::size_t arrows = 0, cells = 0;
  for (const char* layer : {"arrows", "cells", "off-scale"}) {
    for (const char* name : {"within", "up-to-twice", "beyond-twice"}) {
      const std::string group = "<g id=\"" + std::string(layer) + "-" + name + "\"";
      const std::size_t begin = svg.find(group), end = svg.find("</g>", begin);
      ASSERT_NE(begin, std::string::npos) << group;
      (std::string_view(layer) == "cells" ? cells : arrows) +=
          occurrences(svg.substr(begin, end - begin), "<path");
    }
  }
  const std::string counted = std::to_string(cells) + " cell arrows for ";
  const std::size_t at = svg.find(counted);
  ASSERT_NE(at, std::string::npos);
  EXPECT_EQ(arrows + std::stoul(svg.substr(at + counted.size())), shifted);
  EXPECT_NE(svg.find(std::to_string(fixture.results.rows.size()) + " stations on the map:"),
            std::string::npos);
}

TEST(PageWriters, AGivenExaggerationIsUsedAndAnEmptyRunStillGivesBothFiles) {
  PageOptions given;
  given.exaggeration = 2.5;
  std::ostringstream page, svg;
  ASSERT_TRUE(writeHtmlReport(hostileSample().results, given, page));
  ASSERT_TRUE(writeSvgMap(hostileSample().results, given, svg));
  EXPECT_NE(page.str().find("\"exaggeration\":2.5,\"exaggerationGiven\":true"), std::string::npos);
  EXPECT_NE(svg.str().find("Arrows 2.5 times the shift (given)"), std::string::npos);

  const ShiftResults empty;
  std::ostringstream emptyPage, emptySvg;
  ASSERT_TRUE(writeHtmlReport(empty, PageOptions{}, emptyPage));
  ASSERT_TRUE(writeSvgMap(empty, PageOptions{}, emptySvg));
  EXPECT_NE(emptyPage.str().find("\"count\":0,\n\"x\":[]"), std::string::npos);
  EXPECT_NE(emptySvg.str().find("0 stations on the map:"), std::string::npos);
}

// The tooltip showed "360.00°" where the CSV writes "0.00": the azimuth and
// the colour class now come with the data, as the C++ gives them.
TEST(PageWriters, TheDataCarriesEachRowsAzimuthAndColourClass) {
  ShiftResults results;
  results.run.horizontalTolerance = 0.05;
  const struct {
    ShiftStatus status;
    double horizontal, azimuth;  // metres, degrees
  } rows[] = {
      {ShiftStatus::Matched, 0.05, 359.996},          {ShiftStatus::OverHorizontal, 0.1, 12.346},
      {ShiftStatus::OverBoth, 0.1000001, 90.0},       {ShiftStatus::Matched, 0.0, kMissing},
      {ShiftStatus::OnlyInFirst, kMissing, kMissing}, {ShiftStatus::OnlyInSecond, kMissing, kMissing}};
  for (const auto& r : rows) {
    ShiftRow& row = results.rows.emplace_back();
    row.status = r.status;
    row.lat1 = row.lat2 = 41.0;
    row.lon1 = row.lon2 = -96.0;
    row.horizontal = r.horizontal;
    row.azimuth = r.azimuth;
  }
  std::ostringstream out;
  writePageData(results, layoutMap(results, PageOptions{}), out);
  const std::string data = out.str();
  EXPECT_NE(data.find("\n\"azimuth\":[0.00,12.35,90.00,null,null,null],\n"), std::string::npos) << data;
  EXPECT_NE(data.find("\n\"shiftClass\":\"0120--\""), std::string::npos) << data;
  EXPECT_EQ(data.find("\"fit\""), std::string::npos) << "no fit, no fit's data";

  // With a fit: the model, its parameters, each row's parts and outliers.
  SystematicChange fit;
  fit.model = "translation";
  fit.vertical = "offset";
  fit.parameters = {{"tn", "m", 0.012, 0.0125}, {"te", "m", -0.018, kMissing}};
  fit.sigmaH = 0.00412;
  fit.outliers = 1;
  fit.rows.resize(results.rows.size());
  fit.rows[1] = {0.012, -0.018, 0.008, 0.0877, 0.0188, -0.0011, 0.0897, 21.8, true};
  results.fit = fit;
  std::ostringstream withFit;
  writePageData(results, layoutMap(results, PageOptions{}), withFit);
  const std::string fitted = withFit.str();
  for (const char* part :
       {",\n\"fit\":{\"model\":\"translation\",\"vertical\":\"offset\",\"parameters\":[{\"name\":\"tn\","
        "\"unit\":\"m\","
        "\"value\":0.012,\"sd\":0.0125},{\"name\":\"te\",\"unit\":\"m\",\"value\":-0.018,\"sd\":null}],"
        "\"sigmaH\":0.0041,\"outliers\":1}",
        "\n\"fitDn\":[null,0.0120,null,null,null,null]", "\n\"resDe\":[null,0.0188,null,null,null,null]",
        "\n\"outlier\":\"010000\""}) {
    EXPECT_NE(fitted.find(part), std::string::npos) << part << "\n" << fitted;
  }
}

// Pins the faults where a tolerance of 1e308 was written "tolerance":null
// (the legend then read "up to 0 mm"), --exaggeration 1e308 wrote path data
// "lnull,null" and 1e-7 was written 0: the map refuses what it cannot draw,
// and every number it writes is finite and non-zero when it is.
TEST(PageWriters, NumbersStayFiniteAndKeepTheirDigits) {
  const struct {
    double tolerance;
    std::optional<double> vertical, exaggeration;
    bool refused;
  } ranges[] = {
      {0.0, std::nullopt, std::nullopt, false},
      {1e6, 1e6, 1e-3, false},
      {1e6, 0.0, 1e9, false},
      {1e308, std::nullopt, std::nullopt, true},
      {1.000001e6, 0.0, 1.0, true},
      {0.05, 1e7, std::nullopt, true},
      {0.05, std::nullopt, 1e-7, true},
      {0.05, std::nullopt, 1e308, true},
      {0.05, std::nullopt, 9.99e-4, true},
      {0.05, std::nullopt, 1.01e9, true},
  };
  for (const auto& r : ranges) {
    EXPECT_EQ(mapRangeRefusal(r.tolerance, r.vertical, r.exaggeration).has_value(), r.refused)
        << r.tolerance << " " << r.vertical.value_or(-1) << " " << r.exaggeration.value_or(-1);
  }
  EXPECT_EQ(*mapRangeRefusal(0.05, std::nullopt, 1e-7),
            "--exaggeration 1e-07 is outside what the map can draw: 0.001 to 1000000000");

  ShiftResults results = hostileSample().results;
  results.run.horizontalTolerance = 1e-7;
  for (const double exaggeration : {kSmallestExaggeration, kLargestExaggeration}) {
    PageOptions options;
    options.exaggeration = exaggeration;
    std::ostringstream page, svg;
    ASSERT_TRUE(writeHtmlReport(results, options, page));
    ASSERT_TRUE(writeSvgMap(results, options, svg));
    EXPECT_NE(page.str().find("\"tolerance\":1e-07,"), std::string::npos);
    EXPECT_NE(page.str().find("\"exaggeration\":" + shortestNumber(exaggeration) + ","), std::string::npos);
    EXPECT_NE(svg.str().find("up to 0.0001 mm"), std::string::npos);
    for (const char* bad : {"null", "inf", "nan"}) EXPECT_EQ(svg.str().find(bad), std::string::npos) << bad;
  }
}

// Pins three faults of the SVG: a PID holding U+FFFE made it not well-formed,
// arrows shorter than 0.05 px came out as paths whose heads all pointed
// east, and the labels' halo used paint-order, which SVG 1.1 does not have.
TEST(PageWriters, TheSvgHoldsOnlyXmlCharactersDotsForTinyShiftsAndAnSvg11Halo) {
  ShiftResults results = hostileSample().results;
  results.rows.at(results.summary.largestHorizontal.at(0)).pid = "P\xEF\xBF\xBE\x01Q";
  PageOptions options;
  options.exaggeration = 1.0;  // every sample arrow under 0.05 px
  std::ostringstream out;
  ASSERT_TRUE(writeSvgMap(results, options, out));
  const std::string svg = out.str();
  EXPECT_EQ(svg.find("\xEF\xBF\xBE"), std::string::npos);
  EXPECT_EQ(svg.find('\x01'), std::string::npos);
  EXPECT_EQ(occurrences(svg, "P\xEF\xBF\xBD\xEF\xBF\xBDQ"), 2u) << "the label and its halo";
  EXPECT_EQ(svg.find("paint-order"), std::string::npos);
  for (const char* group :
       {"<g id=\"arrows-within\"", "<g id=\"arrows-up-to-twice\"", "<g id=\"arrows-beyond-twice\""}) {
    const std::size_t begin = svg.find(group), end = svg.find("</g>", begin);
    EXPECT_EQ(occurrences(svg.substr(begin, end - begin), "<path"), 0u) << group;
  }
  EXPECT_GT(occurrences(svg, "<circle"), 20u) << "the stations' dots stand for them";
}

}  // namespace
}  // namespace tessovane2::shifts
