#pragma once
// How a kernel runs a block of one mode: blocks shorter than kPlainBelow
// frames through the plain chain; long ones (kLongBlock and more) through
// the Long schedule, which may overlap more work per tick; short ones
// through the wave when the plan has one and the block is long enough for
// it, else through the Short schedule, which should be shallow (skew 1) to
// fill and drain quickly. A schedule names the vector operations of the
// sections and of the clipper (narrower clipper groups are ready sooner),
// the number of vectors and the skew; a wave, the two sets of operations.
#include <type_traits>

#include "ChainPipeline.h"
#include "ChainWave.h"

namespace mg::chain {

template <class O_, class SO_, int kVectors, int kSkew_>
struct Schedule {
    using O = O_;
    using SO = SO_;
    static constexpr int kNV = kVectors;
    static constexpr int kSkew = kSkew_;
};

template <class O_, class SO_, int kSkew_ = 1>
struct WaveOps {
    using O = O_;
    using SO = SO_;
    static constexpr int kSkew = kSkew_;
};

template <class Short_, class Long_, int kPlainBelow_ = 0, class Wave_ = void>
struct Plan {
    using Short = Short_;
    using Long = Long_;
    using Wave = Wave_;
    static constexpr int kPlainBelow = kPlainBelow_;
};

template <class P, int L, bool kCabinet>
bool RunBlock(const ChainBlock& block)
{
    using Short = typename P::Short;
    using Long = typename P::Long;
    if (block.frames < P::kPlainBelow) return Plain<typename Short::O>::template Run<L, kCabinet>(block);
    if (block.frames >= kLongBlock)
        return RunSchedule<typename Long::O, typename Long::SO, L, Long::kNV, Long::kSkew, kCabinet>(block);
    if constexpr (!std::is_void_v<typename P::Wave>) {
        using O = typename P::Wave::O;
        using SO = typename P::Wave::SO;
        constexpr int kSkew = P::Wave::kSkew;
        if (block.frames >= WaveChain<O, SO, L, kCabinet, kSkew>::kMinFrames)
            return RunWave<O, SO, L, kCabinet, kSkew>(block);
        // A deeper wave needs more frames; the shallow one may still do.
        if constexpr (kSkew > 1)
            if (block.frames >= WaveChain<O, SO, L, kCabinet>::kMinFrames) return RunWave<O, SO, L, kCabinet>(block);
    }
    return RunSchedule<typename Short::O, typename Short::SO, L, Short::kNV, Short::kSkew, kCabinet>(block);
}

template <class Fuzz, class Cabinet>
inline constexpr ChainKernels kKernelsOf = {
    &RunBlock<Fuzz, kFuzzTail, false>,
    &RunBlock<Cabinet, kCabinetTail, true>,
};

} // namespace mg::chain
