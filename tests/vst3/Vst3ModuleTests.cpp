// The module and an instance's life as hosts drive them: what the factory
// tells a scanner, the call orders real hosts use (calls twice, out of
// order, before set-up), and refusals of what no host should ask.
#include <cmath>
#include <cstring>
#include <limits>

#include "Vst3TestModule.h"
#include "vst3/Vst3Text.h"
#include "vst3/Vst3Unknown.h"

namespace mg::test {
namespace {

using namespace vst3;

TEST(Vst3Module, DescribesBothPedalsUnderTheirFixedIds)
{
    Vst3Module module;
    PFactoryInfo factory{};
    ASSERT_EQ(module.factory()->getFactoryInfo(&factory), kResultOk);
    EXPECT_STREQ(factory.vendor, "tonewrights");
    ASSERT_EQ(module.factory()->countClasses(), 2);

    auto* factory3 = HostRef<IPluginFactory3>::Query(module.factory(), kIPluginFactory3Iid);
    ASSERT_NE(factory3, nullptr);
    PClassInfo2 info{};
    ASSERT_EQ(factory3->getClassInfo2(0, &info), kResultOk);
    EXPECT_STREQ(info.category, "Audio Module Class");
    EXPECT_STREQ(info.name, "Marrow-Grit[M]");
    EXPECT_STREQ(info.subCategories, "Fx|Distortion");
    EXPECT_STREQ(info.version, MG_PROJECT_VERSION);
    EXPECT_EQ(std::memcmp(info.cid, MakeUid(0x2BD05BA6, 0x0CD4E37A, 0x0F03BC94, 0xD5B083E7).bytes, 16), 0);
    PClassInfoW wide{};
    ASSERT_EQ(factory3->getClassInfoUnicode(0, &wide), kResultOk);
    EXPECT_EQ(ToUtf8(wide.name), "Marrow-Grit[M]");
    ASSERT_EQ(factory3->getClassInfo2(1, &info), kResultOk);
    EXPECT_STREQ(info.name, "Marrow-Grit HQ");
    EXPECT_EQ(std::memcmp(info.cid, MakeUid(0x5D093F0D, 0xB98E3F96, 0x83EE8BAE, 0x228545DD).bytes, 16), 0);
    EXPECT_EQ(factory3->getClassInfo2(2, &info), kInvalidArgument);
    factory3->release();

    // The HQ pedal reports its delay, so hosts line it up with other tracks.
    void* hq = nullptr;
    ASSERT_EQ(module.factory()->createInstance(info.cid, kIComponentIid.bytes, &hq), kResultOk);
    auto* component = static_cast<IComponent*>(hq);
    ASSERT_EQ(component->initialize(nullptr), kResultOk);
    auto* processor = HostRef<IAudioProcessor>::Query(component, kIAudioProcessorIid);
    ASSERT_NE(processor, nullptr);
    ProcessSetup setup{kRealtime, kSample32, 512, 48000.0};
    ASSERT_EQ(processor->setupProcessing(setup), kResultOk);
    EXPECT_EQ(processor->getLatencySamples(), 15u);
    processor->release();
    component->terminate();
    component->release();

    void* object = reinterpret_cast<void*>(1);
    char unknownClass[16] = {1, 2, 3};
    EXPECT_EQ(module.factory()->createInstance(unknownClass, kIComponentIid.bytes, &object), kNoInterface);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(module.factory()->createInstance(module.ClassId(), kIPlugViewIid.bytes, &object), kNoInterface);
    EXPECT_EQ(object, nullptr);
}

TEST(Vst3Module, OneObjectAnswersEachInterfaceWithItsOwnTable)
{
    Vst3Module module;
    Vst3Instance instance(module);
    void* answer = nullptr;
    ASSERT_EQ(instance.component->queryInterface(kFUnknownIid.bytes, &answer), kResultOk);
    EXPECT_EQ(answer, static_cast<FUnknown*>(instance.component));
    static_cast<FUnknown*>(answer)->release();
    EXPECT_NE(static_cast<void*>(instance.processor), static_cast<void*>(instance.component));
    EXPECT_EQ(instance.component->queryInterface(kIPlugFrameIid.bytes, &answer), kNoInterface);
    EXPECT_EQ(answer, nullptr);
    TUID controllerId{};
    EXPECT_EQ(instance.component->getControllerClassId(controllerId), kNotImplemented);
}

// Ardour's scanner: set-up never happens, yet processing and activation are
// switched off; later hosts switch activation on with the defaults.
TEST(Vst3Module, ScannersOrderIsHarmless)
{
    Vst3Module module;
    IComponent* component = module.NewComponent();
    ASSERT_NE(component, nullptr);
    host::HostApplication application;
    ASSERT_EQ(component->initialize(&application), kResultOk);
    auto* processor = HostRef<IAudioProcessor>::Query(component, kIAudioProcessorIid);
    EXPECT_EQ(processor->canProcessSampleSize(kSample32), kResultTrue);
    EXPECT_EQ(processor->canProcessSampleSize(kSample64), kResultTrue);
    EXPECT_EQ(processor->canProcessSampleSize(7), kResultFalse);
    BusInfo bus{};
    ASSERT_EQ(component->getBusInfo(kAudio, kInput, 0, bus), kResultOk);
    EXPECT_EQ(bus.channelCount, 2);
    EXPECT_EQ(component->getBusCount(kEvent, kInput), 0);
    EXPECT_EQ(component->getBusInfo(kAudio, kOutput, 1, bus), kInvalidArgument);
    EXPECT_EQ(processor->setProcessing(0), kResultOk);
    EXPECT_EQ(component->setActive(0), kResultOk);
    EXPECT_EQ(component->setActive(1), kResultOk);
    EXPECT_EQ(component->setActive(0), kResultOk);
    EXPECT_EQ(component->terminate(), kResultOk);
    EXPECT_EQ(component->terminate(), kResultOk);
    processor->release();
    EXPECT_EQ(component->release(), 0u);
}

TEST(Vst3Module, RefusesCallsOutOfOrderAndArrangementsItCannotPlay)
{
    Vst3Module module;
    IComponent* component = module.NewComponent();
    ASSERT_NE(component, nullptr);
    host::MemoryStream state;
    EXPECT_EQ(component->getState(&state), kResultFalse) << "before initialize";
    EXPECT_EQ(component->setActive(1), kResultFalse) << "before initialize";
    component->release();

    Vst3Instance instance(module);
    std::vector<std::vector<float>> in{Tone(64, 0.01), Tone(64, 0.02)};
    std::vector<std::vector<float>> out(2, std::vector<float>(64, 7.0f));
    EXPECT_EQ(instance.Process(in, out), kResultFalse) << "before setActive";
    EXPECT_EQ(out[0][0], 7.0f);

    SpeakerArrangement mono = kSpeakerArrMono;
    SpeakerArrangement stereo = kSpeakerArrStereo;
    SpeakerArrangement eight = 0xFF;
    SpeakerArrangement none = kSpeakerArrEmpty;
    EXPECT_EQ(instance.processor->setBusArrangements(&eight, 1, &eight, 1), kResultFalse);
    EXPECT_EQ(instance.processor->setBusArrangements(&none, 1, &none, 1), kResultFalse);
    EXPECT_EQ(instance.processor->setBusArrangements(&mono, 1, &stereo, 1), kResultFalse);
    EXPECT_EQ(instance.processor->setBusArrangements(nullptr, 1, &stereo, 1), kInvalidArgument);
    SpeakerArrangement now = 0;
    EXPECT_EQ(instance.processor->getBusArrangement(kInput, 0, now), kResultOk);
    EXPECT_EQ(now, kSpeakerArrStereo) << "a refused arrangement changes nothing";
    EXPECT_EQ(instance.processor->setBusArrangements(&mono, 1, &mono, 1), kResultTrue);
    BusInfo bus{};
    instance.component->getBusInfo(kAudio, kOutput, 0, bus);
    EXPECT_EQ(bus.channelCount, 1);

    ProcessSetup bad{kRealtime, kSample32, 512, std::numeric_limits<double>::quiet_NaN()};
    EXPECT_EQ(instance.processor->setupProcessing(bad), kInvalidArgument);
    bad = ProcessSetup{kRealtime, kSample32, 0, 48000.0};
    EXPECT_EQ(instance.processor->setupProcessing(bad), kInvalidArgument);
    instance.Start();
    ProcessSetup whileActive{kRealtime, kSample32, 64, 44100.0};
    EXPECT_EQ(instance.processor->setupProcessing(whileActive), kResultFalse);
    // Hosts toggle these back to back, or repeat them.
    EXPECT_EQ(instance.component->setActive(1), kResultOk);
    EXPECT_EQ(instance.processor->setProcessing(0), kResultOk);
    EXPECT_EQ(instance.processor->setProcessing(1), kResultOk);
}

TEST(Vst3Module, ViewsOpenOnlyOnThisSystemsWindows)
{
    Vst3Module module;
    Vst3Instance instance(module);
    EXPECT_EQ(instance.controller->createView("other"), nullptr);
    IPlugView* view = instance.controller->createView(nullptr);
    ASSERT_NE(view, nullptr);
    ViewRect size{};
    ASSERT_EQ(view->getSize(&size), kResultOk);
    EXPECT_EQ(size.right - size.left, 213);
    EXPECT_EQ(size.bottom - size.top, 326);
    EXPECT_EQ(view->canResize(), kResultFalse);
    EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeX11EmbedWindowID), kResultTrue);
    EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeHWND), kResultFalse);
    EXPECT_EQ(view->attached(nullptr, kPlatformTypeX11EmbedWindowID), kInvalidArgument);
    EXPECT_EQ(view->attached(reinterpret_cast<void*>(0x1234), kPlatformTypeHWND), kResultFalse);
    EXPECT_EQ(view->removed(), kResultOk) << "removed without attached";
    EXPECT_EQ(view->release(), 0u);
}

} // namespace
} // namespace mg::test
