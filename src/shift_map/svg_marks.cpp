#include "shift_map/svg_marks.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <tuple>
#include <utility>

#include "format/text_escape.h"
#include "shifts/shift_summary.h"

namespace tessovane2::shifts {
namespace {

bool isPair(const ShiftRow& row) { return hasShifts(row.status); }

// NaN (no shift) first, then by value: a strict weak order for the sort.
int compareNumbers(double a, double b) {
  const bool nanA = std::isnan(a), nanB = std::isnan(b);
  if (nanA || nanB) return nanA == nanB ? 0 : (nanA ? -1 : 1);
  return a < b ? -1 : (b < a ? 1 : 0);
}

// The rows on the map in an order of their own, not the files': by
// position, PID, status and shift. The same stations give the same SVG
// whatever order the files list them in.
std::vector<std::size_t> drawingOrder(const ShiftResults& results, const std::vector<MapPoint>& points) {
  std::vector<std::size_t> order;
  for (std::size_t i = 0; i < results.rows.size(); ++i)
    if (isOnMap(results.rows[i])) order.push_back(i);
  std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    const ShiftRow &ra = results.rows[a], &rb = results.rows[b];
    for (const int c : {compareNumbers(points[a].x, points[b].x), compareNumbers(points[a].y, points[b].y)})
      if (c != 0) return c < 0;
    if (ra.pid != rb.pid) return ra.pid < rb.pid;
    if (ra.status != rb.status) return ra.status < rb.status;
    for (const int c : {compareNumbers(ra.dn, rb.dn), compareNumbers(ra.de, rb.de)})
      if (c != 0) return c < 0;
    return a < b;
  });
  return order;
}

struct CellSum {
  std::vector<double> dn, de;  // metres
  double sumX = 0.0, sumY = 0.0;
};

struct RingSum {
  std::size_t count = 0;
  double sumX = 0.0, sumY = 0.0;  // metres
};

RingKey ringKeyOf(const ShiftRow& row, ShiftClass shift) {
  if (row.status == ShiftStatus::OnlyInFirst) return RingKey::OnlyInFirst;
  if (row.status == ShiftStatus::OnlyInSecond) return RingKey::OnlyInSecond;
  return static_cast<RingKey>(static_cast<int>(shift));
}

bool overlaps(const PxBox& a, const PxBox& b) {
  return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}

}  // namespace

double ringRadiusPx(std::size_t count) { return 2.5 + 1.5 * std::sqrt(static_cast<double>(count)); }

std::vector<PxSegment> offScaleBars(const DrawnArrow& arrow) {
  // Bars 8 px long, at 42 % and 54 % of the shaft, as on the page.
  const double length = std::hypot(arrow.dx, arrow.dy);
  if (!(length > 0.0)) return {};
  const double ux = arrow.dx / length, uy = arrow.dy / length;
  std::vector<PxSegment> bars;
  for (const double at : {0.42, 0.54}) {
    const double cx = arrow.x + arrow.dx * at, cy = arrow.y + arrow.dy * at;
    bars.push_back({cx - uy * 4.0, cy + ux * 4.0, cx + uy * 4.0, cy - ux * 4.0});
  }
  return bars;
}

std::vector<PlacedLabel> placeLabels(const std::vector<LabelItem>& items, double width, double height,
                                     const std::vector<PxBox>& obstacles) {
  std::vector<PlacedLabel> placed;
  for (const LabelItem& item : items) {
    const double w = static_cast<double>(item.characters) * kLabelCharacterPx + 4.0, h = kLabelBoxHeight;
    // A tip off the area (a true-scale line's far end) anchors its label at
    // the area's edge.
    const double x = std::clamp(item.x, 0.0, width), y = std::clamp(item.y, 0.0, height);
    bool found = false;
    for (const double d : {5.0, 14.0, 28.0, 46.0}) {
      const std::pair<double, double> offsets[] = {{d, -d - h}, {d, d},           {-d - w, -d - h},
                                                   {-d - w, d}, {-w / 2, -d - h}, {-w / 2, d}};
      for (const auto& [ox, oy] : offsets) {
        const PxBox box{std::max(2.0, std::min(x + ox, width - 2.0 - w)),
                        std::max(2.0, std::min(y + oy, height - 2.0 - h)), w, h};
        const auto hits = [&box](const PxBox& other) { return overlaps(other, box); };
        if (std::any_of(placed.begin(), placed.end(), [&](const PlacedLabel& p) { return hits(p.box); }) ||
            std::any_of(obstacles.begin(), obstacles.end(), hits))
          continue;
        placed.push_back({item.text, box});
        found = true;
        break;
      }
      if (found) break;
    }
  }
  return placed;
}

MapMarks planMapMarks(const ShiftResults& results, const std::vector<MapPoint>& points, const MarkView& view,
                      const TypicalShift& typical) {
  MapMarks marks;
  marks.order = drawingOrder(results, points);
  const double s = view.pxPerMetre, arrowScale = view.factor * s, cap = offScaleCapPx();
  const auto sx = [&](double metresEast) { return view.width / 2.0 + (metresEast - view.centreX) * s; };
  const auto sy = [&](double metresNorth) { return view.height / 2.0 - (metresNorth - view.centreY) * s; };
  const auto inside = [&](double x, double y, double m) {
    return x >= -m && x <= view.width + m && y >= -m && y <= view.height + m;
  };
  const auto classOf = [&](std::size_t i) { return shiftClass(results.rows[i].horizontal, view.tolerance); };

  // The rows into their layers. A cell is a kCellPx square of a grid fixed
  // to the ground (its origin at the projection's centre).
  const double cellMetres = kCellPx / s;
  using CellKey = std::pair<long long, long long>;  // row (southward), column
  const auto cellOf = [&](std::size_t i) {
    return CellKey{static_cast<long long>(std::floor(-points[i].y / cellMetres)),
                   static_cast<long long>(std::floor(points[i].x / cellMetres))};
  };
  std::vector<std::size_t> cellRows, shortRows, longRows, trueRows, loneRows, flaggedPairs;
  std::map<CellKey, std::size_t> cellCount;
  std::set<std::pair<long long, long long>> dotPixels;
  for (const std::size_t i : marks.order) {
    const ShiftRow& row = results.rows[i];
    const double x = sx(points[i].x), y = sy(points[i].y);
    if (!isPair(row)) {
      if (inside(x, y, 10.0)) {
        loneRows.push_back(i);
        ++marks.flagged;
      }
      continue;
    }
    const double shift = row.horizontal;
    const bool known = shift > 0.0 && !std::isnan(row.dn) && !std::isnan(row.de);
    const bool trueScale = known && shift * s >= cap;
    if (trueScale) {
      if (!inside(x, y, 0.0) && !inside(x + row.de * s, y - row.dn * s, 0.0)) continue;
    } else if (!inside(x, y, cap + 5.0)) {
      continue;
    }
    // One dot per pixel: a second one there would draw nothing new.
    if (inside(x, y, 3.0) &&
        dotPixels.insert({std::llround(std::floor(x)), std::llround(std::floor(y))}).second)
      marks.dots.push_back({x, y});
    if (!known) continue;
    if (classOf(i) != ShiftClass::Within) {
      ++marks.flagged;
      if (inside(x, y, 0.0)) flaggedPairs.push_back(i);
    }
    if (trueScale) {
      trueRows.push_back(i);
    } else if (shift * arrowScale > cap) {
      longRows.push_back(i);
    } else if (shift <= typical.inlierLimit) {
      cellRows.push_back(i);
      ++cellCount[cellOf(i)];
    } else {
      shortRows.push_back(i);
    }
  }

  // Cells of kCellLeast or more inlier pairs in a block of kBlockLeast or
  // more: one arrow from their mean position with the component-wise median
  // shift; the others' pairs single.
  std::set<CellKey> aggregating;
  for (const auto& [key, count] : cellCount) {
    if (count < kCellLeast) continue;
    std::size_t block = 0;
    for (long long row = key.first - 1; row <= key.first + 1; ++row)
      for (long long column = key.second - 1; column <= key.second + 1; ++column) {
        const auto other = cellCount.find({row, column});
        if (other != cellCount.end()) block += other->second;
      }
    if (block >= kBlockLeast) aggregating.insert(key);
  }
  std::map<CellKey, CellSum> cells;
  for (const std::size_t i : cellRows) {
    const CellKey key = cellOf(i);
    if (aggregating.count(key) == 0) {
      shortRows.push_back(i);
      continue;
    }
    CellSum& cell = cells[key];
    cell.dn.push_back(results.rows[i].dn);
    cell.de.push_back(results.rows[i].de);
    cell.sumX += points[i].x;
    cell.sumY += points[i].y;
  }
  // The single arrows keep the drawing order, those from full cells' leftovers included.
  std::vector<std::size_t> rank(results.rows.size());
  for (std::size_t k = 0; k < marks.order.size(); ++k) rank[marks.order[k]] = k;
  std::sort(shortRows.begin(), shortRows.end(),
            [&](std::size_t a, std::size_t b) { return rank[a] < rank[b]; });

  const auto drawnArrow = [&](double x, double y, double dn, double de, std::size_t members) {
    DrawnArrow arrow{
        x,     y,      de * arrowScale, -dn * arrowScale, shiftClass(std::hypot(dn, de), view.tolerance),
        false, members};
    const double length = std::hypot(arrow.dx, arrow.dy);
    if (length > cap) {
      arrow.dx *= cap / length;
      arrow.dy *= cap / length;
      arrow.offScale = true;
    }
    return arrow;
  };
  for (auto& [key, cell] : cells) {
    const double count = static_cast<double>(cell.dn.size());
    std::sort(cell.dn.begin(), cell.dn.end());
    std::sort(cell.de.begin(), cell.de.end());
    marks.cellArrows.push_back(drawnArrow(sx(cell.sumX / count), sy(cell.sumY / count),
                                          percentile(cell.dn, 0.5), percentile(cell.de, 0.5),
                                          cell.dn.size()));
    marks.cellMembers += cell.dn.size();
  }

  // The largest flagged movers on the map stay single and are labelled.
  std::sort(flaggedPairs.begin(), flaggedPairs.end(), [&](std::size_t a, std::size_t b) {
    const double ha = results.rows[a].horizontal, hb = results.rows[b].horizontal;
    return ha != hb ? ha > hb : rank[a] < rank[b];
  });
  if (flaggedPairs.size() > kLabelledMovers) flaggedPairs.resize(kLabelledMovers);
  const auto isLabelled = [&](std::size_t i) {
    return std::find(flaggedPairs.begin(), flaggedPairs.end(), i) != flaggedPairs.end();
  };

  // Many flagged or unpaired stations: one ring per cell and class.
  const bool ringing = marks.flagged > kRingsAbove;
  std::map<std::tuple<long long, long long, int>, RingSum> rings;
  const auto ringed = [&](std::size_t i) {
    if (!ringing || isLabelled(i)) return false;
    const ShiftRow& row = results.rows[i];
    if (isPair(row) && classOf(i) == ShiftClass::Within) return false;
    const CellKey cell = cellOf(i);
    RingSum& ring = rings[{cell.first, cell.second, static_cast<int>(ringKeyOf(row, classOf(i)))}];
    ++ring.count;
    ring.sumX += points[i].x;
    ring.sumY += points[i].y;
    return true;
  };

  std::map<std::size_t, PxPoint> tips;
  for (const std::size_t i : shortRows) {
    if (ringed(i)) continue;
    const ShiftRow& row = results.rows[i];
    marks.singles.push_back(drawnArrow(sx(points[i].x), sy(points[i].y), row.dn, row.de, 1));
    const DrawnArrow& a = marks.singles.back();
    tips[i] = {a.x + a.dx, a.y + a.dy};
  }
  for (const std::size_t i : loneRows) {
    if (ringed(i)) continue;
    marks.lone.push_back(
        {sx(points[i].x), sy(points[i].y), results.rows[i].status == ShiftStatus::OnlyInFirst});
  }
  for (const std::size_t i : trueRows) {
    if (ringed(i)) continue;
    const ShiftRow& row = results.rows[i];
    const double x = sx(points[i].x), y = sy(points[i].y);
    marks.trueScale.push_back({x, y, x + row.de * s, y - row.dn * s, classOf(i)});
    tips[i] = {x + row.de * s, y - row.dn * s};
  }
  for (const std::size_t i : longRows) {
    if (ringed(i)) continue;
    const ShiftRow& row = results.rows[i];
    marks.offScale.push_back(drawnArrow(sx(points[i].x), sy(points[i].y), row.dn, row.de, 1));
    const DrawnArrow& a = marks.offScale.back();
    tips[i] = {a.x + a.dx, a.y + a.dy};
  }
  for (const auto& [key, ring] : rings) {
    const double count = static_cast<double>(ring.count);
    marks.rings.push_back(
        {sx(ring.sumX / count), sy(ring.sumY / count), static_cast<RingKey>(std::get<2>(key)), ring.count});
    marks.ringed += ring.count;
  }

  for (const std::size_t i : flaggedPairs) {
    const auto tip = tips.find(i);
    if (tip == tips.end()) continue;
    const ShiftRow& row = results.rows[i];
    const std::string length = moverLengthLabel(row.horizontal);
    marks.labelItems.push_back({std::string(row.pid) + " " + length,
                                consoleWidth(toUtf8(row.pid)) + 1 + length.size(), tip->second.x,
                                tip->second.y});
  }
  return marks;
}

}  // namespace tessovane2::shifts
