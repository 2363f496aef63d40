#include "shift_map/svg_marks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace tessovane2::shifts {
namespace {

// A map area of 900 x 600 px at 1 px per metre, centred on the origin; the
// factor 1000 draws 1 cm of shift 10 px long; tolerance 5 cm.
MarkView testView() { return {900.0, 600.0, 1.0, 0.0, 0.0, 1000.0, 0.05}; }

struct Mark {
  double x, y;    // metres from the centre
  double dn, de;  // metres
  ShiftStatus status = ShiftStatus::Matched;
};

struct Built {
  ShiftResults results;
  std::vector<MapPoint> points;
};

Built build(const std::vector<Mark>& marks) {
  Built b;
  for (std::size_t k = 0; k < marks.size(); ++k) {
    ShiftRow row;
    row.status = marks[k].status;
    row.pid = "P";
    if (hasShifts(row.status)) {
      row.dn = marks[k].dn;
      row.de = marks[k].de;
      row.horizontal = std::hypot(row.dn, row.de);
    }
    b.results.rows.push_back(row);
    b.points.push_back({marks[k].x, marks[k].y});
  }
  return b;
}

MapMarks plan(const Built& b) {
  std::vector<double> shifts;
  for (const ShiftRow& row : b.results.rows)
    if (hasShifts(row.status)) shifts.push_back(row.horizontal);
  return planMapMarks(b.results, b.points, testView(), robustTypicalShift(shifts));
}

// n marks 2 m apart about (x, y), all moved by (dn, de).
std::vector<Mark> cluster(double x, double y, std::size_t n, double dn, double de, ShiftStatus status) {
  std::vector<Mark> marks;
  for (std::size_t k = 0; k < n; ++k)
    marks.push_back(
        {x + 2.0 * static_cast<double>(k % 3), y + 2.0 * static_cast<double>(k / 3 % 3), dn, de, status});
  return marks;
}

// n marks (at most 16), two in each of the eight cells about the one holding
// (x, y), too few in any to make its arrow: 16 make a dense block about it.
// Mark k moved by (dn + k step, de).
std::vector<Mark> around(double x, double y, std::size_t n, double dn, double de, double step = 0.0) {
  std::vector<Mark> marks;
  const double cellX = (std::floor(x / kCellPx) + 0.5) * kCellPx,
               cellY = (std::ceil(y / kCellPx) - 0.5) * kCellPx;
  for (int row = -1; row <= 1; ++row)
    for (int column = -1; column <= 1; ++column) {
      if (row == 0 && column == 0) continue;
      for (const double off : {-3.0, 3.0})
        if (marks.size() < n)
          marks.push_back({cellX + kCellPx * column + off, cellY + kCellPx * row,
                           dn + step * static_cast<double>(marks.size()), de});
    }
  return marks;
}

std::vector<Mark> joined(std::vector<std::vector<Mark>> parts) {
  std::vector<Mark> all;
  for (auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

TEST(SvgMarks, EachPairIsInOneLayerByItsDrawnLength) {
  const ShiftStatus m = ShiftStatus::Matched, over = ShiftStatus::OverHorizontal;
  const struct {
    const char* what;
    std::vector<Mark> marks;
    std::size_t cells, cellMembers, singles, offScale, trueScale;
  } cases[] = {
      {"four pairs of one cell, its block of 9 cells holding 18: its arrow",
       joined({cluster(100.5, 100.5, 4, 0.01, 0.0, m), around(100.5, 100.5, 14, 0.01, 0.0)}), 1, 4, 14, 0, 0},
      {"four pairs of one cell, its block holding 17: single arrows",
       joined({cluster(100.5, 100.5, 4, 0.01, 0.0, m), around(100.5, 100.5, 13, 0.01, 0.0)}), 0, 0, 17, 0, 0},
      {"four pairs of one cell, none about it (a chance group): single arrows",
       cluster(100.5, 100.5, 4, 0.01, 0.0, m), 0, 0, 4, 0, 0},
      {"three in a dense block: single arrows",
       joined({cluster(100.5, 100.5, 3, 0.01, 0.0, m), around(100.5, 100.5, 16, 0.01, 0.0)}), 0, 0, 19, 0, 0},
      {"a pair drawn 80 px long: cut to the cap",
       joined({cluster(100.5, 100.5, 6, 0.01, 0.0, m),
               around(100.5, 100.5, 16, 0.01, 0.0),
               {{-200, -200, 0.08, 0.0, over}}}),
       1, 6, 16, 1, 0},
      {"a pair 50 m off: true scale",
       joined({cluster(100.5, 100.5, 6, 0.01, 0.0, m),
               around(100.5, 100.5, 16, 0.01, 0.0),
               {{-200, -200, 30.0, 40.0, over}}}),
       1, 6, 16, 0, 1},
      {"a blunder in a cell is no member of it",
       joined({cluster(100.5, 100.5, 8, 0.01, 0.001, m),
               around(100.5, 100.5, 16, 0.01, 0.001),
               {{101, 101, 0.0, 0.03, m}}}),
       1, 8, 17, 0, 0},
      {"unmoved pairs: dots only", cluster(100.5, 100.5, 6, 0.0, 0.0, m), 0, 0, 0, 0, 0},
  };
  for (const auto& c : cases) {
    const MapMarks marks = plan(build(c.marks));
    EXPECT_EQ(marks.cellArrows.size(), c.cells) << c.what;
    EXPECT_EQ(marks.cellMembers, c.cellMembers) << c.what;
    EXPECT_EQ(marks.singles.size(), c.singles) << c.what;
    EXPECT_EQ(marks.offScale.size(), c.offScale) << c.what;
    EXPECT_EQ(marks.trueScale.size(), c.trueScale) << c.what;
    for (const auto* layer : {&marks.cellArrows, &marks.singles, &marks.offScale})
      for (const DrawnArrow& a : *layer) EXPECT_LE(std::hypot(a.dx, a.dy), offScaleCapPx() + 1e-9) << c.what;
  }
}

TEST(SvgMarks, ACellDrawsTheMedianShiftFromTheMeanPositionAndCutArrowsKeepTheirDirection) {
  // Five pairs of one cell in a dense block: medians 1 cm north and 2 cm
  // east, whatever the fifth; ten single pairs far apart and the block's
  // others spread the inliers' fence.
  std::vector<Mark> marks{{100.5, 100.5, 0.01, 0.02},
                          {102.5, 100.5, 0.01, 0.02},
                          {100.5, 102.5, 0.012, 0.018},
                          {102.5, 102.5, 0.008, 0.025},
                          {101.5, 101.5, 0.02, 0.01}};
  for (std::size_t k = 0; k < 10; ++k)
    marks.push_back({-400.0 + 30.0 * static_cast<double>(k), -200, 0.004 * static_cast<double>(k), 0});
  marks = joined({marks, around(100.5, 100.5, 16, 0.001, 0.0, 0.002)});
  const MapMarks drawn = plan(build(marks));
  ASSERT_EQ(drawn.cellArrows.size(), 1u);
  const DrawnArrow& cell = drawn.cellArrows[0];
  EXPECT_NEAR(cell.x, 450.0 + 101.5, 1e-9);
  EXPECT_NEAR(cell.y, 300.0 - 101.5, 1e-9);
  EXPECT_NEAR(cell.dx, 20.0, 1e-9);
  EXPECT_NEAR(cell.dy, -10.0, 1e-9);
  EXPECT_EQ(cell.members, 5u);

  const MapMarks cut = plan(build({{0, 0, 0.3, 0.4, ShiftStatus::OverHorizontal}}));
  ASSERT_EQ(cut.offScale.size(), 1u);
  const DrawnArrow& a = cut.offScale[0];
  EXPECT_NEAR(a.dx, 0.8 * offScaleCapPx(), 1e-9);
  EXPECT_NEAR(a.dy, -0.6 * offScaleCapPx(), 1e-9);
  EXPECT_EQ(offScaleBars(a).size(), 2u);
  ASSERT_EQ(cut.labelItems.size(), 1u);
  EXPECT_EQ(cut.labelItems[0].text, "P 50 cm");
  EXPECT_NEAR(cut.labelItems[0].x, 450.0 + a.dx, 1e-9) << "the label at the drawn tip";
}

TEST(SvgMarks, ManyFlaggedStationsAreRingedByCellButTheFiveLargestStaySingle) {
  std::vector<Mark> marks;
  // 200 flagged pairs in four cells, 9 cm to 10.99 cm, and 12 stations in one file only.
  for (std::size_t k = 0; k < 200; ++k) {
    const double x = -300.5 + 100.0 * static_cast<double>(k % 4) + static_cast<double>(k / 4 % 5) * 2.0;
    marks.push_back({x, 50.5, 0.0, 0.09 + 0.0001 * static_cast<double>(k), ShiftStatus::OverHorizontal});
  }
  for (std::size_t k = 0; k < 12; ++k)
    marks.push_back({200.5, -100.5 + static_cast<double>(k), 0, 0, ShiftStatus::OnlyInFirst});
  const Built b = build(marks);
  const MapMarks ringed = plan(b);
  EXPECT_EQ(ringed.flagged, 212u);
  EXPECT_EQ(ringed.ringed, 207u);
  EXPECT_EQ(ringed.offScale.size() + ringed.singles.size(), 5u);
  EXPECT_TRUE(ringed.lone.empty());
  ASSERT_EQ(ringed.labelItems.size(), 5u);
  EXPECT_EQ(ringed.labelItems[0].text, "P 11 cm") << "the largest first";
  // Rings per cell and class: the flagged pairs' cells split at 9.99 cm (up to twice, beyond it) and one of
  // the 1st file only.
  for (const Ring& ring : ringed.rings) EXPECT_GE(ring.count, 1u);
  EXPECT_EQ(std::count_if(ringed.rings.begin(), ringed.rings.end(),
                          [](const Ring& r) { return r.key == RingKey::OnlyInFirst; }),
            1);

  // At 150 or fewer nothing is ringed.
  const MapMarks few = plan(build(std::vector<Mark>(marks.begin() + 62, marks.end())));
  EXPECT_EQ(few.rings.size(), 0u);
  EXPECT_EQ(few.lone.size(), 12u);
}

// The drawing must not follow the files' order of the rows.
TEST(SvgMarks, TheRowsOrderDoesNotChangeTheMarks) {
  std::vector<Mark> marks =
      joined({cluster(100.5, 100.5, 9, 0.011, 0.002, ShiftStatus::Matched),
              around(100.5, 100.5, 16, 0.011, 0.002),
              cluster(-100.5, 10.5, 3, 0.2, 0.1, ShiftStatus::OverHorizontal),
              {{5, 5, 0, 0, ShiftStatus::OnlyInSecond}, {7, 5, 40.0, 0, ShiftStatus::OverHorizontal}}});
  for (std::size_t k = 0; k < marks.size(); ++k) marks[k].dn += 1e-4 * static_cast<double>(k % 5);
  const MapMarks forward = plan(build(marks));
  std::reverse(marks.begin(), marks.end());
  const MapMarks backward = plan(build(marks));
  const auto same = [](const std::vector<DrawnArrow>& a, const std::vector<DrawnArrow>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const DrawnArrow& p, const DrawnArrow& q) {
      return p.x == q.x && p.y == q.y && p.dx == q.dx && p.dy == q.dy && p.members == q.members;
    });
  };
  EXPECT_TRUE(same(forward.cellArrows, backward.cellArrows));
  EXPECT_TRUE(same(forward.singles, backward.singles));
  EXPECT_TRUE(same(forward.offScale, backward.offScale));
  ASSERT_EQ(forward.labelItems.size(), backward.labelItems.size());
  for (std::size_t k = 0; k < forward.labelItems.size(); ++k)
    EXPECT_EQ(forward.labelItems[k].x, backward.labelItems[k].x);
}

TEST(SvgMarks, LabelsStayInsideClearOfEachOtherAndTheFurniture) {
  const std::vector<PxBox> furniture = {{10, 550, 200, 40}, {780, 555, 110, 30}, {858, 17, 24, 50}};
  const struct {
    const char* what;
    std::vector<LabelItem> items;
    std::size_t placed;
  } cases[] = {
      {"apart", {{"A 1 m", 5, 300, 300}, {"B 2 m", 5, 500, 300}}, 2},
      {"at one tip", {{"A 1 m", 5, 300, 300}, {"B 2 m", 5, 300, 300}, {"C 3 m", 5, 300, 300}}, 3},
      {"off the area", {{"A 1 m", 5, 5000, -900}, {"B 2 m", 5, -300, 300}}, 2},
      {"at the furniture", {{"A 12.3 km", 9, 880, 40}, {"B 1 m", 5, 50, 570}, {"C 1 m", 5, 850, 570}}, 3},
  };
  for (const auto& c : cases) {
    const std::vector<PlacedLabel> labels = placeLabels(c.items, 900, 600, furniture);
    EXPECT_EQ(labels.size(), c.placed) << c.what;
    for (std::size_t k = 0; k < labels.size(); ++k) {
      const PxBox& a = labels[k].box;
      EXPECT_GE(a.x, 2.0) << c.what;
      EXPECT_GE(a.y, 2.0) << c.what;
      EXPECT_LE(a.x + a.w, 898.0) << c.what;
      EXPECT_LE(a.y + a.h, 598.0) << c.what;
      const auto apart = [&a](const PxBox& b) {
        return a.x + a.w <= b.x || b.x + b.w <= a.x || a.y + a.h <= b.y || b.y + b.h <= a.y;
      };
      for (const PxBox& f : furniture) EXPECT_TRUE(apart(f)) << c.what << " " << labels[k].text;
      for (std::size_t j = 0; j < k; ++j)
        EXPECT_TRUE(apart(labels[j].box)) << c.what << " " << labels[k].text;
    }
  }
}

// The same table as the page script's test of its moverLength.
TEST(SvgMarks, AMoversLengthKeepsThreeSignificantDigitsInItsUnit) {
  const struct {
    double metres;
    const char* text;
  } cases[] = {{40312, "40.3 km"}, {1.7912, "1.79 m"},  {999.7, "1 km"}, {0.0821, "8.21 cm"},
               {0.004, "4 mm"},    {0.0099996, "1 cm"}, {250, "250 m"}};
  for (const auto& c : cases) EXPECT_EQ(moverLengthLabel(c.metres), c.text) << c.metres;
}

}  // namespace
}  // namespace tessovane2::shifts
