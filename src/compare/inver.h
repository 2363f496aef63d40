// Short-line geodetic inverse on the GRS80 ellipsoid.
#pragma once

namespace tessovane2 {

// Horizontal distance (metres, never negative) between two nearby points
// given by latitude and longitude in decimal degrees. A flat-patch
// approximation: latitude and longitude differences scaled by the meridian
// and prime-vertical radii of curvature at the mean latitude. Meant for the
// shift of one station between two surveys, not for long lines.
double shortLineInverse(double lat1, double lon1, double lat2, double lon2);

}  // namespace tessovane2
