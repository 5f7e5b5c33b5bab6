#pragma once
// The editor's sizes: the steps it offers, how a scale from a host or the
// system becomes one of them, and how logical pixels (the 213 x 326 space
// the controls live in) map to the device pixels of a step.
#include <array>

#include "editor/IRectangle.h"

namespace mg {

inline constexpr std::array<int, 7> kScaleSteps{100, 125, 150, 175, 200, 250, 300};

// The offered step nearest to `scale` (1 = 100 %), or 0 for a value no
// display has: zero, negative, not a number, infinite or above 4.
int SnapScalePercent(double scale);

// The index of a step in kScaleSteps, -1 when it is none.
constexpr int ScaleStepIndex(int percent)
{
    for (int i = 0; i < static_cast<int>(kScaleSteps.size()); ++i)
        if (kScaleSteps[static_cast<std::size_t>(i)] == percent) return i;
    return -1;
}

// Image resources of a set other than 100 % sit 1000 ids on per step.
constexpr int ScaledResourceId(int id, int percent)
{
    const int step = ScaleStepIndex(percent);
    return step <= 0 ? id : id + 1000 * step;
}

// A logical length in device pixels: times the percentage, halves rounded
// up (the images of each set are sized the same way).
constexpr int ToDevice(int logical, int percent)
{
    const long long v = static_cast<long long>(logical) * percent + 50;
    return static_cast<int>(v >= 0 ? v / 100 : -((-v + 99) / 100));
}

// The logical pixel a device pixel lies in: the last one that starts at or
// before it, ToDevice's rounding undone.
constexpr int ToLogical(int device, int percent)
{
    const long long v = static_cast<long long>(device) * 100 + 49;
    return static_cast<int>(v >= 0 ? v / percent : -((-v + percent - 1) / percent));
}

constexpr IRectangle ToDevice(const IRectangle& r, int percent)
{
    if (r.Empty()) return r;
    return {ToDevice(r.left, percent), ToDevice(r.top, percent), ToDevice(r.right, percent),
            ToDevice(r.bottom, percent)};
}

// The logical rectangle that covers a device one.
constexpr IRectangle ToLogicalCover(const IRectangle& r, int percent)
{
    if (r.Empty()) return r;
    return {ToLogical(r.left, percent), ToLogical(r.top, percent), ToLogical(r.right - 1, percent) + 1,
            ToLogical(r.bottom - 1, percent) + 1};
}

} // namespace mg
