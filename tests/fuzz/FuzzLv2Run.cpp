// The LV2 instance's run path as a hostile host drives it: any sample
// rate, ports connected, moved and disconnected at will, control values of
// any bits, runs of 0 to several slices of frames, activation in any order.
#include <cstddef>
#include <cstdint>
#include <vector>

#include <lv2/core/lv2.h>

#include "FuzzChainIsa.h"
#include "FuzzInput.h"

namespace {

constexpr std::uint32_t kPorts = 8;
constexpr std::size_t kBufferFrames = 3 * 4096 + 512;
constexpr std::uint32_t kMaxOffset = 256;
// Frames one input may run in all: slicing and port handling show within a
// few blocks, and long runs only cost inputs.
constexpr std::uint32_t kMaxFramesPerInput = 1 << 13;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    mg::fuzz::FuzzInput in(data, size);
    const LV2_Descriptor* descriptor = lv2_descriptor(0);
    // The first byte: below 32 a rate of the input's choosing follows, else
    // 48 kHz; its top bits choose the chain's instruction set.
    const std::uint8_t first = in.Byte();
    const double rate = first < 32 ? static_cast<double>(in.Float()) : 48000.0;
    LV2_Handle handle = descriptor->instantiate(descriptor, rate, "", nullptr);
    if (!handle) return 0;
    if (auto* pedal = dynamic_cast<mg::MarrowGrit*>(static_cast<mg::ILv2Plugin*>(handle)))
        mg::fuzz::ChooseChainIsa(*pedal, first >> 6);

    std::vector<std::vector<float>> buffers(4, std::vector<float>(kBufferFrames, 0.0f));
    float controls[kPorts] = {};
    for (auto& buffer : buffers) in.Bytes(buffer.data(), 64 * sizeof(float));

    std::uint32_t framesLeft = kMaxFramesPerInput;
    while (!in.Empty()) {
        switch (in.Byte() % 6) {
        case 0: { // an audio port to a buffer (maybe shared, maybe in place), or to nothing
            const std::uint32_t port = static_cast<std::uint32_t>(in.Index());
            const std::uint8_t which = in.Byte();
            const std::uint32_t offset = in.Byte() % kMaxOffset;
            descriptor->connect_port(handle, port, which % 5 == 4 ? nullptr : buffers[which % 4].data() + offset);
            break;
        }
        case 1: { // a control port to its value, or to nothing
            const std::uint32_t port = 4 + in.Byte() % 4;
            descriptor->connect_port(handle, port, in.Byte() < 16 ? nullptr : &controls[port]);
            break;
        }
        case 2:
            controls[4 + in.Byte() % 4] = in.Float();
            break;
        case 3: {
            std::uint32_t frames = static_cast<std::uint32_t>(in.Take<std::uint16_t>()) %
                                   static_cast<std::uint32_t>(kBufferFrames - kMaxOffset + 1);
            if (frames > framesLeft) frames = framesLeft;
            framesLeft -= frames;
            descriptor->run(handle, frames);
            break;
        }
        case 4:
            descriptor->activate(handle);
            break;
        default:
            descriptor->deactivate(handle);
            break;
        }
    }
    descriptor->cleanup(handle);
    return 0;
}
