#pragma once
// Angles in degrees, as the drawing operations take them.
#include <cmath>

namespace mg {

// The same direction in [0, 360).
inline double WrappedDegrees(double degrees)
{
    const double d = std::fmod(degrees, 360.0);
    return d < 0.0 ? d + 360.0 : d;
}

} // namespace mg
