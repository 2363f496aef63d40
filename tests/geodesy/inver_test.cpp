#include "geodesy/inver.h"

#include <gtest/gtest.h>

namespace tessovane2 {
namespace {

TEST(ShortLineInverse, IdenticalPointsAreExactlyZeroApart) {
  EXPECT_EQ(shortLineInverse(38.8898491055, -77.0364, 38.8898491055, -77.0364), 0.0);
  EXPECT_EQ(shortLineInverse(0.0, 0.0, 0.0, 0.0), 0.0);
}

TEST(ShortLineInverse, SwappingThePointsGivesTheSameDistance) {
  EXPECT_EQ(shortLineInverse(45.1, 10.2, 45.1003, 10.1996), shortLineInverse(45.1003, 10.1996, 45.1, 10.2));
}

TEST(ShortLineInverse, OneArcSecondOfLongitudeOnTheEquator) {
  // a * (pi/180) / 3600: w is 1 on the equator.
  EXPECT_NEAR(shortLineInverse(0.0, 0.0, 0.0, 1.0 / 3600), 30.9221, 0.00005);
}

TEST(ShortLineInverse, OneArcSecondOfLatitudeCentredOn45Degrees) {
  // a * (pi/180) / 3600 * (1 - e^2) / w^3 with w = 1 - e^2 / 4.
  EXPECT_NEAR(shortLineInverse(45.0 - 1.0 / 7200, -77.0, 45.0 + 1.0 / 7200, -77.0), 30.8698, 0.00005);
}

// Pins e^2 = 0.0066943800229 to all eleven of its digits: latitudes
// 45 -/+ 2^-12 degrees are exact doubles, so the only rounding left is that
// of the arithmetic, far below the effect of a digit of e^2.
TEST(ShortLineInverse, UsesTheEccentricityToAllItsDigits) {
  const double e2 = 0.0066943800229;
  const double w = 1 - 0.25 * e2;
  const double expected = 6378137.0 * (3.14159265358979323846 / 180) * 0x1p-11 * (1 - e2) / (w * w * w);
  const double distance = shortLineInverse(45 - 0x1p-12, 0.0, 45 + 0x1p-12, 0.0);
  EXPECT_NEAR(distance, expected, expected * 1e-14);
}

TEST(ShortLineInverse, PureLatitudeDifferenceDoesNotDependOnLongitude) {
  const double reference = shortLineInverse(52.0, 0.0, 52.0004, 0.0);
  for (const double longitude : {-179.5, -77.25, 13.4, 120.0}) {
    EXPECT_EQ(shortLineInverse(52.0, longitude, 52.0004, longitude), reference) << longitude;
  }
}

// The flat-patch approximation against exact geodesic distances on GRS80,
// computed with GeographicLib 2.1.2:
//   echo "lat1 lon1 lat2 lon2" | GeodSolve -i -e 6378137 1/298.257222101 -p 9
// (the distance is the third column). A 50 m line due north at 80 degrees is
// about the worst case: there the first-order expansion of the radii leaves
// an error of about 0.8 mm.
TEST(ShortLineInverse, StaysWithinOneMillimetreOfTheGeodesicForShortLines) {
  struct Line {
    double lat1, lon1, lat2, lon2;
    double geodesicMetres;
  };
  const Line lines[] = {
      {0, 0, 0.00000003, 0.00000001, 0.003499029},
      {20.5, -100.25, 20.5003, -100.2502, 39.221932384},
      {38.8898491055, -77.0364, 38.88988, -77.03636, 4.879209715},
      {45, 10, 45.00045, 10, 50.009301815},
      {60, 25, 60, 25.0009, 50.220001416},
      {80, -150, 80.00045, -150, 50.246973869},
      {80, -150, 80.0002, -149.9985, 36.673455395},
      {-33.9, 151.2, -33.90031, 151.20018, 38.203839901},
      {69.9997, 170.0004, 70, 170, 36.789467450},
  };
  for (const Line& line : lines) {
    EXPECT_NEAR(shortLineInverse(line.lat1, line.lon1, line.lat2, line.lon2), line.geodesicMetres, 0.001)
        << line.lat1 << " " << line.lon1 << " " << line.lat2 << " " << line.lon2;
  }
}

}  // namespace
}  // namespace tessovane2
