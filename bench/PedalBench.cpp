// Frames per second of the pedal's effect chain, side by side in one run:
// the plain chain (the baseline) and ProcessBlock with each kernel, fuzz
// alone and with the cabinet, by rate and block. bench/chain-table.py turns
// a run into ratios to the baseline.
#include <benchmark/benchmark.h>

#include <string>

#include "PedalFixture.h"
#include "PlainChain.h"

using namespace mg::bench;

namespace {

struct Buffers {
    Buffers(int block, double rate) : in(Signal<double>(block, rate)), out0(in.size()), out1(in.size()) {}
    std::vector<double> in, out0, out1;
    double* ins[2] = {in.data(), in.data()};
    double* outs[2] = {out0.data(), out1.data()};
};

void Count(benchmark::State& state, int block)
{
    state.SetItemsProcessed(state.iterations() * block);
    state.counters["frames/s"] =
        benchmark::Counter(static_cast<double>(state.iterations() * block), benchmark::Counter::kIsRate);
}

void Baseline(benchmark::State& state, Mode mode)
{
    const double rate = static_cast<double>(state.range(0));
    const int block = static_cast<int>(state.range(1));
    auto pedal = MakePedal(rate, mode);
    PlainChain plain(*pedal);
    Buffers b(block, rate);
    const bool cabinet = mode == Mode::FuzzCabinet;
    for (auto _ : state) {
        plain.Process(b.in.data(), b.in.data(), b.out0.data(), b.out1.data(), block, cabinet);
        benchmark::DoNotOptimize(b.out0.data());
        benchmark::ClobberMemory();
    }
    Count(state, block);
}

// ProcessBlock over and over on one block of the grid's rate and length.
void Process(benchmark::State& state, mg::MarrowGrit& pedal, double rate, int block)
{
    Buffers b(block, rate);
    for (auto _ : state) {
        pedal.ProcessBlock(b.ins, b.outs, block);
        benchmark::DoNotOptimize(b.out0.data());
        benchmark::ClobberMemory();
    }
    Count(state, block);
}

void Kernel(benchmark::State& state, mg::ChainIsa isa, Mode mode)
{
    const double rate = static_cast<double>(state.range(0));
    auto pedal = MakePedal(rate, mode);
    if (!pedal->SetChainIsa(isa)) {
        state.SkipWithError("not available on this machine");
        return;
    }
    Process(state, *pedal, rate, static_cast<int>(state.range(1)));
}

void Bypass(benchmark::State& state)
{
    const double rate = static_cast<double>(state.range(0));
    auto pedal = MakePedal(rate, Mode::Bypass);
    Process(state, *pedal, rate, static_cast<int>(state.range(1)));
}

void Grid(benchmark::internal::Benchmark* b)
{
    b->ArgNames({"rate", "block"});
    for (int rate : {44100, 96000})
        for (int block : {32, 64, 512, 4096}) b->Args({rate, block});
}

// Chain/<variant>/<mode>/rate:<rate>/block:<block>
const int registered = [] {
    for (Mode mode : {Mode::Fuzz, Mode::FuzzCabinet}) {
        const std::string suffix = mode == Mode::Fuzz ? "/fuzz" : "/cabinet";
        benchmark::RegisterBenchmark(("Chain/baseline" + suffix).c_str(), Baseline, mode)->Apply(Grid);
        for (mg::ChainIsa isa : mg::kChainIsas)
            benchmark::RegisterBenchmark(("Chain/" + std::string(mg::ChainIsaName(isa)) + suffix).c_str(), Kernel,
                                         isa, mode)
                ->Apply(Grid);
    }
    return 0;
}();

// The HQ pedal against the exact one, each with the widest kernel, at the
// rates and blocks hosts use most: HQ/<pedal>/<mode>/rate:<rate>/block:<block>.
template <class Pedal>
void Pedals(benchmark::State& state, Mode mode)
{
    const double rate = static_cast<double>(state.range(0));
    auto pedal = MakePedal<Pedal>(rate, mode);
    Process(state, *pedal, rate, static_cast<int>(state.range(1)));
}

void HostGrid(benchmark::internal::Benchmark* b)
{
    b->ArgNames({"rate", "block"});
    for (int rate : {44100, 48000})
        for (int block : {64, 512}) b->Args({rate, block});
}

const int registeredHq = [] {
    for (Mode mode : {Mode::Fuzz, Mode::FuzzCabinet, Mode::Bypass}) {
        const std::string suffix = mode == Mode::Fuzz ? "/fuzz" : mode == Mode::FuzzCabinet ? "/cabinet" : "/bypass";
        benchmark::RegisterBenchmark(("HQ/exact" + suffix).c_str(), Pedals<mg::MarrowGrit>, mode)->Apply(HostGrid);
        benchmark::RegisterBenchmark(("HQ/hq" + suffix).c_str(), Pedals<mg::MarrowGritHQ>, mode)->Apply(HostGrid);
    }
    return 0;
}();

} // namespace

BENCHMARK(Bypass)->Apply(Grid);
