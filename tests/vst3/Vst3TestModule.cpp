#include "Vst3TestModule.h"

#include <cmath>
#include <cstring>

#include "vst3/Vst3Unknown.h"

namespace mg::test {

using namespace vst3;

Vst3Module::Vst3Module()
{
    std::string error;
    library_ = loader::Library::Open(MG_VST3_MODULE, error);
    if (!library_) throw std::runtime_error(error);
    auto entry = reinterpret_cast<ModuleEntryProc>(library_->Symbol("ModuleEntry"));
    auto getFactory = reinterpret_cast<GetFactoryProc>(library_->Symbol("GetPluginFactory"));
    if (!entry || !getFactory || !entry(library_->NativeHandle())) throw std::runtime_error("no VST 3 module");
    factory_ = getFactory();
    PClassInfo info{};
    if (!factory_ || factory_->getClassInfo(0, &info) != kResultOk) throw std::runtime_error("no class");
    std::memcpy(classId_, info.cid, sizeof classId_);
}

Vst3Module::~Vst3Module()
{
    if (factory_) factory_->release();
    if (auto exit = reinterpret_cast<ModuleExitProc>(library_->Symbol("ModuleExit"))) exit();
}

IComponent* Vst3Module::NewComponent()
{
    void* object = nullptr;
    if (factory_->createInstance(classId_, kIComponentIid.bytes, &object) != kResultOk) return nullptr;
    return static_cast<IComponent*>(object);
}

Vst3Instance::Vst3Instance(Vst3Module& module) : component(module.NewComponent())
{
    EXPECT_NE(component, nullptr);
    EXPECT_EQ(component->initialize(&application), kResultOk);
    controller = HostRef<IEditController>::Query(component, kIEditControllerIid);
    processor = HostRef<IAudioProcessor>::Query(component, kIAudioProcessorIid);
    EXPECT_EQ(controller->initialize(&application), kResultOk);
    EXPECT_EQ(controller->setComponentHandler(&handler), kResultOk);
}

Vst3Instance::~Vst3Instance()
{
    processor->setProcessing(0);
    component->setActive(0);
    controller->setComponentHandler(nullptr);
    controller->terminate();
    controller->release();
    processor->release();
    component->terminate();
    component->release();
}

void Vst3Instance::Start(double rate, int maxFrames)
{
    ProcessSetup setup{kRealtime, kSample32, maxFrames, rate};
    ASSERT_EQ(processor->setupProcessing(setup), kResultOk);
    ASSERT_EQ(component->setActive(1), kResultOk);
    ASSERT_EQ(processor->setProcessing(1), kResultOk);
}

tresult Vst3Instance::Process(std::vector<std::vector<float>>& in, std::vector<std::vector<float>>& out,
                              IParameterChanges* changes)
{
    std::vector<float*> inPointers;
    std::vector<float*> outPointers;
    for (auto& channel : in) inPointers.push_back(channel.data());
    for (auto& channel : out) outPointers.push_back(channel.data());
    AudioBusBuffers inBus{};
    AudioBusBuffers outBus{};
    inBus.numChannels = static_cast<int32>(in.size());
    inBus.channelBuffers32 = inPointers.data();
    outBus.numChannels = static_cast<int32>(out.size());
    outBus.channelBuffers32 = outPointers.data();
    ProcessData data{};
    data.symbolicSampleSize = kSample32;
    data.numSamples = static_cast<int32>(out.empty() ? 0 : out[0].size());
    data.numInputs = 1;
    data.numOutputs = 1;
    data.inputs = &inBus;
    data.outputs = &outBus;
    data.inputParameterChanges = changes;
    return processor->process(data);
}

std::vector<std::uint8_t> Vst3Instance::State()
{
    host::MemoryStream stream;
    EXPECT_EQ(component->getState(&stream), kResultOk);
    return stream.Bytes();
}

std::vector<float> Tone(std::size_t frames, double step, double phase)
{
    std::vector<float> out(frames);
    for (std::size_t f = 0; f < frames; ++f)
        out[f] = 0.5f * static_cast<float>(std::sin(step * static_cast<double>(f) + phase));
    return out;
}

} // namespace mg::test
