#include "DisplayScale.h"

#include <cmath>

namespace mg {

int SnapScalePercent(double scale)
{
    if (!std::isfinite(scale) || scale <= 0.0 || scale > 4.0) return 0;
    int best = kScaleSteps.front();
    for (int step : kScaleSteps)
        if (std::fabs(scale * 100.0 - step) < std::fabs(scale * 100.0 - best)) best = step;
    return best;
}

} // namespace mg
