// The VST 3 module's instance as a hostile host drives it: states of any
// bytes (whole, cut short, read a few bytes at a time), process calls of
// either sample size with any buffers and any parameter changes (ids,
// offsets and values of any kind), set-up, activation and bus arrangements
// in any order, values set from the controller side.
#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "FuzzChainIsa.h"
#include "FuzzInput.h"
#include "Vst3HostObjects.h"
#include "vst3/Vst3Unknown.h"

extern "C" mg::vst3::IPluginFactory* GetPluginFactory();

namespace {

using namespace mg::vst3;

constexpr std::size_t kBufferFrames = 2 * 4096 + 512;
// Frames one input may process in all: slicing and splitting show within a
// few blocks, and long runs only cost inputs.
constexpr std::uint32_t kMaxFramesPerInput = 1 << 13;

double AnyValue(mg::fuzz::FuzzInput& in)
{
    return in.Byte() < 200 ? static_cast<double>(in.Float()) : in.Take<double>();
}

template <class Sample>
void Process(IAudioProcessor* processor, mg::fuzz::FuzzInput& in, std::uint32_t& framesLeft)
{
    static std::vector<std::vector<Sample>> buffers(4, std::vector<Sample>(kBufferFrames));
    std::uint32_t frames = in.Take<std::uint16_t>() % static_cast<std::uint32_t>(kBufferFrames + 1);
    if (frames > framesLeft) frames = framesLeft;
    framesLeft -= frames;

    // Channels of each bus: up to three, some missing, some shared (in place).
    Sample* inputs[3];
    Sample* outputs[3];
    for (Sample*& pointer : inputs) {
        const std::uint8_t which = in.Byte();
        pointer = which % 5 == 4 ? nullptr : buffers[which % 4].data();
    }
    for (Sample*& pointer : outputs) {
        const std::uint8_t which = in.Byte();
        pointer = which % 5 == 4 ? nullptr : buffers[which % 4].data();
    }
    AudioBusBuffers inBus{};
    AudioBusBuffers outBus{};
    inBus.numChannels = in.Byte() % 4;
    outBus.numChannels = in.Byte() % 4;
    if constexpr (sizeof(Sample) == 8) {
        inBus.channelBuffers64 = in.Byte() < 16 ? nullptr : inputs;
        outBus.channelBuffers64 = in.Byte() < 16 ? nullptr : outputs;
    } else {
        inBus.channelBuffers32 = in.Byte() < 16 ? nullptr : inputs;
        outBus.channelBuffers32 = in.Byte() < 16 ? nullptr : outputs;
    }

    mg::host::ParamChanges changes;
    mg::host::ParamChanges reported;
    const int points = in.Byte() % 12;
    for (int i = 0; i < points; ++i) {
        const ParamID id = in.Byte() % 8;
        const std::int32_t offset = in.Byte() < 200 ? in.Take<std::uint16_t>() % (frames + 2) : in.Take<std::int32_t>();
        changes.Add(id, offset, AnyValue(in));
    }

    ProcessData data{};
    data.symbolicSampleSize = sizeof(Sample) == 8 ? kSample64 : kSample32;
    data.numSamples = static_cast<std::int32_t>(frames);
    data.numInputs = in.Byte() % 3;
    data.numOutputs = in.Byte() % 3;
    data.inputs = &inBus;
    data.outputs = &outBus;
    data.inputParameterChanges = in.Byte() < 16 ? nullptr : &changes;
    data.outputParameterChanges = in.Byte() < 64 ? nullptr : &reported;
    processor->process(data);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    mg::fuzz::FuzzInput in(data, size);
    IPluginFactory* factory = GetPluginFactory();
    PClassInfo info{};
    factory->getClassInfo(0, &info);
    void* object = nullptr;
    if (factory->createInstance(info.cid, kIComponentIid.bytes, &object) != kResultOk) {
        factory->release();
        return 0;
    }
    auto* component = static_cast<IComponent*>(object);
    if (auto* pedal = dynamic_cast<mg::MarrowGrit*>(static_cast<mg::IVst3Plugin*>(component)))
        mg::fuzz::ChooseChainIsa(*pedal, in.Byte() >> 6);
    mg::host::HostApplication application;
    if (in.Byte() >= 16) component->initialize(&application);
    auto* processor = HostRef<IAudioProcessor>::Query(component, kIAudioProcessorIid);
    auto* controller = HostRef<IEditController>::Query(component, kIEditControllerIid);

    std::uint32_t framesLeft = kMaxFramesPerInput;
    while (!in.Empty()) {
        switch (in.Byte() % 8) {
        case 0: { // a state of any bytes, maybe read in small parts
            std::vector<std::uint8_t> bytes(in.Byte() < 128 ? 40 : in.Byte());
            in.Bytes(bytes.data(), bytes.size());
            mg::host::MemoryStream stream(bytes);
            stream.LimitReads(in.Byte() % 50);
            component->setState(&stream);
            stream.Rewind();
            controller->setComponentState(&stream);
            break;
        }
        case 1: {
            const std::int32_t mode = in.Byte() % 3;
            const std::int32_t sampleSize = in.Byte() % 3;
            // Small indices as multiples of 64 frames, anything else as it is.
            const std::int64_t frames = static_cast<std::int64_t>(in.Index()) * 64;
            const auto longest = static_cast<std::int32_t>(std::clamp<std::int64_t>(frames, INT32_MIN, INT32_MAX));
            ProcessSetup setup{mode, sampleSize, longest, static_cast<double>(in.Float())};
            processor->setupProcessing(setup);
            break;
        }
        case 2:
            component->setActive(in.Byte() & 1);
            break;
        case 3:
            processor->setProcessing(in.Byte() & 1);
            break;
        case 4:
            if (in.Byte() & 1) Process<double>(processor, in, framesLeft);
            else Process<float>(processor, in, framesLeft);
            break;
        case 5: {
            const ParamID id = in.Byte() < 240 ? in.Byte() % 8 : in.Take<ParamID>();
            controller->setParamNormalized(id, AnyValue(in));
            break;
        }
        case 6: {
            SpeakerArrangement arrangements[2] = {in.Take<std::uint64_t>() & 0x80003u, in.Take<std::uint64_t>()};
            processor->setBusArrangements(&arrangements[0], in.Byte() % 3, &arrangements[1], in.Byte() % 3);
            break;
        }
        default: {
            mg::host::MemoryStream stream;
            component->getState(&stream);
            break;
        }
        }
    }
    processor->release();
    controller->release();
    component->terminate();
    component->release();
    factory->release();
    return 0;
}
