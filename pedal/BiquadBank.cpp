#include "BiquadBank.h"

#include <algorithm>
#include <cmath>

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
    // A sum is finite only if every term is: one test per array row.
    double sum = 0.0;
    for (int k = first; k < last; ++k) sum += x1[k] * 0.0 + x2[k] * 0.0 + y1[k] * 0.0 + y2[k] * 0.0;
    return sum == 0.0;
}

} // namespace mg
