#pragma once
// The built VST 3 module, loaded as a host loads it, and an instance of its
// class driven through the raw interfaces in the order hosts use.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "PluginLibrary.h"
#include "Vst3HostObjects.h"
#include "vst3/Vst3Abi.h"

namespace mg::test {

class Vst3Module {
public:
    Vst3Module();
    ~Vst3Module();
    Vst3Module(const Vst3Module&) = delete;
    Vst3Module& operator=(const Vst3Module&) = delete;

    vst3::IPluginFactory* factory() const { return factory_; }
    // A fresh instance as its component, not yet initialised; null if refused.
    vst3::IComponent* NewComponent();
    const char* ClassId() const { return classId_; }

private:
    std::unique_ptr<loader::Library> library_;
    vst3::IPluginFactory* factory_ = nullptr;
    char classId_[16] = {};
};

// One instance: created, initialised twice (through both interfaces, as
// Ardour does), handler set; set up, active and processing when asked.
class Vst3Instance {
public:
    explicit Vst3Instance(Vst3Module& module);
    ~Vst3Instance();
    Vst3Instance(const Vst3Instance&) = delete;
    Vst3Instance& operator=(const Vst3Instance&) = delete;

    void Start(double rate = 48000.0, int maxFrames = 512);

    // Float processing of planar stereo (or mono) buffers with `changes`.
    vst3::tresult Process(std::vector<std::vector<float>>& in, std::vector<std::vector<float>>& out,
                          vst3::IParameterChanges* changes = nullptr);
    std::vector<std::uint8_t> State();

    vst3::IComponent* component = nullptr;
    vst3::IAudioProcessor* processor = nullptr;
    vst3::IEditController* controller = nullptr;
    host::HostApplication application;
    host::ComponentHandler handler;
};

std::vector<float> Tone(std::size_t frames, double step, double phase = 0.0);

} // namespace mg::test
