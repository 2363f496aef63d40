// dn and de against an exact geodesic inverse on GRS80 (GeographicLib).
#include "shifts/metric_shift.h"

#include <gtest/gtest.h>

#include <GeographicLib/Geodesic.hpp>
#include <GeographicLib/Math.hpp>
#include <cmath>

#include "geodesy/inver.h"

namespace tessovane2::shifts {
namespace {

// GRS80: a = 6378137 m, 1/f = 298.257222101 (GeographicLib's WGS84 differs).
const GeographicLib::Geodesic& grs80() {
  static const GeographicLib::Geodesic geodesic(6378137.0, 1.0 / 298.257222101);
  return geodesic;
}

// A station as an *80 record carries it: unsigned degrees and letters.
POS_ELEV station(double latitude, double longitude) {
  POS_ELEV s;
  s.latitude = std::fabs(latitude);
  s.latitudeHemisphere = latitude < 0 ? 'S' : 'N';
  s.longitude = std::fabs(longitude);
  s.longitudeHemisphere = longitude < 0 ? 'W' : 'E';
  return s;
}

TEST(MetricShift, NorthAndEastWithinAMillimetreOfTheGeodesicUpTo50Metres) {
  const double latitudes[] = {-80, -61.5, -33.9, -0.5, 0.5, 41.1, 62.3, 80};
  const double longitudes[] = {-179.5, -96.8, -0.5, 0.5, 151.2};
  const double lengths[] = {0.01, 1.0, 12.5, 50.0};  // metres
  for (const double lat : latitudes) {
    for (const double lon : longitudes) {
      for (const double length : lengths) {
        for (double azimuth = -180.0; azimuth < 180.0; azimuth += 22.5) {
          double lat2 = 0, lon2 = 0;
          grs80().Direct(lat, lon, azimuth, length, lat2, lon2);
          // The components along the geodesic's azimuth at its midpoint.
          double distance = 0, azi1 = 0, azi2 = 0;
          grs80().Inverse(lat, lon, lat2, lon2, distance, azi1, azi2);
          const double middle = (azi1 + GeographicLib::Math::AngDiff(azi1, azi2) / 2) * M_PI / 180;
          const MetricShift shift = metricShift(station(lat, lon), station(lat2, lon2));
          const auto where = ::testing::Message()
                             << lat << " " << lon << " " << length << " m at " << azimuth;
          EXPECT_NEAR(shift.north, distance * std::cos(middle), 0.001) << where;
          EXPECT_NEAR(shift.east, distance * std::sin(middle), 0.001) << where;
          EXPECT_NEAR(GeographicLib::Math::AngDiff(azimuth, shift.azimuth), 0.0, length >= 1 ? 0.01 : 1.0)
              << where;
          EXPECT_TRUE(shift.azimuth >= 0.0 && shift.azimuth < 360.0) << where;
          EXPECT_EQ(shift.horizontal,
                    shortLineInverse(station(lat2, lon2).latitude, station(lat2, lon2).longitude,
                                     station(lat, lon).latitude, station(lat, lon).longitude))
              << where;
        }
      }
    }
  }
}

// Pins two faults: a move across the equator read both positions in one
// hemisphere (6.14 m came out as 0), and 359 59 59.99999 W against 0 W gave
// 30,233,590 m. The components come from the signed positions, the
// longitude difference the short way round.
TEST(MetricShift, AcrossTheEquatorGreenwichAndThe180thMeridian) {
  // A station as written: unsigned digits up to 359 W, and its letters.
  const auto written = [](double latitude, char ns, double longitude, char ew) {
    POS_ELEV s;
    s.latitude = latitude, s.latitudeHemisphere = ns;
    s.longitude = longitude, s.longitudeHemisphere = ew;
    return s;
  };
  const struct {
    const char* what;
    POS_ELEV first, second;
    double lat1, lon1, lat2, lon2;  // the same points, signed, for the geodesic
  } cases[] = {
      {"across the equator", written(0.00003, 'N', 78.5, 'W'), written(0.00002527, 'S', 78.5, 'W'), 0.00003,
       -78.5, -0.00002527, -78.5},
      {"across Greenwich", written(51.5, 'N', 0.00002, 'W'), written(51.5, 'N', 0.00003, 'E'), 51.5, -0.00002,
       51.5, 0.00003},
      {"359 59 59.99999 W to 0 W", written(51.5, 'N', 360.0 - 0.00001 / 3600, 'W'),
       written(51.5, 'N', 0.0, 'W'), 51.5, 0.00001 / 3600, 51.5, 0.0},
      {"179 59 59 E to 180 W", written(-16.5, 'S', 180.0 - 1.0 / 3600, 'E'), written(-16.5, 'S', 180.0, 'W'),
       -16.5, 180.0 - 1.0 / 3600, -16.5, 180.0},
      {"Guam as W 215", written(13.48, 'N', 215.16, 'W'), written(13.4801, 'N', 215.1601, 'W'), 13.48, 144.84,
       13.4801, 144.8399},
  };
  for (const auto& c : cases) {
    double distance = 0, azi1 = 0, azi2 = 0;
    grs80().Inverse(c.lat1, c.lon1, c.lat2, c.lon2, distance, azi1, azi2);
    const MetricShift shift = metricShift(c.first, c.second);
    EXPECT_NEAR(shift.horizontal, distance, 0.001 + distance * 1e-5) << c.what;
    const double middle = (azi1 + GeographicLib::Math::AngDiff(azi1, azi2) / 2) * M_PI / 180;
    EXPECT_NEAR(shift.north, distance * std::cos(middle), 0.001 + distance * 1e-5) << c.what;
    EXPECT_NEAR(shift.east, distance * std::sin(middle), 0.001 + distance * 1e-5) << c.what;
  }
  EXPECT_EQ(longitudeDifference(-180.0), 180.0);
  EXPECT_EQ(longitudeDifference(540.0), 180.0);
  EXPECT_EQ(longitudeDifference(-359.5), 0.5);
}

TEST(MetricShift, ZeroShiftHasNoDirectionAndNoNegativeZero) {
  const MetricShift shift = metricShift(station(-33.9, 151.2), station(-33.9, 151.2));
  EXPECT_EQ(shift.horizontal, 0.0);
  EXPECT_FALSE(std::signbit(shift.north));
  EXPECT_FALSE(std::signbit(shift.east));
  EXPECT_TRUE(std::isnan(shift.azimuth));
}

}  // namespace
}  // namespace tessovane2::shifts
