// Short-line geodetic inverse on the GRS80 ellipsoid.
#pragma once

namespace tessovane2 {

// The north and east components of a short line and its length, all in
// metres. north is the meridian arc from point 1 to point 2 (positive when
// latitude 2 is the larger number); east is the prime-vertical arc, positive
// when longitude 2 is the smaller number (the record format's sign of the
// east component). distance is the hypotenuse, computed from the components
// in units of the semi-major axis, so it is shortLineInverse to the last bit.
struct ShortLineComponents {
  double north;
  double east;
  double distance;
};

// The same approximation as shortLineInverse, with its components.
ShortLineComponents shortLineComponents(double lat1, double lon1, double lat2, double lon2);

// Horizontal distance (metres, never negative) between two nearby points
// given by latitude and longitude in decimal degrees. A flat-patch
// approximation: latitude and longitude differences scaled by the meridian
// and prime-vertical radii of curvature at the mean latitude. Meant for the
// shift of one station between two surveys, not for long lines.
double shortLineInverse(double lat1, double lon1, double lat2, double lon2);

}  // namespace tessovane2
