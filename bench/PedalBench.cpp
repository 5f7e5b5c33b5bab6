// Frames per second of the pedal's ProcessBlock, by mode, rate and block.
#include <benchmark/benchmark.h>

#include "PedalFixture.h"

using namespace mg::bench;

namespace {

void ProcessBlock(benchmark::State& state, Mode mode)
{
    const double rate = static_cast<double>(state.range(0));
    const int block = static_cast<int>(state.range(1));
    auto pedal = MakePedal(rate, mode);
    std::vector<double> in = Signal<double>(block, rate), out0(in.size()), out1(in.size());
    double* ins[] = {in.data(), in.data()};
    double* outs[] = {out0.data(), out1.data()};
    for (auto _ : state) {
        pedal->ProcessBlock(ins, outs, block);
        benchmark::DoNotOptimize(out0.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * block);
    state.counters["frames/s"] = benchmark::Counter(static_cast<double>(state.iterations() * block),
                                                    benchmark::Counter::kIsRate);
}

void Arguments(benchmark::internal::Benchmark* b)
{
    b->ArgNames({"rate", "block"});
    for (int rate : {44100, 96000})
        for (int block : {64, 512}) b->Args({rate, block});
}

} // namespace

BENCHMARK_CAPTURE(ProcessBlock, bypass, Mode::Bypass)->Apply(Arguments);
BENCHMARK_CAPTURE(ProcessBlock, fuzz, Mode::Fuzz)->Apply(Arguments);
BENCHMARK_CAPTURE(ProcessBlock, fuzz_cabinet, Mode::FuzzCabinet)->Apply(Arguments);
