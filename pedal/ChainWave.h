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
// Where the sections sit, four to a vector (AVX2, or AVX-512's 256-bit
// vectors), with the cabinet; without it only vectors 0 to 2:
//
//                  lane 0   lane 1   lane 2   lane 3
//    vector 0    x►[ 0 ]───►[ 1 ]  e►[ 2 ]───►[ 3 ]──┐    x: in1 + in0 + noise
//                ┌───────────────────────────────────┘    [1]──► clipper and mix ──► e
//    vector 1    └►[ 4 ]───►[ 5 ]───►[ 6 ]───►[ 7 ]──┐
//                ┌───────────────────────────────────┘
//    vector 2    └►[ 8 ]───►[ 9 ]───►[10 ]───►[11 ]──► × output gain ──► out
//                  (with the cabinet: [11]──► × output gain ──►[12], and on as above)
//    vector 3      [12 ]    [13 ]    [14 ]    [15 ]
//    vector 4      [16 ]    [17 ]    [18 ]    [19 ]
//    vector 5      [20 ]───►[21 ]──► out       (lanes 2 and 3 spare: all-zero sections)
//
// A vector takes its lanes 1 to 3 from its own lanes 0 to 2 and its lane 0
// from the top lane of the vector before (ShiftAcross); section 0 takes the
// input, section 2 the clipper's result (Insert), and with the cabinet
// section 12's lane is multiplied by the output gain on the way in.
//
// Sections 0 and 1 (the head) work kLead frames ahead of the tail, as in the
// pipeline; the clipper runs on groups of WS frames in between. The head's
// first kLead frames run in plain scalar code, so the wave starts with the
// tail's first frame. Blocks need at least kMinFrames frames, so that every
// section has started before the head runs out of frames.
//
// A block of 20 frames without the cabinet, skew 1 (kLead 8, depth 17):
// each cell is the frame a lane works on, · a lane that keeps its state
// (blended), a blank vector one that is not computed at all; "clipper" the
// group mixed after the tick, "out" the frame whose result is stored. Fill
// ticks start the sections one after another, steady ticks have a frame in
// every section, drain ticks finish them one after another:
//
//    tick │  s0  s1  s2  s3│  s4  s5  s6  s7│  s8  s9 s10 s11 │ clipper │ out
//         │    vector 0    │    vector 1    │    vector 2     │         │
//    ─────┼────────────────┼────────────────┼─────────────────┼─────────┼────
//       8 │   8   ·   0   ·│                │                 │         │     ◄ fill
//       9 │   9   8   1   0│                │                 │         │
//      10 │  10   9   2   1│   0   ·   ·   ·│                 │         │
//      11 │  11  10   3   2│   1   0   ·   ·│                 │         │
//      12 │  12  11   4   3│   2   1   0   ·│                 │  8–11   │
//      13 │  13  12   5   4│   3   2   1   0│                 │         │
//      14 │  14  13   6   5│   4   3   2   1│   0   ·   ·   · │         │
//      15 │  15  14   7   6│   5   4   3   2│   1   0   ·   · │         │
//      16 │  16  15   8   7│   6   5   4   3│   2   1   0   · │  12–15  │
//      17 │  17  16   9   8│   7   6   5   4│   3   2   1   0 │         │ 0
//      18 │  18  17  10   9│   8   7   6   5│   4   3   2   1 │         │ 1   ◄ steady
//      19 │  19  18  11  10│   9   8   7   6│   5   4   3   2 │         │ 2
//      20 │   ·  19  12  11│  10   9   8   7│   6   5   4   3 │  16–19  │ 3   ◄ drain
//      21 │   ·   ·  13  12│  11  10   9   8│   7   6   5   4 │         │ 4
//      22 │   ·   ·  14  13│  12  11  10   9│   8   7   6   5 │         │ 5
//      23 │   ·   ·  15  14│  13  12  11  10│   9   8   7   6 │         │ 6
//      24 │   ·   ·  16  15│  14  13  12  11│  10   9   8   7 │         │ 7
//      25 │   ·   ·  17  16│  15  14  13  12│  11  10   9   8 │         │ 8
//      26 │   ·   ·  18  17│  16  15  14  13│  12  11  10   9 │         │ 9
//      27 │   ·   ·  19  18│  17  16  15  14│  13  12  11  10 │         │ 10
//      28 │   ·   ·   ·  19│  18  17  16  15│  14  13  12  11 │         │ 11
//      29 │                │  19  18  17  16│  15  14  13  12 │         │ 12
//      30 │                │   ·  19  18  17│  16  15  14  13 │         │ 13
//      31 │                │   ·   ·  19  18│  17  16  15  14 │         │ 14
//      32 │                │   ·   ·   ·  19│  18  17  16  15 │         │ 15
//      33 │                │                │  19  18  17  16 │         │ 16
//      34 │                │                │   ·  19  18  17 │         │ 17
//      35 │                │                │   ·   ·  19  18 │         │ 18
//      36 │                │                │   ·   ·   ·  19 │         │ 19
//
// With a skew of 2 a section takes what the section before it computed two
// ticks earlier (its y2), so a tick no longer waits for the whole of the
// tick before: the wave is deeper (section 2 + j works on frame
// u − kLead − 2j, and section 0 one frame ahead of the tick), but where the
// vectors are few (the chain without the cabinet) its ticks cost about a
// quarter less.
#include <utility>

#include "ChainPipeline.h"

namespace mg::chain {

// The sections and the clipper's groups in the kernel file's vectors that
// the plan names.
template <class Isa, ChainMode kMode, WavePlan kPlan>
struct WaveChain {
    using O = OpsOf<Isa, kPlan.lanes>;
    static_assert(ChainVectorOps<O>);
    static constexpr int kSkew = kPlan.skew;
    static_assert(kSkew == 1 || kSkew == 2);
    static constexpr int L = kMode.tail;
    static constexpr bool kCabinet = kMode.cabinet;
    using V = typename O::V;
    static constexpr int W = O::W;
    static constexpr int WS = W;
    static constexpr int P = L + kTailFirst; // sections in the chain
    static constexpr int NV = (P + W - 1) / W;
    static_assert(NV * W <= BiquadBank::kSections, "the spare lanes read sections of the bank");
    // The tail takes frame f at tick f + kLead. Section 1 takes a frame one
    // tick after the tick's own (section 0 runs ahead instead, by the skew).
    static constexpr int kSectionOneLag = 1;
    static constexpr int kClipperTicks = 4;
    static constexpr int kLead = LeadTicks(WS, kSectionOneLag, kClipperTicks);
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
        TickVectors<kPhase, kIndex>(x, e, std::make_integer_sequence<int, NV>{});
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
    MG_CHAIN_INLINE V PushHead(V recent) const
    {
        const V p = O::Add(y1[kHeadVector], O::Set(BiquadBank::kDenormalOffset));
        return O::template ShiftInLane<kHeadLane>(recent, p);
    }
    // What the last section computed, before the offset, to *p (which needs
    // W − 1 doubles of room before it).
    MG_CHAIN_INLINE void StoreTail(double* p) const { O::template StoreLane<kOutLane>(p, y1[kOutVector]); }

private:
    // First what every vector hands on (where a computed vector reads it),
    // then every vector's step.
    template <Phase kPhase, int kIndex, int... g>
    MG_CHAIN_INLINE void TickVectors(double x, double e, std::integer_sequence<int, g...>)
    {
        V p[NV]{};
        (HandOn<kPhase, kIndex, g>(p), ...);
        (Step<g, LiveLanes(kPhase, kIndex, g)>(p, x, e), ...);
    }

    // What vector g hands on, if it or the vector after it is computed.
    template <Phase kPhase, int kIndex, int g>
    MG_CHAIN_INLINE void HandOn(V (&p)[NV]) const
    {
        if constexpr (LiveLanes(kPhase, kIndex, g) != 0 || (g + 1 < NV && LiveLanes(kPhase, kIndex, g + 1) != 0)) {
            constexpr int kFromY2 = HandOnFromY2(kPhase, kIndex, g);
            const V offset = O::Set(BiquadBank::kDenormalOffset);
            if constexpr (kSkew == 1) p[g] = O::Add(y1[g], offset);
            else if constexpr (kFromY2 == (1 << W) - 1) p[g] = O::Add(y2[g], offset);
            else p[g] = O::Add(O::template Blend<kFromY2>(y1[g], y2[g]), offset);
        }
    }

    // The state takes the new values in the lanes of kLanes only.
    template <int kLanes>
    struct KeepLanes {
        MG_CHAIN_INLINE V operator()(V old, V next) const { return O::template Blend<kLanes>(old, next); }
    };

    // Vector g's sections, in the lanes given (kAllLanes, or a mask; none: not computed).
    template <int g, int kLanes>
    MG_CHAIN_INLINE void Step(const V (&p)[NV], double x, double e)
    {
        if constexpr (kLanes != 0) {
            V in;
            if constexpr (g == 0) in = O::ShiftAcross(p[0], O::Set(x));
            else in = O::ShiftAcross(p[g], p[g - 1]);
            if constexpr (g == kTailVector) in = O::template Insert<kTailLane>(in, e);
            if constexpr (kCabinet && g == kGainVector) in = O::Mul(in, gain);
            if constexpr (kLanes == kAllLanes)
                StepSection<O>(b0[g], b1[g], b2[g], a1[g], a2[g], x1[g], x2[g], y1[g], y2[g], in);
            else
                StepSection<O>(b0[g], b1[g], b2[g], a1[g], a2[g], x1[g], x2[g], y1[g], y2[g], in, KeepLanes<kLanes>{});
        }
    }
};

// One effect block of kMinFrames to kLongBlock − 1 frames through the wave.
// At tick u the head's first section takes frame u + kSkew − 1, the tail's
// first section frame u − kLead, its last section finishes frame u − kDepth.
// The head's inputs are summed before and the outputs written after, so
// that a tick only loads and stores its own values: `xs` the head's inputs,
// `es` the clipper's results (frame f at f ^ (WS−1), as `recent` holds the
// newest frame in lane 0), `ys` what the last section computed.
template <class Isa, ChainMode kMode, WavePlan kPlan>
class WaveRun {
public:
    using Chain = WaveChain<Isa, kMode, kPlan>;

    static MG_CHAIN_INLINE bool Run(const ChainBlock& block)
    {
        // Beside the run, not in it: their addresses are taken, which would
        // keep the run's registers in memory.
        double inputs[kMost];
        double mixed[kMost + WS];
        double results[W - 1 + kMost];
        WaveRun run(block, inputs, mixed, results + W - 1);
        return run.All();
    }

private:
    using O = typename Chain::O;
    using SO = O; // the clipper's groups are the sections' vectors
    using SV = typename SO::V;
    static constexpr int kSkew = kPlan.skew;
    static constexpr int W = Chain::W;
    static constexpr int WS = Chain::WS;
    static constexpr int kLead = Chain::kLead;
    static constexpr int kDepth = Chain::kDepth;
    static constexpr int kAhead = kSkew - 1; // section 0's frames ahead of the tick
    static constexpr int kMost = kLongBlock - 1;
    static_assert(kMost < kNoiseTableSize, "a block takes noise entries from 0 without wrapping");

    MG_CHAIN_INLINE WaveRun(const ChainBlock& block, double* inputs, double* mixed, double* results)
        : io(block), frames(block.frames), xs(inputs), es(mixed), ys(results)
    {
    }

    MG_CHAIN_INLINE bool All()
    {
        for (int i = 0; i < frames; ++i) xs[i] = io.Input(i, i);
        chain.Load(io.bank, io.outputGain);
        EarlyHeadFrames();
        FillTicks(std::make_integer_sequence<int, Chain::kFillTicks>{});
        const int drainFrom = frames - kAhead;
        SteadyTicks(kLead + Chain::kFillTicks, drainFrom);
        DrainTicks(drainFrom, std::make_integer_sequence<int, Chain::kDrainTicks>{});
        Outputs();
        return chain.Store(io.bank);
    }

    MG_CHAIN_INLINE void Shape(int first) { SO::Store(es + first, io.mix(recent)); }
    MG_CHAIN_INLINE double Mixed(int f) const { return es[f ^ (WS - 1)]; }

    // The head's first frames, before the wave starts, whose states go
    // straight into the head's lanes (through the bank, the vector loads
    // would wait for the scalar stores).
    MG_CHAIN_INLINE void EarlyHeadFrames()
    {
        ScalarSection<O> head[2];
        head[0].Load(io.bank, 0);
        head[1].Load(io.bank, 1);
        for (int f = 0; f < kLead; ++f) {
            recent = SO::ShiftIn(recent, head[1].Run(head[0].Run(xs[f])));
            if (f % WS == WS - 1) Shape(f + 1 - WS);
        }
        for (int f = kLead; f < kLead + kAhead; ++f) head[0].Run(xs[f]);
        chain.SetHead(head);
    }

    // Section 1 hands on frame u − 1 at tick u: after ticks that are whole
    // groups of WS, the clipper takes the group before.
    MG_CHAIN_INLINE void After(int u)
    {
        recent = chain.PushHead(recent);
        if (u % WS == 0) {
            const int first = u - WS;
            if (first < frames) Shape(first);
        }
    }

    // Fill tick f (tick kLead + f), unrolled: the tail's sections start one
    // after another.
    template <int f>
    MG_CHAIN_INLINE void FillTick()
    {
        constexpr int u = kLead + f;
        chain.template Tick<Chain::kFill, f>(xs[u + kAhead], Mixed(u - kLead));
        if constexpr (f >= 1) recent = chain.PushHead(recent);
        if constexpr (f >= WS && f % WS == 0) Shape(u - WS);
        if constexpr (u >= kDepth) chain.StoreTail(ys + (u - kDepth));
    }
    template <int... f>
    MG_CHAIN_INLINE void FillTicks(std::integer_sequence<int, f...>)
    {
        (FillTick<f>(), ...);
    }

    // Steady ticks from u to `end`: single ones up to a whole group, then
    // groups of WS, in which the clipper's turn comes after the first;
    // single ones for the rest.
    MG_CHAIN_INLINE void SteadyTicks(int u, int end)
    {
        for (; u < end && u % WS != 0; ++u) SteadyTick(u);
        for (; u + WS <= end; u += WS) SteadyGroup(u, std::make_integer_sequence<int, WS>{});
        for (; u < end; ++u) SteadyTick(u);
    }
    MG_CHAIN_INLINE void SteadyTick(int u)
    {
        chain.template Tick<Chain::kSteady, 0>(xs[u + kAhead], Mixed(u - kLead));
        After(u);
        chain.StoreTail(ys + (u - kDepth));
    }
    // Tick u + k of a group from u (a whole group, as is kLead).
    template <int k>
    MG_CHAIN_INLINE void SteadyGroupTick(int u)
    {
        // Frame u + k − kLead sits at u − kLead + (WS − 1 − k).
        chain.template Tick<Chain::kSteady, 0>(xs[u + k + kAhead], es[u - kLead + (WS - 1 - k)]);
        recent = chain.PushHead(recent);
        if constexpr (k == 0) Shape(u - WS);
        chain.StoreTail(ys + (u + k - kDepth));
    }
    template <int... k>
    MG_CHAIN_INLINE void SteadyGroup(int u, std::integer_sequence<int, k...>)
    {
        (SteadyGroupTick<k>(u), ...);
    }

    // Drain tick i (tick drainFrom + i), unrolled: the sections finish one
    // after another. The tail's first section is done after kLead + kAhead
    // of these, the clipper's last group after WS + kAhead.
    template <int i>
    MG_CHAIN_INLINE void DrainTick(int drainFrom)
    {
        const int t = drainFrom + i;
        chain.template Tick<Chain::kDrain, i>(0.0, i < kLead + kAhead ? Mixed(t - kLead) : 0.0);
        if constexpr (i < WS + kAhead) After(t);
        chain.StoreTail(ys + (t - kDepth));
    }
    template <int... i>
    MG_CHAIN_INLINE void DrainTicks(int drainFrom, std::integer_sequence<int, i...>)
    {
        (DrainTick<i>(drainFrom), ...);
    }

    // The last section's results with its offset: what it handed on.
    MG_CHAIN_INLINE void Outputs()
    {
        for (int i = 0; i < frames; ++i) io.Emit(i, ys[i] + BiquadBank::kDenormalOffset);
    }

    const BlockIo<SO, kMode> io;
    const int frames;
    double* const xs;
    double* const es;
    double* const ys; // with W − 1 doubles of room before it
    SV recent = SO::Set(0.0);
    Chain chain;
};

} // namespace mg::chain
