#pragma once
// What the benchmarks of a loaded module share: the input, a VST 2.4
// library started as hosts start it (the reference the other formats are
// measured against), and the timed loop over one block per iteration.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <stdexcept>
#include <string>
#include <vector>

#include "PluginLibrary.h"
#include "VstAbi.h"

namespace mg::bench {

constexpr double kRate = 44100.0;

// The signal of the other benchmarks (PedalFixture.h), without the pedal.
inline std::vector<float> Signal(int frames)
{
    std::vector<float> v(static_cast<std::size_t>(frames));
    for (int i = 0; i < frames; ++i)
        v[static_cast<std::size_t>(i)] = static_cast<float>(0.3 * std::sin(2 * std::numbers::pi * 110.0 * i / kRate) +
                                                            0.1 * std::sin(2 * std::numbers::pi * 331.0 * i / kRate));
    return v;
}

inline std::unique_ptr<loader::Library> LoadModule(const char* path)
{
    std::string error;
    auto library = loader::Library::Open(path, error);
    if (!library) throw std::runtime_error(error);
    return library;
}

// A VST 2.4 effect opened at kRate and `block`, resumed; closed on
// destruction. The pedal's defaults have fuzz and cabinet on.
class Vst2Effect {
public:
    Vst2Effect(const char* path, int block) : library_(LoadModule(path))
    {
        auto main = reinterpret_cast<vst::EntryProc>(library_->Symbol("VSTPluginMain"));
        if (!main) throw std::runtime_error(std::string(path) + " has no VSTPluginMain");
        effect_ = main(&SilentHost);
        Dispatch(vst::effOpen);
        Dispatch(vst::effSetSampleRate, 0, static_cast<float>(kRate));
        Dispatch(vst::effSetBlockSize, block);
        Dispatch(vst::effMainsChanged, 1);
    }
    ~Vst2Effect()
    {
        Dispatch(vst::effMainsChanged, 0);
        Dispatch(vst::effClose);
    }
    Vst2Effect(const Vst2Effect&) = delete;
    Vst2Effect& operator=(const Vst2Effect&) = delete;

    void Process(float** in, float** out, int frames) { effect_->processReplacing(effect_, in, out, frames); }

private:
    static vst::intptr VST_CALL SilentHost(vst::AEffect*, vst::int32, vst::int32, vst::intptr, void*, float)
    {
        return 0;
    }
    void Dispatch(vst::int32 op, vst::intptr value = 0, float opt = 0.0f)
    {
        effect_->dispatcher(effect_, op, 0, value, nullptr, opt);
    }

    std::unique_ptr<loader::Library> library_;
    vst::AEffect* effect_ = nullptr;
};

// Stereo blocks of state.range(0) frames of Signal() through `process`.
template <class Process>
void RunBlocks(benchmark::State& state, Process&& process)
{
    const int block = static_cast<int>(state.range(0));
    std::vector<float> in = Signal(block), out0(in.size()), out1(in.size());
    float* ins[] = {in.data(), in.data()};
    float* outs[] = {out0.data(), out1.data()};
    for (auto _ : state) {
        process(ins, outs, block);
        benchmark::DoNotOptimize(out0.data());
        benchmark::ClobberMemory();
    }
    state.counters["ns/frame"] = benchmark::Counter(static_cast<double>(state.iterations() * block),
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

} // namespace mg::bench
