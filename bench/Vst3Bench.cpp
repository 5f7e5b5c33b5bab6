// The VST 3 module's process call against the VST 2.4 library's float
// callback: both modules loaded as hosts load them, fuzz and cabinet on,
// the same input, one block per iteration.
#include "ModuleBench.h"
#include "Vst3HostedPlugin.h"

namespace {

using namespace mg::bench;

constexpr int kCabinet = 3; // the pedal's parameter index

void Vst2FloatCallback(benchmark::State& state)
{
    Vst2Effect effect(MG_VST2_MODULE, static_cast<int>(state.range(0)));
    RunBlocks(state, [&](float** in, float** out, int n) { effect.Process(in, out, n); });
}

void Vst3Process(benchmark::State& state)
{
    auto plugin = mg::host::LoadVst3Plugin(MG_VST3_MODULE);
    const int block = static_cast<int>(state.range(0));
    plugin->SetParameter(kCabinet, 1.0);
    plugin->Prepare(kRate, block, mg::host::SampleSize::Float);
    plugin->Resume();
    RunBlocks(state, [&plugin](float** in, float** out, int n) { plugin->Process(in, out, n); });
    plugin->Suspend();
}

} // namespace

BENCHMARK(Vst2FloatCallback)->ArgName("block")->Arg(64)->Arg(512);
BENCHMARK(Vst3Process)->ArgName("block")->Arg(64)->Arg(512);
