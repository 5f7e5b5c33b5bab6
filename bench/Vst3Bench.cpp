// The VST 3 module's process call against the VST 2.4 library's float
// callback: both modules loaded as hosts load them, fuzz and cabinet on,
// the same input, one block per iteration.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include "PluginLibrary.h"
#include "Vst3HostedPlugin.h"
#include "VstAbi.h"

namespace {

constexpr double kRate = 44100.0;
constexpr int kCabinet = 3; // the pedal's parameter index

// The signal of the other benchmarks (PedalFixture.h), without the pedal.
std::vector<float> Signal(int frames)
{
    std::vector<float> v(static_cast<std::size_t>(frames));
    for (int i = 0; i < frames; ++i)
        v[static_cast<std::size_t>(i)] = static_cast<float>(0.3 * std::sin(2 * std::numbers::pi * 110.0 * i / kRate) +
                                                            0.1 * std::sin(2 * std::numbers::pi * 331.0 * i / kRate));
    return v;
}

vst::intptr VST_CALL SilentHost(vst::AEffect*, vst::int32, vst::int32, vst::intptr, void*, float) { return 0; }

template <class Process>
void Run(benchmark::State& state, int block, Process&& process)
{
    std::vector<float> in = Signal(block), out0(in.size()), out1(in.size());
    float* ins[] = {in.data(), in.data()};
    float* outs[] = {out0.data(), out1.data()};
    for (auto _ : state) {
        process(ins, outs, block);
        benchmark::DoNotOptimize(out0.data());
        benchmark::ClobberMemory();
    }
    state.counters["frames/s"] = benchmark::Counter(static_cast<double>(state.iterations() * block),
                                                    benchmark::Counter::kIsRate);
}

void Vst2FloatCallback(benchmark::State& state)
{
    std::string error;
    auto library = mg::loader::Library::Open(MG_VST2_MODULE, error);
    auto main = reinterpret_cast<vst::EntryProc>(library->Symbol("VSTPluginMain"));
    vst::AEffect* effect = main(&SilentHost);
    const int block = static_cast<int>(state.range(0));
    auto dispatch = [effect](vst::int32 op, vst::intptr value = 0, float opt = 0.0f) {
        effect->dispatcher(effect, op, 0, value, nullptr, opt);
    };
    dispatch(vst::effOpen);
    dispatch(vst::effSetSampleRate, 0, static_cast<float>(kRate));
    dispatch(vst::effSetBlockSize, block);
    dispatch(vst::effMainsChanged, 1);
    effect->setParameter(effect, kCabinet, 1.0f);
    Run(state, block, [effect](float** in, float** out, int n) { effect->processReplacing(effect, in, out, n); });
    dispatch(vst::effClose);
}

void Vst3Process(benchmark::State& state)
{
    auto plugin = mg::host::LoadVst3Plugin(MG_VST3_MODULE);
    const int block = static_cast<int>(state.range(0));
    plugin->SetParameter(kCabinet, 1.0);
    plugin->Prepare(kRate, block);
    plugin->Resume();
    Run(state, block, [&plugin](float** in, float** out, int n) { plugin->Process(in, out, n); });
    plugin->Suspend();
}

} // namespace

BENCHMARK(Vst2FloatCallback)->ArgName("block")->Arg(64)->Arg(512);
BENCHMARK(Vst3Process)->ArgName("block")->Arg(64)->Arg(512);
