// Sound, parameters and state through the raw interface: the float path
// equal to the VST 2.4 plug-in's, changes landing on the sample they name,
// texts as the VST 2.4 display shows them, and states that are the VST 2.4
// chunk, refused whole when they are not.
#include <dlfcn.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "Vst3TestModule.h"
#include "VstAbi.h"
#include "vst3/Vst3Text.h"

namespace mg::test {
namespace {

using namespace vst3;

enum : ParamID { kLevel, kAttack, kEffect, kCabinet, kProgram };

using Channels = std::vector<std::vector<float>>;

Channels Silence(std::size_t frames, std::size_t channels = 2) { return Channels(channels, std::vector<float>(frames)); }

std::string Text(IEditController* controller, ParamID id, double value)
{
    String128 text{};
    EXPECT_EQ(controller->getParamStringByValue(id, value, text), kResultOk);
    return ToUtf8(text);
}

// The VST 2.4 plug-in, opened as mg-host opens it, rendering one block.
Channels RenderVst2(double rate, int frames, const std::vector<std::pair<int, float>>& parameters, Channels in)
{
    void* library = dlopen(MG_VST2_MODULE, RTLD_NOW | RTLD_LOCAL);
    EXPECT_NE(library, nullptr);
    auto main = reinterpret_cast<vst::EntryProc>(dlsym(library, "VSTPluginMain"));
    vst::AEffect* effect = main([](vst::AEffect*, vst::int32, vst::int32, vst::intptr, void*, float) -> vst::intptr {
        return 0;
    });
    auto dispatch = [effect](vst::int32 opcode, vst::intptr value = 0, float opt = 0.0f) {
        return effect->dispatcher(effect, opcode, 0, value, nullptr, opt);
    };
    dispatch(vst::effOpen);
    dispatch(vst::effSetSampleRate, 0, static_cast<float>(rate));
    dispatch(vst::effSetBlockSize, frames);
    for (const auto& [index, value] : parameters) effect->setParameter(effect, index, value);
    dispatch(vst::effMainsChanged, 1);
    Channels out = Silence(static_cast<std::size_t>(frames));
    float* inPointers[] = {in[0].data(), in[1].data()};
    float* outPointers[] = {out[0].data(), out[1].data()};
    effect->processReplacing(effect, inPointers, outPointers, frames);
    dispatch(vst::effClose);
    dlclose(library);
    return out;
}

// Within the pedal's anti-denormal noise: its table is drawn from a sequence
// the whole process shares, so instances made one after another read other
// parts of it (mg-host's renders, one instance a process, are equal sample
// for sample: tests/host/Vst3RenderTests.cpp).
TEST(Vst3Plugin, FloatRenderMatchesTheVst2PluginsInFourSettings)
{
    const std::vector<std::vector<std::pair<int, float>>> settings = {
        {}, {{kEffect, 0.0f}}, {{kAttack, 1.0f}, {kCabinet, 0.0f}}, {{kLevel, 0.0f}, {kCabinet, 0.0f}}};
    Vst3Module module;
    for (const auto& setting : settings) {
        const Channels in{Tone(480, 2 * M_PI * 200 / 48000), Tone(480, 2 * M_PI * 300 / 48000)};
        const Channels expected = RenderVst2(48000.0, 480, setting, in);
        Vst3Instance instance(module);
        for (const auto& [index, value] : setting)
            ASSERT_EQ(instance.controller->setParamNormalized(static_cast<ParamID>(index), static_cast<double>(value)), kResultOk);
        instance.Start(48000.0, 480);
        Channels input = in;
        Channels out = Silence(480);
        ASSERT_EQ(instance.Process(input, out), kResultOk);
        for (int c = 0; c < 2; ++c)
            for (std::size_t f = 0; f < out[c].size(); ++f)
                ASSERT_NEAR(out[c][f], expected[c][f], 1e-6) << "setting " << (&setting - settings.data());
        EXPECT_NE(out, in) << "the pedal was heard";
    }
}

// A change at sample 100 of a block sounds as if the block had ended there.
TEST(Vst3Plugin, ChangesLandOnTheirSample)
{
    Vst3Module module;
    const Channels tone{Tone(256, 0.05), Tone(256, 0.031)};
    Vst3Instance whole(module);
    whole.Start();
    host::ParamChanges changes;
    changes.Add(kAttack, 100, 0.9);
    Channels in = tone;
    Channels out = Silence(256);
    ASSERT_EQ(whole.Process(in, out, &changes), kResultOk);

    Vst3Instance split(module);
    split.Start();
    Channels headIn{{tone[0].begin(), tone[0].begin() + 100}, {tone[1].begin(), tone[1].begin() + 100}};
    Channels tailIn{{tone[0].begin() + 100, tone[0].end()}, {tone[1].begin() + 100, tone[1].end()}};
    Channels head = Silence(100);
    Channels tail = Silence(156);
    split.Process(headIn, head);
    host::ParamChanges atStart;
    atStart.Add(kAttack, 0, 0.9);
    split.Process(tailIn, tail, &atStart);
    for (int c = 0; c < 2; ++c) {
        head[c].insert(head[c].end(), tail[c].begin(), tail[c].end());
        EXPECT_EQ(out[c], head[c]) << "channel " << c;
    }
    EXPECT_DOUBLE_EQ(whole.controller->getParamNormalized(kAttack), 0.9);
}

// Parameter flushes come with no audio at all; mono buses and in-place
// buffers are the everyday case in some hosts.
TEST(Vst3Plugin, FlushesMonoBusesAndMissingBuffers)
{
    Vst3Module module;
    Vst3Instance instance(module);
    instance.Start();
    host::ParamChanges changes;
    changes.Add(kLevel, 0, 0.25);
    changes.Add(kAttack, 0, std::numeric_limits<double>::quiet_NaN());
    changes.Add(kCabinet, 0, 1.5);
    ProcessData flush{};
    flush.inputParameterChanges = &changes;
    ASSERT_EQ(instance.processor->process(flush), kResultOk);
    EXPECT_DOUBLE_EQ(instance.controller->getParamNormalized(kLevel), 0.25);
    EXPECT_DOUBLE_EQ(instance.controller->getParamNormalized(kAttack), 0.5) << "NaN ignored";
    EXPECT_DOUBLE_EQ(instance.controller->getParamNormalized(kCabinet), 1.0) << "out of range ignored";

    Channels mono{Tone(64, 0.1)};
    Channels monoOut = Silence(64, 1);
    EXPECT_EQ(instance.Process(mono, monoOut), kResultOk);
    EXPECT_NE(monoOut[0], std::vector<float>(64));

    float* nothing[2] = {nullptr, nullptr};
    AudioBusBuffers bus{};
    bus.numChannels = 2;
    bus.channelBuffers32 = nothing;
    ProcessData holes{};
    holes.numSamples = 64;
    holes.numInputs = holes.numOutputs = 1;
    holes.inputs = holes.outputs = &bus;
    EXPECT_EQ(instance.processor->process(holes), kResultOk);
}

TEST(Vst3Plugin, ParametersSpeakTheVst2DisplaysTexts)
{
    Vst3Module module;
    Vst3Instance instance(module);
    IEditController* controller = instance.controller;
    ASSERT_EQ(controller->getParameterCount(), 5);
    ParameterInfo info{};
    ASSERT_EQ(controller->getParameterInfo(kEffect, info), kResultOk);
    EXPECT_EQ(ToUtf8(info.title), "Effect");
    EXPECT_EQ(info.stepCount, 1);
    EXPECT_EQ(info.flags, ParameterInfo::kCanAutomate);
    ASSERT_EQ(controller->getParameterInfo(kAttack, info), kResultOk);
    EXPECT_EQ(info.stepCount, 0);
    EXPECT_DOUBLE_EQ(info.defaultNormalizedValue, 0.5);
    ASSERT_EQ(controller->getParameterInfo(kProgram, info), kResultOk);
    EXPECT_EQ(info.flags, ParameterInfo::kIsProgramChange | ParameterInfo::kIsList);
    EXPECT_EQ(info.stepCount, 15);
    EXPECT_EQ(controller->getParameterInfo(5, info), kInvalidArgument);

    EXPECT_EQ(Text(controller, kLevel, 0.5), "0.500");
    EXPECT_EQ(Text(controller, kLevel, 0.0), "0");
    EXPECT_EQ(Text(controller, kEffect, 0.6), "On") << "as the value the switch would take";
    EXPECT_EQ(Text(controller, kCabinet, 0.2), "Off");
    EXPECT_EQ(Text(controller, kProgram, 1.0), "Init");
    String128 text{};
    EXPECT_EQ(controller->getParamStringByValue(9, 0.5, text), kInvalidArgument);
    ParamValue parsed = -1.0;
    ToUtf16("Off", text);
    ASSERT_EQ(controller->getParamValueByString(kEffect, text, parsed), kResultOk);
    EXPECT_EQ(parsed, 0.0);
    EXPECT_EQ(controller->normalizedParamToPlain(kProgram, 1.0), 15.0);
    EXPECT_EQ(controller->plainParamToNormalized(kProgram, 15.0), 1.0);

    EXPECT_EQ(controller->setParamNormalized(kLevel, 1.5), kInvalidArgument);
    EXPECT_EQ(controller->setParamNormalized(kLevel, std::numeric_limits<double>::quiet_NaN()), kInvalidArgument);
    EXPECT_EQ(controller->setParamNormalized(77, 0.5), kInvalidArgument);
    EXPECT_DOUBLE_EQ(controller->getParamNormalized(kLevel), 0.5);

    // Program 0 sets Level 1; a repeat of the selector leaves later edits alone.
    ASSERT_EQ(controller->setParamNormalized(kProgram, 0.0), kResultOk);
    EXPECT_DOUBLE_EQ(controller->getParamNormalized(kLevel), 1.0);
    controller->setParamNormalized(kLevel, 0.3);
    controller->setParamNormalized(kProgram, 0.0);
    EXPECT_DOUBLE_EQ(controller->getParamNormalized(kLevel), 0.3);
    EXPECT_EQ(instance.handler.restarts, 0) << "no call back into the host from setParamNormalized";
}

std::vector<std::uint8_t> Chunk(std::initializer_list<double> values)
{
    std::vector<std::uint8_t> bytes{0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00};
    for (double v : values) {
        std::uint8_t raw[8];
        std::memcpy(raw, &v, 8);
        bytes.insert(bytes.end(), raw, raw + 8);
    }
    return bytes;
}

TEST(Vst3Plugin, StateIsTheVst2ChunkWithTheNewestValues)
{
    Vst3Module module;
    Vst3Instance instance(module);
    // Saved right after the host set a value, before any process call.
    ASSERT_EQ(instance.controller->setParamNormalized(kAttack, 0.75), kResultOk);
    EXPECT_EQ(instance.State(), Chunk({0.5, 0.75, 1.0, 1.0}));

    Vst3Instance other(module);
    host::MemoryStream stream(Chunk({0.2, 0.9, 0.0, 1.0}));
    stream.LimitReads(3);
    ASSERT_EQ(other.component->setState(&stream), kResultOk);
    stream.Rewind();
    EXPECT_EQ(other.controller->setComponentState(&stream), kResultOk);
    EXPECT_EQ(other.State(), Chunk({0.2, 0.9, 0.0, 1.0}));
    EXPECT_DOUBLE_EQ(other.controller->getParamNormalized(kEffect), 0.0);
}

TEST(Vst3Plugin, RefusesStatesThatAreNotWholeChunksAndChangesNothing)
{
    Vst3Module module;
    Vst3Instance instance(module);
    const std::vector<std::uint8_t> before = instance.State();
    std::vector<std::vector<std::uint8_t>> bad = {
        {},
        Chunk({0.1, 0.2, 0.0}),
        Chunk({0.1, 0.2, 0.0, 1.0, 0.5}),
        Chunk({0.1, std::numeric_limits<double>::quiet_NaN(), 0.0, 1.0}),
    };
    std::vector<std::uint8_t> otherMagic = Chunk({0.1, 0.2, 0.0, 1.0});
    otherMagic[0] = 'X';
    bad.push_back(otherMagic);
    std::mt19937 random(29);
    for (int i = 0; i < 20; ++i) {
        std::vector<std::uint8_t> noise(static_cast<std::size_t>(random() % 64));
        for (auto& byte : noise) byte = static_cast<std::uint8_t>(random());
        bad.push_back(noise);
    }
    for (const auto& bytes : bad) {
        host::MemoryStream stream(bytes);
        EXPECT_EQ(instance.component->setState(&stream), kResultFalse) << bytes.size() << " bytes";
        host::MemoryStream again(bytes);
        EXPECT_EQ(instance.controller->setComponentState(&again), kResultFalse);
    }
    EXPECT_EQ(instance.State(), before);
    EXPECT_EQ(instance.component->setState(nullptr), kInvalidArgument);
}

} // namespace
} // namespace mg::test
