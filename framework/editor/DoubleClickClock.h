#pragma once
// Tells a press that completes a double click, for platforms that report
// single presses only: the second press of the same button within the
// interval and the slop of the first. The press after a double click starts
// afresh, as does any press of another button.
#include <cstdint>

namespace mg {

class DoubleClickClock {
public:
    DoubleClickClock(unsigned intervalMs, int slop) : intervalMs_(intervalMs), slop_(slop) {}
    // `time` is the event's time in milliseconds (it may wrap).
    bool Press(int button, std::uint32_t time, int x, int y);
    void Forget() { armed_ = false; }

private:
    unsigned intervalMs_;
    int slop_;
    bool armed_ = false;
    int button_ = 0;
    std::uint32_t time_ = 0;
    int x_ = 0;
    int y_ = 0;
};

} // namespace mg
