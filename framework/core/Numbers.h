#pragma once
// Conversions of host-supplied doubles that must never hit undefined behaviour.
#include <climits>
#include <cmath>

namespace mg {

// Truncation toward zero, saturated to the int range; NaN gives 0.
inline int TruncToInt(double v)
{
    if (std::isnan(v)) return 0;
    if (v >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (v <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(v);
}

} // namespace mg
