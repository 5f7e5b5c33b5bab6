#pragma once
// Per-channel records of the plug-in base. `slot` is this channel's entry in
// the pointer array that ProcessBlock receives; `scratch` is where float
// audio is converted, and what a disconnected channel presents.
#include <vector>

namespace mg {

struct ChannelPair {
    int inputs = 0;
    int outputs = 0;
};

struct InputChannel {
    bool connected = false;
    double** slot = nullptr;
    std::vector<double> scratch;
    double* ScratchOrNull() { return scratch.empty() ? nullptr : scratch.data(); }
};

struct OutputChannel {
    bool connected = false;
    double** slot = nullptr;
    float* hostFloatDestination = nullptr;
    std::vector<double> scratch;
    double* ScratchOrNull() { return scratch.empty() ? nullptr : scratch.data(); }
};

} // namespace mg
