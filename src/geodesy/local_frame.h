// Geodetic and geocentric coordinates on GRS80, and the local east/north/up
// frame at a point: the frame in which the companion's shifts are given and
// in which the systematic change of a network is fitted.
#pragma once

namespace tessovane2::geodesy {

// Earth-centred, earth-fixed Cartesian coordinates (metres): x towards
// latitude 0 longitude 0, y towards latitude 0 longitude 90 east, z towards
// the north pole.
struct Geocentric {
  double x;
  double y;
  double z;
};

// Latitude and longitude in signed decimal degrees (north and east
// positive), height above the ellipsoid in metres.
struct Geodetic {
  double latitude;
  double longitude;
  double height;
};

// A vector in a local frame (metres): east, north, up.
struct EastNorthUp {
  double east;
  double north;
  double up;
};

// The rotation from geocentric axes into the local frame at a latitude and
// longitude: its rows are the unit vectors east, north and up in geocentric
// components.
struct LocalFrame {
  double east[3];
  double north[3];
  double up[3];
};

// Geocentric coordinates (metres) of a point given by latitude and
// longitude (degrees) and ellipsoidal height (metres).
Geocentric geocentricFromGeodetic(const Geodetic& point);

// The inverse: latitude and longitude (degrees) and ellipsoidal height
// (metres). Exact to well below a micrometre for points within some
// thousands of kilometres of the ellipsoid's surface; at the poles the
// longitude is 0.
Geodetic geodeticFromGeocentric(const Geocentric& point);

// The local east/north/up frame at a latitude and longitude (degrees).
LocalFrame localFrame(double latitude, double longitude);

// A point's geocentric position (metres) and its local frame, from one sine
// and cosine of its latitude and longitude (degrees): the same values as
// geocentricFromGeodetic and localFrame give, for half their cost.
struct Placement {
  Geocentric position;
  LocalFrame frame;
};
Placement placementOf(const Geodetic& point);

// A geocentric vector (metres) in the local frame's components, and back.
EastNorthUp toLocal(const LocalFrame& frame, const Geocentric& vector);
Geocentric fromLocal(const LocalFrame& frame, const EastNorthUp& vector);

}  // namespace tessovane2::geodesy
