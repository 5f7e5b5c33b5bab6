// mg-live's process callback against the plug-in's own processReplacing:
// the host's overhead per period (the gate, the buffer tables, the
// transport), with the pedal loaded from its library as mg-live loads it.
// libjack's own part of a period (jack_port_get_buffer) is not in here.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "HostContext.h"
#include "LiveProcessor.h"
#include "PluginInstance.h"

namespace {

constexpr double kRate = 48000.0;

struct Live {
    explicit Live(int frames) : host(kRate, frames), plugin(PEDAL_PATH, host), processor(plugin, host, false)
    {
        processor.Prepare(kRate, frames);
        processor.Start();
        in.resize(static_cast<std::size_t>(frames));
        for (int i = 0; i < frames; ++i)
            in[static_cast<std::size_t>(i)] = static_cast<float>(0.4 * std::sin(2.0 * M_PI * 196.0 * i / kRate));
        silence.assign(in.size(), 0.0f);
        out0.resize(in.size());
        out1.resize(in.size());
    }
    ~Live() { processor.Stop(); }

    mg::host::HostContext host;
    mg::host::PluginInstance plugin;
    mg::live::LiveProcessor processor;
    std::vector<float> in, silence, out0, out1;
};

template <class Call>
void Run(benchmark::State& state, Call call)
{
    const int frames = static_cast<int>(state.range(0));
    Live live(frames);
    float* ins[] = {live.in.data(), live.silence.data()};
    float* outs[] = {live.out0.data(), live.out1.data()};
    for (auto _ : state) {
        call(live, ins, outs, frames);
        benchmark::DoNotOptimize(live.out0.data());
        benchmark::ClobberMemory();
    }
    state.counters["per period"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void PluginAlone(benchmark::State& state)
{
    Run(state, [](Live& live, float** in, float** out, int frames) {
        vst::AEffect* effect = live.plugin.Raw();
        effect->processReplacing(effect, in, out, frames);
    });
}

void LiveCallback(benchmark::State& state)
{
    Run(state, [](Live& live, float** in, float** out, int frames) { live.processor.Process(in, out, frames); });
}

} // namespace

BENCHMARK(PluginAlone)->Arg(64)->Arg(256);
BENCHMARK(LiveCallback)->Arg(64)->Arg(256);
