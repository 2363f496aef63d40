#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>

#include "shift_map/html_report.h"
#include "shift_map/map_layout.h"
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

TEST(PageWriters, TheSvgEscapesTextsAndDrawsOneArrowPerShiftedPair) {
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
  std::size_t arrows = 0;
  for (const char* group :
       {"<g id=\"arrows-within\"", "<g id=\"arrows-up-to-twice\"", "<g id=\"arrows-beyond-twice\""}) {
    const std::size_t begin = svg.find(group), end = svg.find("</g>", begin);
    ASSERT_NE(begin, std::string::npos) << group;
    arrows += occurrences(svg.substr(begin, end - begin), "<path d=\"M");
  }
  EXPECT_EQ(arrows, shifted);
  EXPECT_NE(svg.find("All " + std::to_string(fixture.results.rows.size()) + " stations drawn."),
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
  EXPECT_NE(emptySvg.str().find("All 0 stations drawn."), std::string::npos);
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
}

TEST(PageWriters, ALargeNetworkKeepsItsFlaggedStationsInTheSvg) {
  std::vector<ShiftRow> rows(100);
  for (std::size_t i = 0; i < rows.size(); i += 10)
    rows[i].status = ShiftStatus::OverHorizontal;  // 10 flagged
  rows[55].status = ShiftStatus::OnlyInSecond;     // 11
  const struct {
    std::size_t limit, drawn, flagged, stride;
  } cases[] = {{100, 100, 11, 1}, {500, 100, 11, 1}, {31, 29, 11, 5}, {11, 11, 11, 0}, {5, 5, 5, 0}};
  for (const auto& c : cases) {
    const SvgSelection s = selectSvgRows(rows, c.limit);
    EXPECT_EQ(s.rows.size(), c.drawn) << c.limit;
    EXPECT_EQ(s.flagged, c.flagged) << c.limit;
    EXPECT_EQ(s.stride, c.stride) << c.limit;
    EXPECT_TRUE(std::is_sorted(s.rows.begin(), s.rows.end())) << c.limit;
    if (c.limit >= 11) {
      for (std::size_t i = 0; i < rows.size(); i += 10) {
        EXPECT_TRUE(std::binary_search(s.rows.begin(), s.rows.end(), i))
            << c.limit << " drops flagged row " << i;
      }
    }
  }
}

}  // namespace
}  // namespace tessovane2::shifts
