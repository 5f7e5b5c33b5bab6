// The cost of each process callback through the ABI (binding, conversion,
// lock) against the pedal's ProcessBlock alone, fuzz and cabinet on.
#include <benchmark/benchmark.h>

#include "PedalFixture.h"
#include "vst/VstEntry.h"

using namespace mg::bench;

namespace {

constexpr double kRate = 44100.0;

vst::intptr VST_CALL SilentHost(vst::AEffect*, vst::int32, vst::int32, vst::intptr, void*, float) { return 0; }

struct Instance {
    explicit Instance(int block) : effect(mg::CreateVstInstance<mg::MarrowGrit>(&SilentHost))
    {
        Dispatch(vst::effOpen);
        Dispatch(vst::effSetSampleRate, 0, nullptr, static_cast<float>(kRate));
        Dispatch(vst::effSetBlockSize, block);
        Dispatch(vst::effMainsChanged, 1);
        effect->setParameter(effect, mg::MarrowGrit::kCabinet, 1.0f);
    }
    ~Instance() { Dispatch(vst::effClose); }
    void Dispatch(vst::int32 op, vst::intptr value = 0, void* ptr = nullptr, float opt = 0.0f)
    {
        effect->dispatcher(effect, op, 0, value, ptr, opt);
    }
    vst::AEffect* effect;
};

template <class Sample>
void Run(benchmark::State& state, void (*call)(vst::AEffect*, Sample**, Sample**, int, Instance&))
{
    const int block = static_cast<int>(state.range(0));
    Instance instance(block);
    std::vector<Sample> in = Signal<Sample>(block, kRate), out0(in.size()), out1(in.size());
    Sample* ins[] = {in.data(), in.data()};
    Sample* outs[] = {out0.data(), out1.data()};
    for (auto _ : state) {
        call(instance.effect, ins, outs, block, instance);
        benchmark::DoNotOptimize(out0.data());
        benchmark::ClobberMemory();
    }
    state.counters["frames/s"] = benchmark::Counter(static_cast<double>(state.iterations() * block),
                                                    benchmark::Counter::kIsRate);
}

void FloatReplacing(benchmark::State& state)
{
    Run<float>(state, [](vst::AEffect* e, float** i, float** o, int n, Instance&) { e->processReplacing(e, i, o, n); });
}

void DoubleReplacing(benchmark::State& state)
{
    Run<double>(state, [](vst::AEffect* e, double** i, double** o, int n, Instance&) {
        e->processDoubleReplacing(e, i, o, n);
    });
}

void FloatAccumulating(benchmark::State& state)
{
    Run<float>(state, [](vst::AEffect* e, float** i, float** o, int n, Instance&) { e->process(e, i, o, n); });
}

void ProcessBlockAlone(benchmark::State& state)
{
    Run<double>(state, [](vst::AEffect* e, double** i, double** o, int n, Instance&) {
        static_cast<mg::MarrowGrit*>(e->object)->ProcessBlock(i, o, n);
    });
}

} // namespace

BENCHMARK(ProcessBlockAlone)->ArgName("block")->Arg(32)->Arg(64)->Arg(512)->Arg(4096);
BENCHMARK(DoubleReplacing)->ArgName("block")->Arg(32)->Arg(64)->Arg(512)->Arg(4096);
BENCHMARK(FloatReplacing)->ArgName("block")->Arg(32)->Arg(64)->Arg(512)->Arg(4096);
BENCHMARK(FloatAccumulating)->ArgName("block")->Arg(32)->Arg(64)->Arg(512)->Arg(4096);
