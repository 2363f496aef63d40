// What the SVG map draws, layer by layer, at its one fixed view: which
// pairs a cell's arrow stands for, which are drawn singly, off scale or at
// true scale, which flagged or unpaired stations are ringed by cell, and
// where the largest flagged movers' labels go. Positions are pixels of the
// map area (x right, y down from its upper left corner); nothing here writes
// markup.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "shift_map/map_geometry.h"
#include "shifts/shift_results.h"

namespace tessovane2::shifts {

// A cell is about kCellPx square on the screen, on a grid fixed to the
// ground; kCellLeast inlier pairs or more in one make its arrow where its
// 3 x 3 block of cells (itself and its eight neighbours) holds kBlockLeast or
// more, 2 a cell on average: a group of four by chance in a sparse view (at
// 0.5 pairs a cell, four or more in one cell happen about once in 600 cells,
// and their block then holds about 8) stays single. Above kRingsAbove
// flagged and unpaired stations on the map they are ringed by cell and
// class, ring radius 2.5 + 1.5 sqrt(count) px; the kLabelledMovers largest
// flagged movers stay single and are labelled.
inline constexpr double kCellPx = 22.0;
inline constexpr std::size_t kCellLeast = 4;
inline constexpr std::size_t kBlockLeast = 18;
inline constexpr std::size_t kRingsAbove = 150;
inline constexpr std::size_t kLabelledMovers = 5;
double ringRadiusPx(std::size_t count);

// The map area and how the ground lies on it.
struct MarkView {
  double width = 0.0, height = 0.0;     // px
  double pxPerMetre = 0.0;              // ground metres to px
  double centreX = 0.0, centreY = 0.0;  // metres east and north at the area's centre
  double factor = 1.0;                  // arrow length over shift
  double tolerance = 0.0;               // metres, horizontal
};

struct PxBox {
  double x = 0.0, y = 0.0, w = 0.0, h = 0.0;  // px
};

struct PxPoint {
  double x = 0.0, y = 0.0;  // px
};

struct DrawnArrow {
  double x = 0.0, y = 0.0;    // px: the start
  double dx = 0.0, dy = 0.0;  // px: the drawn vector, at most offScaleCapPx() long
  ShiftClass shiftClass = ShiftClass::Within;
  bool offScale = false;    // cut to the cap: two bars across the shaft
  std::size_t members = 1;  // pairs it stands for
};

// The two bars across an off-scale arrow's shaft: from (x1, y1) to (x2, y2), px.
struct PxSegment {
  double x1 = 0.0, y1 = 0.0, x2 = 0.0, y2 = 0.0;
};
std::vector<PxSegment> offScaleBars(const DrawnArrow& arrow);

// Ring keys: the three shift classes, then the stations in one file only.
enum class RingKey { Within, UpToTwice, BeyondTwice, OnlyInFirst, OnlyInSecond };
struct Ring {
  double x = 0.0, y = 0.0;  // px: the mean position of its stations
  RingKey key = RingKey::Within;
  std::size_t count = 0;
};

struct Lone {
  double x = 0.0, y = 0.0;  // px
  bool first = true;        // only in the 1st file (else only in the 2nd)
};

struct TrueScaleLine {
  double x1 = 0.0, y1 = 0.0, x2 = 0.0, y2 = 0.0;  // px: the 1st position, the 2nd
  ShiftClass shiftClass = ShiftClass::BeyondTwice;
};

// A label's text ("PID length") and the drawn tip it belongs to.
struct LabelItem {
  std::string text;  // raw bytes of the PID, a space, the length
  std::size_t characters = 0;
  double x = 0.0, y = 0.0;  // px
};
struct PlacedLabel {
  std::string text;
  PxBox box;  // px: the text's baseline is at box.x + 2, box.y + box.h - 3
};

// Labels 11 px high; a character is about 0.62 of that wide in DejaVu Sans
// (the widest of the fonts asked for), so a box is known without measuring.
inline constexpr double kLabelFontPx = 11.0, kLabelCharacterPx = 0.62 * kLabelFontPx;
inline constexpr double kLabelBoxHeight = 13.0;

// Each label beside its tip, farther out where that is taken, inside the
// area (2 px clear of its edge), over no other label and no obstacle; a label
// with no free place is left out.
std::vector<PlacedLabel> placeLabels(const std::vector<LabelItem>& items, double width, double height,
                                     const std::vector<PxBox>& obstacles);

struct MapMarks {
  std::vector<std::size_t> order;      // the rows on the map in their drawing order (position, PID, ...)
  std::vector<PxPoint> dots;           // the pairs' stations, one per pixel at most
  std::vector<DrawnArrow> cellArrows;  // by cell
  std::vector<DrawnArrow> singles;     // in drawing order
  std::vector<Lone> lone;
  std::vector<Ring> rings;
  std::vector<TrueScaleLine> trueScale;
  std::vector<DrawnArrow> offScale;
  std::vector<LabelItem> labelItems;  // the largest flagged movers' tips, largest first
  std::size_t cellMembers = 0;        // pairs the cell arrows stand for
  std::size_t ringed = 0;             // stations the rings stand for
  std::size_t flagged = 0;            // flagged pairs and unpaired stations on the map
};

// points: one per row (layoutMap's); typical: the pairs' robust typical
// shift (its inlier limit decides who joins a cell).
MapMarks planMapMarks(const ShiftResults& results, const std::vector<MapPoint>& points, const MarkView& view,
                      const TypicalShift& typical);

}  // namespace tessovane2::shifts
