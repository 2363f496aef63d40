// The arithmetic of the shift map, shared by the page and the SVG: the local
// projection, the exaggeration of the arrows, the lengths of the scale bar and
// the reference arrow and their labels. The page's script mirrors the scale
// bar (niceLengthAtMost, lengthLabel), which it recomputes on every zoom.
#pragma once

#include <string>
#include <vector>

#include "shifts/shift_results.h"

namespace tessovane2::shifts {

// A north-up local projection centred on the network: x east and y north in
// metres from the centre of the stations' bounding box in latitude and
// longitude, scaled by the GRS80 radii of curvature at the centre latitude.
// Longitudes are taken about the centre (the difference modulo 360, within
// 180), so a network across the 180th meridian draws as one piece.
struct LocalProjection {
  double centreLatitude = 0.0;   // degrees
  double centreLongitude = 0.0;  // degrees
  double metresPerDegreeEast = 0.0;
  double metresPerDegreeNorth = 0.0;
};

struct MapPoint {
  double x = 0.0;  // metres east of the centre
  double y = 0.0;  // metres north of the centre
};

struct MapBounds {
  double minX = 0.0, minY = 0.0, maxX = 0.0, maxY = 0.0;  // metres
};

// The map position of a row: its 1st-file position, the 2nd-file one for a
// station only in the 2nd file; kMissing for a row the map leaves out
// (bad_position, no_key).
bool isOnMap(const ShiftRow& row);
double rowLatitude(const ShiftRow& row);
double rowLongitude(const ShiftRow& row);

LocalProjection projectionFor(const std::vector<ShiftRow>& rows);
MapPoint project(const LocalProjection& projection, double latitude, double longitude);

// The bounding box of the rows' map positions; all zero without rows.
MapBounds boundsOf(const std::vector<MapPoint>& points);

// The width in metres of a map of the given shape (width / height) that
// shows the whole box, with a margin; at least kMinimumMapWidth.
inline constexpr double kMinimumMapWidth = 100.0;  // metres: one lone station still gets a scale
inline constexpr double kMapMargin = 0.06;         // of the box's extent, on each side
double mapWidthMetres(const MapBounds& bounds, double aspect);

// The largest length of the 1-2-5 sequence (..., 0.1, 0.2, 0.5, 1, 2, 5, 10,
// ...) that is not greater than limit; limit must be positive.
double niceLengthAtMost(double limit);

// The automatic exaggeration: the largest factor of the 1-2-5 sequence, at
// least 1, that draws the 95th-percentile shift no longer than
// kTypicalArrowShare of the map's width and the largest no longer than
// kLargestArrowShare (so that one blunder does not push the map's edge far
// out to hold its arrow). The largest shift stands in for the percentile
// when the percentile is zero; 1 when every shift is zero.
inline constexpr double kTypicalArrowShare = 0.05;
inline constexpr double kLargestArrowShare = 0.25;
double chooseExaggeration(double percentile95, double largest, double mapWidth);

// The length the reference arrow stands for (metres): the 1-2-5 length not
// greater than the 95th-percentile shift, so that it looks like a typical
// arrow; 1 mm at least.
double referenceArrowLength(double percentile95);

// The scale bar: the 1-2-5 length not greater than kScaleBarShare of the
// map's width (metres).
inline constexpr double kScaleBarShare = 0.25;
double scaleBarLength(double mapWidth);

// The typical shift of a network read robustly, so that blunders and wrong
// pairings do not set the arrows' scale: the inliers are the horizontal
// shifts at most P75 + 3 (P75 - P25) (Tukey's far-out fence; quartiles as
// percentile() in shifts/shift_summary.h interpolates them), the typical
// shift is their median. All zero without shifts.
struct TypicalShift {
  double inlierLimit = 0.0;  // metres: a shift above it is not an inlier
  double typical = 0.0;      // metres: the inliers' median
  std::size_t inliers = 0;
};
TypicalShift robustTypicalShift(std::vector<double> horizontal);  // metres, any order

// The value of the 1-2-5 sequence nearest to value (positive) on a log
// scale: of the two that bracket it, the lower when value^2 < lower * upper.
double nearestNiceValue(double value);

// The page's arrows keep their size on the screen: a view's exaggeration is
// the 1-2-5 factor nearest to kArrowTargetPx / (typical * pixelsPerMetre),
// at least 1; 1 when the typical shift is zero. An arrow longer than
// offScaleCapPx() is drawn that long, marked off scale.
inline constexpr double kArrowTargetPx = 18.0;
double viewExaggeration(double typicalMetres, double pixelsPerMetre);
inline constexpr double offScaleCapPx() { return kArrowTargetPx * 2.5 > 30.0 ? kArrowTargetPx * 2.5 : 30.0; }

// A view's reference arrow (metres of shift): the tolerance when it draws
// kReferenceMinPx to kReferenceMaxPx long at arrowPxPerMetre, else the 1-2-5
// length nearest to 1.5 kArrowTargetPx on the screen.
inline constexpr double kReferenceMinPx = 15.0, kReferenceMaxPx = 120.0;
double viewReferenceLength(double tolerance, double arrowPxPerMetre);

// The colour classes of a pair by its horizontal shift and the horizontal
// tolerance: within it, up to twice it, beyond twice it.
enum class ShiftClass { Within, UpToTwice, BeyondTwice };
ShiftClass shiftClass(double horizontal, double tolerance);

// The palette of the page and the SVG (Okabe and Ito's, which stays apart for
// the common colour-vision deficiencies); the page reads it from its data.
struct MapPalette {
  const char* within = "#0072b2";        // blue
  const char* upToTwice = "#e69f00";     // orange
  const char* beyondTwice = "#d55e00";   // vermillion
  const char* onlyInFirst = "#cc79a7";   // reddish purple, hollow square
  const char* onlyInSecond = "#009e73";  // bluish green, triangle
  const char* station = "#444444";       // a pair's station dot
  // The height map's diverging scale (ColorBrewer RdBu ends): down, none, up.
  const char* down = "#2166ac";
  const char* level = "#d9d9d9";
  const char* up = "#b2182b";
};
inline constexpr MapPalette kPalette{};
const char* shiftClassColour(ShiftClass shift);

// "5 mm", "2 cm", "50 cm", "200 m", "5 km": a 1-2-5 length in the unit that
// keeps it a whole number.
std::string lengthLabel(double metres);

// A mover's length (metres, not negative) for its label: three significant
// digits (halfway to the even one) in the largest unit that keeps it at
// least 1, trailing zeros dropped: "40.3 km", "1.79 m", "8.21 cm", "4 mm".
std::string moverLengthLabel(double metres);

}  // namespace tessovane2::shifts
