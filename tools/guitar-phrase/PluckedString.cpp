#include "PluckedString.h"

#include <cmath>

void PluckedString::Pluck(double frequency, double velocity, double brightness)
{
    const auto length = static_cast<std::size_t>(std::lround(sampleRate_ / frequency));
    line_.assign(length < 2 ? 2 : length, 0.0);
    double smooth = 0.0;
    for (double& v : line_) {
        seed_ = seed_ * 1664525u + 1013904223u;
        const double white = static_cast<double>(seed_ >> 8) / 8388608.0 - 1.0;
        smooth += (white - smooth) * (0.2 + 0.8 * brightness); // a darker pick filters the burst
        v = velocity * smooth;
    }
    position_ = 0;
    damping_ = 0.996;
}

double PluckedString::Next()
{
    if (line_.empty()) return 0.0;
    const std::size_t next = (position_ + 1) % line_.size();
    const double out = line_[position_];
    line_[position_] = damping_ * 0.5 * (out + line_[next]);
    position_ = next;
    last_ += 0.5 * (out - last_); // a touch of body resonance rounding
    return last_;
}
