#pragma once
#include <cstddef>

#include "IByteChunk.h"

namespace mg {

constexpr std::size_t kPresetNameSize = 256; // 255 characters and the terminator

// One preset slot: a name and the parameter values, serialised without header.
struct IPresetRecord {
    bool initialised = false;
    char name[kPresetNameSize] = {};
    IByteChunk state;
};

} // namespace mg
