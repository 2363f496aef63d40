#include "shift_map/map_geometry.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tessovane2::shifts {
namespace {

TEST(MapGeometry, NiceLengthIsTheLargestOneTwoFiveStepNotAbove) {
  const struct {
    double limit, expected;
  } cases[] = {{1.0, 1.0},      {1.99, 1.0},    {2.0, 2.0},       {4.999, 2.0}, {5.0, 5.0},
               {9.99, 5.0},     {10.0, 10.0},   {0.07, 0.05},     {0.05, 0.05}, {0.0123, 0.01},
               {0.0049, 0.002}, {333.0, 200.0}, {5250.0, 5000.0}, {1e7, 1e7}};
  for (const auto& c : cases) EXPECT_EQ(niceLengthAtMost(c.limit), c.expected) << c.limit;
}

TEST(MapGeometry, ExaggerationDrawsTheTypicalArrowAFewPercentOfTheMap) {
  const struct {
    const char* what;
    double p95, largest, width, expected;
  } cases[] = {
      {"a county network with centimetre shifts", 0.06, 0.4, 23000.0, 10000.0},
      {"millimetre shifts", 0.004, 0.01, 23000.0, 200000.0},
      {"no typical shift: the largest stands in", 0.0, 0.5, 10000.0, 1000.0},
      {"nothing moved", 0.0, 0.0, 10000.0, 1.0},
      {"shifts as large as the map: never shortened", 50.0, 80.0, 100.0, 1.0},
  };
  for (const auto& c : cases) {
    const double e = chooseExaggeration(c.p95, c.largest, c.width);
    EXPECT_EQ(e, c.expected) << c.what;
    const double typical = c.p95 > 0 ? c.p95 : c.largest;
    if (typical > 0 && e > 1.0) {  // between 2 % and 5 % of the width: a few percent
      EXPECT_LE(typical * e, kTypicalArrowShare * c.width) << c.what;
      EXPECT_GT(typical * e, 0.4 * kTypicalArrowShare * c.width) << c.what;
    }
  }
}

TEST(MapGeometry, ScaleBarAndReferenceArrowAreRoundLengthsWithLabels) {
  EXPECT_EQ(scaleBarLength(23000.0), 5000.0);
  EXPECT_EQ(scaleBarLength(100.0), 20.0);
  EXPECT_EQ(referenceArrowLength(0.0612), 0.05);
  EXPECT_EQ(referenceArrowLength(0.0), 0.001);
  const struct {
    double metres;
    const char* expected;
  } labels[] = {{0.001, "1 mm"},  {0.005, "5 mm"},   {0.01, "1 cm"},         {0.05, "5 cm"},
                {0.5, "50 cm"},   {1.0, "1 m"},      {200.0, "200 m"},       {1000.0, "1 km"},
                {5000.0, "5 km"}, {0.035, "3.5 cm"}, {0.01 - 1e-15, "1 cm"}, {999.9999999999, "1 km"}};
  for (const auto& c : labels) EXPECT_EQ(lengthLabel(c.metres), c.expected) << c.metres;
}

TEST(MapGeometry, TypicalShiftIsTheMedianOfTheInliersBelowTheFarFence) {
  // Quartiles at ranks 1 and 3 of five: 2 and 4; fence 4 + 3 (4 - 2) = 10.
  const TypicalShift blunder = robustTypicalShift({100.0, 3.0, 1.0, 4.0, 2.0});
  EXPECT_EQ(blunder.inlierLimit, 10.0);
  EXPECT_EQ(blunder.inliers, 4u);
  EXPECT_EQ(blunder.typical, 2.5);
  EXPECT_EQ(robustTypicalShift({}).typical, 0.0);
  // The factor draws the typical shift about 18 px: 3 cm at 1/600 px per
  // metre wants x360000, nearest on a log scale 500000 (not 200000).
  EXPECT_EQ(viewExaggeration(0.03, 1.0 / 600.0), 500000.0);
  EXPECT_EQ(viewExaggeration(0.0, 1.0), 1.0);
  EXPECT_EQ(viewExaggeration(50.0, 1.0), 1.0);          // never below true scale
  EXPECT_EQ(viewReferenceLength(0.05, 600.0), 0.05);    // 30 px: the tolerance
  EXPECT_EQ(viewReferenceLength(0.05, 4000.0), 0.005);  // 200 px: 27 px / 4000 is 6.75 mm: 5 mm
}

TEST(MapGeometry, ProjectionIsNorthUpInMetresAroundTheCentre) {
  ShiftRow west, east;
  west.lat1 = 41.0, west.lon1 = -97.0;
  east.lat1 = 41.2, east.lon1 = -96.6;
  const LocalProjection p = projectionFor({west, east});
  EXPECT_DOUBLE_EQ(p.centreLatitude, 41.1);
  EXPECT_DOUBLE_EQ(p.centreLongitude, -96.8);
  const MapPoint a = project(p, 41.0, -97.0), b = project(p, 41.2, -96.6);
  EXPECT_LT(a.x, 0.0);
  EXPECT_LT(a.y, 0.0);
  EXPECT_NEAR(b.x, -a.x, 1e-6);
  EXPECT_NEAR(b.y - a.y, 22205.0, 20.0);  // 0.2 degrees of latitude
  EXPECT_NEAR(b.x - a.x, 33620.0, 40.0);  // 0.4 degrees of longitude at 41.1 N
  // A station only in the 2nd file is placed by its 2nd-file position.
  ShiftRow only;
  only.status = ShiftStatus::OnlyInSecond;
  only.lat2 = 10.0, only.lon2 = 20.0;
  EXPECT_EQ(rowLatitude(only), 10.0);
  EXPECT_EQ(rowLongitude(only), 20.0);
}

// Pins the fault where a network across the 180th meridian was centred on
// the other side of the earth and drawn 40,000 km wide.
TEST(MapGeometry, ANetworkAcrossThe180thMeridianIsOnePiece) {
  ShiftRow east, west;
  east.lat1 = -16.5, east.lon1 = 179.99;
  west.lat1 = -16.5, west.lon1 = -179.97;
  const LocalProjection p = projectionFor({east, west});
  EXPECT_NEAR(p.centreLongitude, -179.99, 1e-9);  // 180.01 E
  const double across = project(p, -16.5, -179.97).x - project(p, -16.5, 179.99).x;
  EXPECT_NEAR(across, 0.04 * p.metresPerDegreeEast, 1e-6);  // 4.3 km east, not 40,000 km west
  // Rows the map leaves out take no part.
  ShiftRow bad = east;
  bad.status = ShiftStatus::BadPosition;
  bad.lon1 = 0.0;
  EXPECT_TRUE(std::isnan(rowLongitude(bad)));
  EXPECT_NEAR(projectionFor({east, west, bad}).centreLongitude, -179.99, 1e-9);
}

TEST(MapGeometry, MapWidthFitsTheBoxAndKeepsAScaleForOneStation) {
  EXPECT_DOUBLE_EQ(mapWidthMetres({0, 0, 1000, 100}, 1.5), 1000.0 * (1 + 2 * kMapMargin));
  EXPECT_DOUBLE_EQ(mapWidthMetres({0, 0, 1000, 1000}, 1.5), 1500.0 * (1 + 2 * kMapMargin));
  EXPECT_EQ(mapWidthMetres({5, 5, 5, 5}, 1.5), kMinimumMapWidth);
}

TEST(MapGeometry, ColourClassesByTheTolerance) {
  EXPECT_EQ(shiftClass(0.05, 0.05), ShiftClass::Within);
  EXPECT_EQ(shiftClass(0.0501, 0.05), ShiftClass::UpToTwice);
  EXPECT_EQ(shiftClass(0.10, 0.05), ShiftClass::UpToTwice);
  EXPECT_EQ(shiftClass(0.1001, 0.05), ShiftClass::BeyondTwice);
}

}  // namespace
}  // namespace tessovane2::shifts
