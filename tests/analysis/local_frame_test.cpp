// The local frames against GeographicLib's geocentric and local Cartesian
// coordinates on GRS80.
#include "geodesy/local_frame.h"

#include <gtest/gtest.h>

#include <GeographicLib/Geocentric.hpp>
#include <GeographicLib/LocalCartesian.hpp>
#include <cmath>

namespace tessovane2::geodesy {
namespace {

const GeographicLib::Geocentric& grs80() {
  static const GeographicLib::Geocentric earth(6378137.0, 1.0 / 298.257222101);
  return earth;
}

const double kLatitudes[] = {-90, -61.5, -33.9, -0.5, 0, 0.5, 41.1, 62.3, 89.9999, 90};
const double kLongitudes[] = {-179.5, -96.8, 0, 0.5, 151.2, 180};
const double kHeights[] = {-120, 0, 1234.5, 1e5, 2.02e7};  // metres; the last a satellite's orbit

TEST(LocalFrame, GeocentricAndBackAsGeographicLib) {
  for (const double lat : kLatitudes) {
    for (const double lon : kLongitudes) {
      for (const double h : kHeights) {
        const auto where = ::testing::Message() << lat << " " << lon << " " << h;
        double x = 0, y = 0, z = 0;
        grs80().Forward(lat, lon, h, x, y, z);
        const Geocentric ours = geocentricFromGeodetic({lat, lon, h});
        // GeographicLib's e^2 comes from the flattening; the published one
        // differs in the 16th digit, some nanometres here.
        EXPECT_NEAR(ours.x, x, 1e-7) << where;
        EXPECT_NEAR(ours.y, y, 1e-7) << where;
        EXPECT_NEAR(ours.z, z, 1e-7) << where;
        const Geodetic back = geodeticFromGeocentric(ours);
        EXPECT_NEAR(back.latitude, lat, 1e-12) << where;
        EXPECT_NEAR(back.height, h, 1e-7) << where;
        if (std::fabs(lat) < 89.99) {
          EXPECT_NEAR(std::remainder(back.longitude - lon, 360.0), 0.0, 1e-12) << where;
        }
      }
    }
  }
}

// Points up to some hundred kilometres from the frame's origin, in its east,
// north and up components, and back to geocentric.
TEST(LocalFrame, EastNorthUpAsGeographicLibsLocalCartesian) {
  const double offsets[][3] = {{0.0, 0.0, 0.0}, {1.3, -0.7, 250.0}, {-0.2, 2.1, -80.0}, {0.01, 0.01, 4000.0}};
  for (const double lat : kLatitudes) {
    for (const double lon : kLongitudes) {
      const GeographicLib::LocalCartesian local(lat, lon, 0.0, grs80());
      const LocalFrame frame = localFrame(lat, lon);
      const Geocentric origin = geocentricFromGeodetic({lat, lon, 0.0});
      for (const auto& offset : offsets) {
        const double lat2 = std::fmax(-90.0, std::fmin(90.0, lat + offset[0]));
        const double lon2 = lon + offset[1];
        const auto where = ::testing::Message() << lat << " " << lon << " to " << lat2 << " " << lon2;
        double e = 0, n = 0, u = 0;
        local.Forward(lat2, lon2, offset[2], e, n, u);
        const Geocentric point = geocentricFromGeodetic({lat2, lon2, offset[2]});
        const Geocentric vector{point.x - origin.x, point.y - origin.y, point.z - origin.z};
        const EastNorthUp ours = toLocal(frame, vector);
        EXPECT_NEAR(ours.east, e, 1e-6) << where;
        EXPECT_NEAR(ours.north, n, 1e-6) << where;
        EXPECT_NEAR(ours.up, u, 1e-6) << where;
        const Geocentric back = fromLocal(frame, ours);
        EXPECT_NEAR(back.x, vector.x, 1e-8) << where;
        EXPECT_NEAR(back.y, vector.y, 1e-8) << where;
        EXPECT_NEAR(back.z, vector.z, 1e-8) << where;
      }
    }
  }
}

}  // namespace
}  // namespace tessovane2::geodesy
