#pragma once
#include <cstdint>

namespace mg {

// A short MIDI message with its frame offset in the current block.
struct MidiMessage {
    std::int32_t offset = 0;
    std::uint8_t status = 0;
    std::uint8_t data1 = 0;
    std::uint8_t data2 = 0;
    std::uint8_t spare = 0;
};
static_assert(sizeof(MidiMessage) == 8, "MIDI messages travel as 8-byte records");

} // namespace mg
