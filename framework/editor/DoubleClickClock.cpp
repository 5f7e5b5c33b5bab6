#include "DoubleClickClock.h"

namespace mg {

namespace {

unsigned Distance(int a, int b) { return static_cast<unsigned>(a > b ? a - b : b - a); }

} // namespace

bool DoubleClickClock::Press(int button, std::uint32_t time, int x, int y)
{
    const bool isDouble = armed_ && button == button_ && time - time_ <= intervalMs_ &&
                          Distance(x, x_) <= static_cast<unsigned>(slop_) &&
                          Distance(y, y_) <= static_cast<unsigned>(slop_);
    armed_ = !isDouble;
    button_ = button;
    time_ = time;
    x_ = x;
    y_ = y;
    return isDouble;
}

} // namespace mg
