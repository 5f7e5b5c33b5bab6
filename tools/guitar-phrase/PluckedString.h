#pragma once
// A plucked string by the Karplus-Strong method: a delay line one period
// long, filled with a noise burst and fed back through a gentle low-pass.
#include <cstdint>
#include <vector>

class PluckedString {
public:
    explicit PluckedString(double sampleRate) : sampleRate_(sampleRate) {}

    // Plucks at `frequency`; `brightness` 0..1 shapes the pick's noise burst.
    void Pluck(double frequency, double velocity, double brightness);
    // Lets the string ring out quickly, as a fretting hand lifting off.
    void Mute() { damping_ = 0.90; }
    double Next();

private:
    double sampleRate_;
    std::vector<double> line_;
    std::size_t position_ = 0;
    double damping_ = 0.996;
    double last_ = 0.0;
    std::uint32_t seed_ = 12345;
};
