#pragma once
// The chain for short blocks, as a wave: the sections in order, W to a
// vector (section p in lane p mod W of vector p / W). Every tick a section
// takes what the section before it handed on in the tick before, so the
// block's frames sweep through the vectors like a wave. Unlike the
// interleaved pipeline, whose every vector holds sections from the whole
// chain, a vector here holds neighbours: before the wave reaches it and
// after it has passed, it has no frame of the block and is not computed at
// all. Only the vector at the wave's front or back edge carries sections
// with and without a frame, and which lanes those are is known when the code
// is compiled, so the states are kept with constant blends instead of
// computed masks. In short blocks the filling and draining ticks are most of
// the work, which is where this gains.
//
// Sections 0 and 1 (the head) work kLead frames ahead of the tail, as in the
// pipeline; the clipper runs on groups of WS frames in between. The head's
// first kLead frames run in plain scalar code, so the wave starts with the
// tail's first frame. Blocks need at least kMinFrames frames, so that every
// section has started before the head runs out of frames.
//
// With a skew of 2 a section takes what the section before it computed two
// ticks earlier (its y2), so a tick no longer waits for the whole of the
// tick before: the wave is deeper, but where the vectors are few (the chain
// without the cabinet) its ticks cost about a quarter less.
#include <type_traits>

#include "ChainPipeline.h"

namespace mg::chain {

// The vector operations (O, section lanes), the clipper's (SO), L tail
// sections, cabinet or not, the ticks between a section and the next.
template <class O, class SO, int L, bool kCabinet, int kSkew = 1>
struct WaveChain {
    static_assert(kSkew == 1 || kSkew == 2);
    using V = typename O::V;
    static constexpr int W = O::W;
    static constexpr int WS = SO::W;
    static constexpr int P = L + kTailFirst; // sections in the chain
    static constexpr int NV = (P + W - 1) / W;
    static_assert(NV * W <= BiquadBank::kSections, "the spare lanes read sections of the bank");
    // The tail takes frame f at tick f + kLead; the clipper needs section
    // 1's output for its whole group and a few ticks of its own.
    static constexpr int kLead = (WS + 4 + WS - 1) / WS * WS;
    // At tick u section p takes frame u − Lag(p): section 0 runs kSkew − 1
    // frames ahead, so that section 1 still takes frame u − 1.
    static constexpr int Lag(int p)
    {
        return p == 0 ? 1 - kSkew : p == 1 ? 1 : kLead + kSkew * (p - kTailFirst);
    }
    static constexpr int kDepth = Lag(P - 1);
    static constexpr int kFillTicks = kDepth - kLead + 1; // till the last section starts
    static constexpr int kDrainTicks = kDepth + kSkew - 1; // from tick frames − (kSkew − 1)
    static constexpr int kMinFrames = kLead + kSkew * L;
    static constexpr int kTailVector = kTailFirst / W, kTailLane = kTailFirst % W;
    static constexpr int kGainPosition = kTailFirst + kGainTailIndex;
    static constexpr int kGainVector = kGainPosition / W, kGainLane = kGainPosition % W;
    static constexpr int kOutVector = (P - 1) / W, kOutLane = (P - 1) % W;
    static constexpr int kHeadVector = 1 / W, kHeadLane = 1 % W; // section 1

    // The ticks of a block: filling (tick kLead + f, f < kFillTicks: the
    // tail's sections start one after another), steady (every section has a
    // frame) and draining (tick frames − (kSkew − 1) + d, d < kDrainTicks:
    // the sections finish one after another).
    enum Phase { kFill, kSteady, kDrain };

    // Does section p have a frame at tick `i` of the phase? (The head's
    // first kLead frames ran before the wave.)
    static constexpr bool Live(Phase phase, int i, int p)
    {
        if (p >= P) return true; // a spare lane: whatever it does is never read
        switch (phase) {
        case kFill: return p == 0 || (p == 1 ? i >= 1 : i >= Lag(p) - kLead);
        case kSteady: return true;
        case kDrain: return i < Lag(p) + kSkew - 1;
        }
        return false;
    }
    static constexpr int LaneMask(Phase phase, int i, int g)
    {
        int mask = 0;
        for (int l = 0; l < W; ++l)
            if (Live(phase, i, g * W + l)) mask |= 1 << l;
        return mask;
    }
    // The lanes of vector g with a frame: kAllLanes, 0 (the vector is not
    // computed) or the mask of those with one. A vector of spare lanes only
    // counts as without.
    static constexpr int kAllLanes = -1;
    static constexpr int LiveLanes(Phase phase, int i, int g)
    {
        int real = 0;
        for (int p = g * W; p < g * W + W && p < P; ++p)
            if (Live(phase, i, p)) ++real;
        if (real == 0) return 0;
        const int mask = LaneMask(phase, i, g);
        return mask == (1 << W) - 1 ? kAllLanes : mask;
    }
    // With a skew of 2, the lanes of vector g whose section computed in the
    // tick before, so that its y2 is what it hands on; a section that has
    // finished hands on its y1, its last frame.
    static constexpr int HandOnFromY2(Phase phase, int i, int g)
    {
        if (phase != kDrain || i == 0) return (1 << W) - 1;
        return LaneMask(kDrain, i - 1, g);
    }

    V b0[NV], b1[NV], b2[NV], a1[NV], a2[NV];
    V x1[NV], x2[NV], y1[NV], y2[NV];
    V gain; // 1 in every lane but section 12's, which takes the output gain

    static constexpr int kWhole = P / W; // vectors without spare lanes
    // The spare lanes of the last vector.
    static constexpr int kSpare = (((1 << W) - 1) << (P - (NV - 1) * W)) & ((1 << W) - 1);

    MG_CHAIN_INLINE void Load(const BiquadBank& bank, double outputGain)
    {
        MG_CHAIN_UNROLL
        for (int g = 0; g < NV; ++g) {
            b0[g] = O::Load(bank.b0 + g * W);
            b1[g] = O::Load(bank.b1 + g * W);
            b2[g] = O::Load(bank.b2 + g * W);
            a1[g] = O::Load(bank.a1 + g * W);
            a2[g] = O::Load(bank.a2 + g * W);
            x1[g] = O::Load(bank.x1 + g * W);
            x2[g] = O::Load(bank.x2 + g * W);
            y1[g] = O::Load(bank.y1 + g * W);
            y2[g] = O::Load(bank.y2 + g * W);
        }
        // Spare lanes run as all-zero sections, whatever the bank holds there.
        if constexpr (kSpare != 0) {
            const V zero = O::Set(0.0);
            b0[NV - 1] = O::template Blend<kSpare>(b0[NV - 1], zero);
            b1[NV - 1] = O::template Blend<kSpare>(b1[NV - 1], zero);
            b2[NV - 1] = O::template Blend<kSpare>(b2[NV - 1], zero);
            a1[NV - 1] = O::template Blend<kSpare>(a1[NV - 1], zero);
            a2[NV - 1] = O::template Blend<kSpare>(a2[NV - 1], zero);
        }
        gain = O::template Insert<kGainLane>(O::Set(1.0), outputGain);
    }

    // Writes the states of the chain's sections back (not the spare lanes');
    // true when all of them are finite.
    MG_CHAIN_INLINE bool Store(BiquadBank& bank) const
    {
        MG_CHAIN_UNROLL
        for (int g = 0; g < kWhole; ++g) {
            O::Store(bank.x1 + g * W, x1[g]);
            O::Store(bank.x2 + g * W, x2[g]);
            O::Store(bank.y1 + g * W, y1[g]);
            O::Store(bank.y2 + g * W, y2[g]);
        }
        if constexpr (kWhole < NV) {
            double t[4][W];
            O::Store(t[0], x1[NV - 1]);
            O::Store(t[1], x2[NV - 1]);
            O::Store(t[2], y1[NV - 1]);
            O::Store(t[3], y2[NV - 1]);
            for (int p = kWhole * W; p < P; ++p) {
                bank.x1[p] = t[0][p - kWhole * W];
                bank.x2[p] = t[1][p - kWhole * W];
                bank.y1[p] = t[2][p - kWhole * W];
                bank.y2[p] = t[3][p - kWhole * W];
            }
        }
        // Spare lanes count not.
        const V zero = O::Set(0.0);
        V sum = zero;
        MG_CHAIN_UNROLL
        for (int g = 0; g < NV; ++g) {
            const V terms = StateCheck<O>(x1[g], x2[g], y1[g], y2[g]);
            sum = O::Add(sum, g < kWhole ? terms : O::template Blend<kSpare>(terms, zero));
        }
        return O::AllZero(sum);
    }

    // One tick: section 0 takes `x`, the tail's first section `e`, every
    // other section what the one before it handed on (its latest y plus the
    // offset). Vectors without a frame are left alone; in an edge vector
    // the lanes without one keep their states.
    template <Phase kPhase, int kIndex>
    MG_CHAIN_INLINE void Tick(double x, double e)
    {
        const V offset = O::Set(BiquadBank::kDenormalOffset);
        [&]<int... g>(std::integer_sequence<int, g...>) MG_CHAIN_LAMBDA_INLINE {
            // What each vector hands on, where a computed vector reads it.
            V p[NV]{};
            (
                [&]() MG_CHAIN_LAMBDA_INLINE {
                    if constexpr (LiveLanes(kPhase, kIndex, g) != 0 ||
                                  (g + 1 < NV && LiveLanes(kPhase, kIndex, g + 1) != 0)) {
                        constexpr int kFromY2 = HandOnFromY2(kPhase, kIndex, g);
                        if constexpr (kSkew == 1) p[g] = O::Add(y1[g], offset);
                        else if constexpr (kFromY2 == (1 << W) - 1) p[g] = O::Add(y2[g], offset);
                        else p[g] = O::Add(O::template Blend<kFromY2>(y1[g], y2[g]), offset);
                    }
                }(),
                ...);
            (Step<g, LiveLanes(kPhase, kIndex, g)>(p, x, e), ...);
        }(std::make_integer_sequence<int, NV>{});
    }

    template <int g, int kLanes>
    MG_CHAIN_INLINE void Step(const V (&p)[NV], double x, double e)
    {
        if constexpr (kLanes != 0) {
            V in;
            if constexpr (g == 0) in = O::ShiftAcross(p[0], O::Set(x));
            else in = O::ShiftAcross(p[g], p[g - 1]);
            if constexpr (g == kTailVector) in = O::template Insert<kTailLane>(in, e);
            if constexpr (kCabinet && g == kGainVector) in = O::Mul(in, gain);
            const V y = O::Sub(O::Sub(O::Add(O::Add(O::Mul(b0[g], in), O::Mul(b1[g], x1[g])), O::Mul(b2[g], x2[g])),
                                      O::Mul(a1[g], y1[g])),
                               O::Mul(a2[g], y2[g]));
            if constexpr (kLanes == kAllLanes) {
                x2[g] = x1[g];
                x1[g] = in;
                y2[g] = y1[g];
                y1[g] = y;
            } else {
                x2[g] = O::template Blend<kLanes>(x2[g], x1[g]);
                x1[g] = O::template Blend<kLanes>(x1[g], in);
                y2[g] = O::template Blend<kLanes>(y2[g], y1[g]);
                y1[g] = O::template Blend<kLanes>(y1[g], y);
            }
        }
    }

    // The states of sections 0 and 1 into their lanes.
    MG_CHAIN_INLINE void SetHead(const ScalarSection<O> (&head)[2])
    {
        static_assert(W >= 2, "sections 0 and 1 share the first vector");
        x1[0] = O::template Insert<1>(O::template Insert<0>(x1[0], head[0].x1), head[1].x1);
        x2[0] = O::template Insert<1>(O::template Insert<0>(x2[0], head[0].x2), head[1].x2);
        y1[0] = O::template Insert<1>(O::template Insert<0>(y1[0], head[0].y1), head[1].y1);
        y2[0] = O::template Insert<1>(O::template Insert<0>(y2[0], head[0].y2), head[1].y2);
    }

    // After a tick: what section 1 handed on enters `recent` (lane 0).
    MG_CHAIN_INLINE typename SO::V PushHead(typename SO::V recent) const
    {
        const V p = O::Add(y1[kHeadVector], O::Set(BiquadBank::kDenormalOffset));
        if constexpr (std::is_same_v<O, SO>) return O::template ShiftInLane<kHeadLane>(recent, p);
        else return SO::ShiftIn(recent, O::template Lane<kHeadLane>(p));
    }
    // What the last section computed, before the offset, to *p (which needs
    // W − 1 doubles of room before it).
    MG_CHAIN_INLINE void StoreTail(double* p) const { O::template StoreLane<kOutLane>(p, y1[kOutVector]); }
};

// One effect block of kMinFrames to kLongBlock − 1 frames. At tick u the
// head's first section takes frame u + kSkew − 1, the tail's first section
// frame u − kLead, its last section finishes frame u − kDepth. The head's inputs
// are summed before and the outputs written after, so that a tick only
// loads and stores its own values: `xs` the head's inputs, `es` the
// clipper's results (frame f at f ^ (WS−1), as `recent` holds the newest
// frame in lane 0), `ys` what the last section computed.
template <class O, class SO, int L, bool kCabinet, int kSkew = 1>
MG_CHAIN_INLINE bool RunWave(const ChainBlock& block)
{
    using SV = typename SO::V;
    using Chain = WaveChain<O, SO, L, kCabinet, kSkew>;
    constexpr int W = Chain::W;
    constexpr int WS = Chain::WS;
    constexpr int kLead = Chain::kLead;
    constexpr int kDepth = Chain::kDepth;
    constexpr int kAhead = kSkew - 1; // section 0's frames ahead of the tick
    constexpr int kMost = kLongBlock - 1;
    static_assert(kMost < kNoiseTableSize, "a block takes noise entries from 0 without wrapping");

    BiquadBank& bank = *block.bank;
    const int frames = block.frames;
    const double outputGain = block.outputGain;

    double d = block.attack * 0.5;
    d = d < -0.5 ? -0.5 : (d > 0.5 ? 0.5 : d);
    const SV drive = SO::Set(block.drive), clean = SO::Set(0.5 - d), clipped = SO::Set(d + 0.5), two = SO::Set(2.0);

    double xs[kMost];
    double es[kMost + WS];
    double ysRoom[W - 1 + kMost];
    double* const ys = ysRoom + W - 1;
    for (int i = 0; i < frames; ++i) xs[i] = (block.in1[i] + block.in0[i]) + block.noise[i];

    SV recent = SO::Set(0.0);
    auto shape = [&](int first) MG_CHAIN_LAMBDA_INLINE {
        const SV w = Shape<SO>(recent, drive);
        SO::Store(es + first, SO::Add(SO::Mul(SO::Mul(recent, two), clean), SO::Mul(clipped, w)));
    };
    auto mixed = [&](int f) MG_CHAIN_LAMBDA_INLINE { return es[f ^ (WS - 1)]; };

    // Every section from the bank; then the head's first frames, before the
    // wave starts, whose states go straight into the head's lanes (through
    // the bank, the vector loads would wait for the scalar stores).
    Chain chain;
    chain.Load(bank, outputGain);
    {
        ScalarSection<O> head[2];
        head[0].Load(bank, 0);
        head[1].Load(bank, 1);
        for (int f = 0; f < kLead; ++f) {
            recent = SO::ShiftIn(recent, head[1].Run(head[0].Run(xs[f])));
            if (f % WS == WS - 1) shape(f + 1 - WS);
        }
        for (int f = kLead; f < kLead + kAhead; ++f) head[0].Run(xs[f]);
        chain.SetHead(head);
    }

    // Section 1 hands on frame u − 1 at tick u: after ticks that are whole
    // groups of WS, the clipper takes the group before.
    auto after = [&](int u) MG_CHAIN_LAMBDA_INLINE {
        recent = chain.PushHead(recent);
        if (u % WS == 0) {
            const int first = u - WS;
            if (first < frames) shape(first);
        }
    };

    [&]<int... f>(std::integer_sequence<int, f...>) MG_CHAIN_LAMBDA_INLINE {
        (
            [&]() MG_CHAIN_LAMBDA_INLINE {
                constexpr int u = kLead + f;
                chain.template Tick<Chain::kFill, f>(xs[u + kAhead], mixed(u - kLead));
                if constexpr (f >= 1) recent = chain.PushHead(recent);
                if constexpr (f >= WS && f % WS == 0) shape(u - WS);
                if constexpr (u >= kDepth) chain.StoreTail(ys + (u - kDepth));
            }(),
            ...);
    }(std::make_integer_sequence<int, Chain::kFillTicks>{});

    // Steady ticks: single ones up to a whole group, then groups of WS, in
    // which the clipper's turn comes after the first.
    auto steady = [&](int u) MG_CHAIN_LAMBDA_INLINE {
        chain.template Tick<Chain::kSteady, 0>(xs[u + kAhead], mixed(u - kLead));
        after(u);
        chain.StoreTail(ys + (u - kDepth));
    };
    const int drainFrom = frames - kAhead;
    int u = kLead + Chain::kFillTicks;
    for (; u < drainFrom && u % WS != 0; ++u) steady(u);
    for (; u + WS <= drainFrom; u += WS) {
        [&]<int... k>(std::integer_sequence<int, k...>) MG_CHAIN_LAMBDA_INLINE {
            (
                [&]() MG_CHAIN_LAMBDA_INLINE {
                    // u and kLead are whole groups: frame u + k − kLead sits at
                    // u − kLead + (WS − 1 − k).
                    chain.template Tick<Chain::kSteady, 0>(xs[u + k + kAhead], es[u - kLead + (WS - 1 - k)]);
                    recent = chain.PushHead(recent);
                    if constexpr (k == 0) shape(u - WS);
                    chain.StoreTail(ys + (u + k - kDepth));
                }(),
                ...);
        }(std::make_integer_sequence<int, WS>{});
    }
    for (; u < drainFrom; ++u) steady(u);

    [&]<int... i>(std::integer_sequence<int, i...>) MG_CHAIN_LAMBDA_INLINE {
        (
            [&]() MG_CHAIN_LAMBDA_INLINE {
                const int t = drainFrom + i;
                // The tail's first section is done after kLead + kAhead of
                // these, the clipper's last group after WS + kAhead.
                chain.template Tick<Chain::kDrain, i>(0.0, i < kLead + kAhead ? mixed(t - kLead) : 0.0);
                if constexpr (i < WS + kAhead) after(t);
                chain.StoreTail(ys + (t - kDepth));
            }(),
            ...);
    }(std::make_integer_sequence<int, Chain::kDrainTicks>{});

    for (int i = 0; i < frames; ++i) {
        double y = ys[i] + BiquadBank::kDenormalOffset;
        if constexpr (!kCabinet) y = outputGain * y;
        block.out1[i] = y;
        block.out0[i] = y;
    }
    return chain.Store(bank);
}

} // namespace mg::chain
