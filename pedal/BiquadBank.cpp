#include "BiquadBank.h"

#include <algorithm>

namespace mg {

void BiquadBank::ClearBank()
{
    for (double* a : {b0, b1, b2, a1, a2}) std::fill(a, a + kSections, 0.0);
    ClearStates();
}

void BiquadBank::ClearStates()
{
    for (double* a : {x1, x2, y1, y2}) std::fill(a, a + kSections, 0.0);
}

bool BiquadBank::StatesFinite(int first, int last) const
{
    // x·0 is 0 for every finite x and NaN otherwise, so a sum of them is 0
    // exactly when all are finite. One sum per array keeps the additions
    // independent of each other.
    double sum[4] = {0.0, 0.0, 0.0, 0.0};
    for (int k = first; k < last; ++k) {
        sum[0] += x1[k] * 0.0;
        sum[1] += x2[k] * 0.0;
        sum[2] += y1[k] * 0.0;
        sum[3] += y2[k] * 0.0;
    }
    return (sum[0] + sum[1]) + (sum[2] + sum[3]) == 0.0;
}

} // namespace mg
