#pragma once
// A pedal set up as a host would leave it before processing, with a block of
// guitar-like input.
#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

#include "MarrowGrit.h"
#include "MarrowGritHQ.h"

namespace mg::bench {

enum class Mode { Bypass, Fuzz, FuzzCabinet };

inline void Configure(MarrowGrit& pedal, Mode mode)
{
    auto set = [&](int index, double value) {
        pedal.ParameterAt(index)->SetFromNormalized(value);
        pedal.OnParameterChange(index);
    };
    set(MarrowGrit::kEffect, mode == Mode::Bypass ? 0.0 : 1.0);
    set(MarrowGrit::kCabinet, mode == Mode::FuzzCabinet ? 1.0 : 0.0);
}

template <class Pedal = MarrowGrit>
std::unique_ptr<Pedal> MakePedal(double rate, Mode mode)
{
    auto pedal = std::make_unique<Pedal>(nullptr);
    pedal->ChangeAllParameters();
    pedal->StoreSampleRate(rate);
    pedal->OnReset();
    Configure(*pedal, mode);
    return pedal;
}

template <class Sample>
std::vector<Sample> Signal(int frames, double rate)
{
    std::vector<Sample> v(static_cast<std::size_t>(frames));
    for (int i = 0; i < frames; ++i)
        v[static_cast<std::size_t>(i)] = static_cast<Sample>(0.3 * std::sin(2 * std::numbers::pi * 110.0 * i / rate) +
                                                             0.1 * std::sin(2 * std::numbers::pi * 331.0 * i / rate));
    return v;
}

} // namespace mg::bench
