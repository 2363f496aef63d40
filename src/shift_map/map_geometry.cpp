#include "shift_map/map_geometry.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>
#include <span>
#include <utility>

#include "format/text_escape.h"
#include "geodesy/ellipsoid.h"
#include "shifts/shift_summary.h"

namespace tessovane2::shifts {
namespace {

constexpr double kSemiMajorAxis = geodesy::kGrs80SemiMajorAxis;
constexpr double kEccentricitySquared = geodesy::kGrs80EccentricitySquared;

}  // namespace

bool isOnMap(const ShiftRow& row) {
  return row.status != ShiftStatus::BadPosition && row.status != ShiftStatus::NoKey;
}

double rowLatitude(const ShiftRow& row) {
  if (!isOnMap(row)) return kMissing;
  return row.status == ShiftStatus::OnlyInSecond ? row.lat2 : row.lat1;
}

double rowLongitude(const ShiftRow& row) {
  if (!isOnMap(row)) return kMissing;
  return row.status == ShiftStatus::OnlyInSecond ? row.lon2 : row.lon1;
}

LocalProjection projectionFor(const std::vector<ShiftRow>& rows) {
  // The longitudes' extent read two ways, in [-180, 180] and in [0, 360):
  // a network across the 180th meridian is narrow in the second. The
  // narrower extent gives the centre, so that the network draws as one
  // piece; the first wins a tie, so that every other network keeps the
  // centre it always had.
  double minLat = 0.0, maxLat = 0.0;
  double minLon = 0.0, maxLon = 0.0, minTurned = 0.0, maxTurned = 0.0;
  bool any = false;
  for (const ShiftRow& row : rows) {
    const double lat = rowLatitude(row);
    const double lon = rowLongitude(row);
    if (std::isnan(lat) || std::isnan(lon)) continue;
    const double turned = lon < 0.0 ? lon + 360.0 : lon;
    if (!any) {
      minLat = maxLat = lat;
      minLon = maxLon = lon;
      minTurned = maxTurned = turned;
      any = true;
    }
    minLat = std::min(minLat, lat);
    maxLat = std::max(maxLat, lat);
    minLon = std::min(minLon, lon);
    maxLon = std::max(maxLon, lon);
    minTurned = std::min(minTurned, turned);
    maxTurned = std::max(maxTurned, turned);
  }
  LocalProjection projection;
  projection.centreLatitude = (minLat + maxLat) / 2.0;
  projection.centreLongitude = (minLon + maxLon) / 2.0;
  if (maxTurned - minTurned < maxLon - minLon) {
    const double centre = (minTurned + maxTurned) / 2.0;
    projection.centreLongitude = centre > 180.0 ? centre - 360.0 : centre;
  }
  const double phi = projection.centreLatitude * std::numbers::pi / 180.0;
  const double sinPhi = std::sin(phi);
  const double w = std::sqrt(1.0 - kEccentricitySquared * sinPhi * sinPhi);
  const double meridian = kSemiMajorAxis * (1.0 - kEccentricitySquared) / (w * w * w);
  const double primeVertical = kSemiMajorAxis / w;
  projection.metresPerDegreeNorth = meridian * std::numbers::pi / 180.0;
  projection.metresPerDegreeEast = primeVertical * std::cos(phi) * std::numbers::pi / 180.0;
  return projection;
}

MapPoint project(const LocalProjection& projection, double latitude, double longitude) {
  // The difference the short way round: across the 180th meridian too.
  // std::remainder is exact and leaves a difference within 180 as it is.
  return {std::remainder(longitude - projection.centreLongitude, 360.0) * projection.metresPerDegreeEast,
          (latitude - projection.centreLatitude) * projection.metresPerDegreeNorth};
}

MapBounds boundsOf(const std::vector<MapPoint>& points) {
  if (points.empty()) return {};
  MapBounds bounds{points[0].x, points[0].y, points[0].x, points[0].y};
  for (const MapPoint& p : points) {
    bounds.minX = std::min(bounds.minX, p.x);
    bounds.minY = std::min(bounds.minY, p.y);
    bounds.maxX = std::max(bounds.maxX, p.x);
    bounds.maxY = std::max(bounds.maxY, p.y);
  }
  return bounds;
}

double mapWidthMetres(const MapBounds& bounds, double aspect) {
  const double width = bounds.maxX - bounds.minX;
  const double height = bounds.maxY - bounds.minY;
  const double fitted = std::max(width, height * aspect) * (1.0 + 2.0 * kMapMargin);
  return std::max(fitted, kMinimumMapWidth);
}

double niceLengthAtMost(double limit) {
  const double exponent = std::floor(std::log10(limit));
  // A negative power of ten as a divisor, so that 5 cm is the double nearest
  // 0.05, as the literal is.
  const double scale = std::pow(10.0, std::abs(exponent));
  for (double mantissa : {5.0, 2.0, 1.0}) {
    const double length = exponent < 0 ? mantissa / scale : mantissa * scale;
    if (length <= limit * (1.0 + 1e-12)) return length;
  }
  return exponent < 0 ? 0.5 / scale : scale / 2.0;  // log10 rounded up: one step down
}

double chooseExaggeration(double percentile95, double largest, double mapWidth) {
  double typical = percentile95 > 0.0 ? percentile95 : largest;
  if (!(typical > 0.0)) return 1.0;  // no shift at all (or none known)
  double factor = niceLengthAtMost(kTypicalArrowShare * mapWidth / typical);
  if (largest > 0.0) factor = std::min(factor, niceLengthAtMost(kLargestArrowShare * mapWidth / largest));
  return std::max(1.0, factor);
}

double referenceArrowLength(double percentile95) {
  constexpr double kSmallest = 0.001;  // metres
  if (!(percentile95 > kSmallest)) return kSmallest;
  return niceLengthAtMost(percentile95);
}

TypicalShift robustTypicalShift(std::vector<double> horizontal) {
  std::erase_if(horizontal, [](double h) { return std::isnan(h); });
  if (horizontal.empty()) return {};
  std::sort(horizontal.begin(), horizontal.end());
  const double p25 = percentile(horizontal, 0.25), p75 = percentile(horizontal, 0.75);
  TypicalShift result;
  result.inlierLimit = p75 + 3.0 * (p75 - p25);
  const auto end = std::upper_bound(horizontal.begin(), horizontal.end(), result.inlierLimit);
  result.inliers = static_cast<std::size_t>(end - horizontal.begin());
  result.typical = percentile(std::span<const double>(horizontal.data(), result.inliers), 0.5);
  return result;
}

double nearestNiceValue(double value) {
  const double lower = niceLengthAtMost(value);
  // 2.6 times a 1-2-5 value lies past the next one and short of the one
  // after (1 -> 2.6, 2 -> 5.2, 5 -> 13).
  const double upper = niceLengthAtMost(lower * 2.6);
  return value * value < lower * upper ? lower : upper;
}

double viewExaggeration(double typicalMetres, double pixelsPerMetre) {
  if (!(typicalMetres > 0.0) || !(pixelsPerMetre > 0.0)) return 1.0;
  return std::max(1.0, nearestNiceValue(kArrowTargetPx / (typicalMetres * pixelsPerMetre)));
}

double viewReferenceLength(double tolerance, double arrowPxPerMetre) {
  const double px = tolerance * arrowPxPerMetre;
  if (px >= kReferenceMinPx && px <= kReferenceMaxPx) return tolerance;
  return nearestNiceValue(1.5 * kArrowTargetPx / arrowPxPerMetre);
}

double scaleBarLength(double mapWidth) { return niceLengthAtMost(kScaleBarShare * mapWidth); }

ShiftClass shiftClass(double horizontal, double tolerance) {
  if (horizontal <= tolerance) return ShiftClass::Within;
  if (horizontal <= 2.0 * tolerance) return ShiftClass::UpToTwice;
  return ShiftClass::BeyondTwice;
}

const char* shiftClassColour(ShiftClass shift) {
  switch (shift) {
    case ShiftClass::Within:
      return kPalette.within;
    case ShiftClass::UpToTwice:
      return kPalette.upToTwice;
    case ShiftClass::BeyondTwice:
      return kPalette.beyondTwice;
  }
  return kPalette.within;
}

std::string lengthLabel(double metres) {
  // A length a rounding error short of a unit's first step is that step:
  // 0.00999999 m is "1 cm", not "10 mm".
  constexpr double kSameLength = 1e-9;
  double value = metres;
  const char* unit = " m";
  if (metres >= 1000.0 * (1.0 - kSameLength)) {
    value = metres / 1000.0;
    unit = " km";
  } else if (metres < 0.01 * (1.0 - kSameLength)) {
    value = metres * 1000.0;
    unit = " mm";
  } else if (metres < 1.0 - kSameLength) {
    value = metres * 100.0;
    unit = " cm";
  }
  // A length too small for three decimals (a tolerance of 1e-7 m) keeps
  // three significant digits, as the page's script writes it.
  if (value != 0.0 && std::fabs(value) < 0.0005) {
    char digits[32];
    const auto [end, error] =
        std::to_chars(digits, digits + sizeof digits, value, std::chars_format::general, 3);
    return std::string(digits, error == std::errc() ? end : digits) + unit;
  }
  return shortNumber(value, 3) + unit;
}

std::string moverLengthLabel(double metres) {
  constexpr struct {
    double size;  // metres
    const char* unit;
  } kUnits[] = {{1000.0, " km"}, {1.0, " m"}, {0.01, " cm"}, {0.001, " mm"}};
  for (const auto& unit : kUnits) {
    const double value = metres / unit.size;
    const int decimals = value > 0.0 ? std::max(0, 2 - static_cast<int>(std::floor(std::log10(value)))) : 0;
    const std::string text = shortNumber(value, decimals);
    double rounded = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), rounded);
    if (rounded >= 1.0 || unit.size == 0.001) return text + unit.unit;
  }
  return {};
}

}  // namespace tessovane2::shifts
