// Runs the effect chain for a fixed number of frames and prints how long it
// took: for instruction counts under callgrind (which counts inside
// RunBlocks only), and for timing where Google Benchmark is missing (the
// Windows builds, under wine):
//
//   valgrind --tool=callgrind --toggle-collect='*RunBlocks*'
//       chain_count <baseline|scalar|sse2|avx2|avx512> <fuzz|cabinet> <rate> <block> [frames]
//
// bench/chain-table.py runs it over the benchmark grid.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "PedalFixture.h"
#include "PlainChain.h"

using namespace mg::bench;

namespace {

[[gnu::noinline]] void RunBlocks(mg::MarrowGrit* pedal, PlainChain* plain, bool cabinet, double* in, double* out0,
                                 double* out1, int block, int blocks)
{
    double* ins[] = {in, in};
    double* outs[] = {out0, out1};
    for (int b = 0; b < blocks; ++b) {
        if (plain) plain->Process(in, in, out0, out1, block, cabinet);
        else pedal->ProcessBlock(ins, outs, block);
    }
}

int Usage()
{
    std::fprintf(stderr, "usage: chain_count <baseline|scalar|sse2|avx2|avx512> <fuzz|cabinet> <rate> <block> [frames]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 5) return Usage();
    const std::string variant = argv[1], mode = argv[2];
    const double rate = std::atof(argv[3]);
    const int block = std::atoi(argv[4]);
    const int frames = argc > 5 ? std::atoi(argv[5]) : 65536;
    if ((mode != "fuzz" && mode != "cabinet") || rate <= 0 || block <= 0 || frames < block) return Usage();
    const bool cabinet = mode == "cabinet";

    auto pedal = MakePedal(rate, cabinet ? Mode::FuzzCabinet : Mode::Fuzz);
    std::unique_ptr<PlainChain> plain;
    if (variant == "baseline") {
        plain = std::make_unique<PlainChain>(*pedal);
    } else {
        bool known = false;
        for (mg::ChainIsa isa : mg::kChainIsas) {
            if (variant != mg::ChainIsaName(isa)) continue;
            known = true;
            if (!pedal->SetChainIsa(isa)) {
                std::fprintf(stderr, "%s: not available on this machine\n", variant.c_str());
                return 3;
            }
        }
        if (!known) return Usage();
    }
    std::vector<double> in = Signal<double>(block, rate), out0(in.size()), out1(in.size());
    const auto start = std::chrono::steady_clock::now();
    RunBlocks(pedal.get(), plain.get(), cabinet, in.data(), out0.data(), out1.data(), block, frames / block);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const int done = frames / block * block;
    std::printf("%s %s %g %d: %d frames in %.6f s, %.4g frames/s\n", variant.c_str(), mode.c_str(), rate, block, done,
                seconds, seconds > 0 ? done / seconds : 0.0);
    return 0;
}
