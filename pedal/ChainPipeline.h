#pragma once
// The pedal's effect chain as a software pipeline across SIMD lanes;
// included by the kernel files, each with its own vector operations.
//
// Within a frame the sections run in series, but section k needs, for frame
// f, only its own past and section k−1's output for frame f. So all sections
// sit in the lanes of a few vectors and advance together, one step per tick,
// each on a different frame. Every lane does its section's arithmetic in the
// section's own order, so it computes bit for bit what the plain chain does.
//
// Where the sections sit, for the AVX2 kernel's fuzz stage (tail of L = 10
// sections, NV = 3 vectors of W = 4 lanes). Position j is lane j / NV of
// vector j mod NV; the tail's section 2 + j takes position j, the head
// (sections 0 and 1, before the clipper) two spare positions side by side:
//
//               lane 0      lane 1      lane 2      lane 3
//   vector 0  e►[ 2 ]   ┌──►[ 5 ]   ┌──►[ 8 ]   ┌──►[11 ]──► × output gain ──► out
//                 ▼     │     ▼     │     ▼     │
//   vector 1    [ 3 ]   │   [ 6 ]   │   [ 9 ]   │   [ 0 ]◄── in1 + in0 + noise
//                 ▼     │     ▼     │     ▼     │     ▼
//   vector 2    [ 4 ]───┘   [ 7 ]───┘   [10 ]───┘   [ 1 ]──► clipper and mix ──► e
//
// A position hands its output on to position j+1: the next vector's same
// lane, or from the last vector, vector 0 one lane up. So a tick needs one
// lane shift (ShiftIn, which also brings in the clipper's result e at lane
// 0), and the longest dependency from one tick to the next is a single
// section step. With the cabinet (L = 20) the output gain multiplies the
// input of section 12 instead, in its lane (Pipeline::gain), and the last
// section's output leaves as it is.
//
// Which frame each lane works on at tick u: the head's section 0 frame u,
// section 1 frame u − S, the tail's section 2 + j frame u − kLead − S·j. With
// a skew S > 1 the value handed on is the one from S ticks back, so the
// processor can overlap S ticks. The head's frames go through the clipper
// and the mix in groups of WS (the clipper's vector width) once section 1
// has handed on a group's last frame; the results wait in a ring until the
// tail's first section takes them, kLead ticks after the head. The head's
// first kLead frames run in plain scalar code before the first tick, so the
// pipeline starts with the tail's first frame.
//
// A block of 10 frames on that layout with skew 1 (kLead 8, depth 17): each
// cell is the frame a lane works on, · a lane that keeps its state as it is
// (no frame of the block), "clipper" the group of frames mixed after the
// tick (frames 0 to 7 went through it before the first tick), "out" the
// frame whose result leaves. The first and last ticks fill and drain:
//
//    tick │  s2  s5  s8 s11│  s3  s6  s9  s0│  s4  s7 s10  s1 │ clipper │ out
//         │    vector 0    │    vector 1    │    vector 2     │         │
//    ─────┼────────────────┼────────────────┼─────────────────┼─────────┼────
//       8 │   0   ·   ·   ·│   ·   ·   ·   8│   ·   ·   ·   · │         │
//       9 │   1   ·   ·   ·│   0   ·   ·   9│   ·   ·   ·   8 │         │
//      10 │   2   ·   ·   ·│   1   ·   ·   ·│   0   ·   ·   9 │         │
//      11 │   3   0   ·   ·│   2   ·   ·   ·│   1   ·   ·   · │         │
//      12 │   4   1   ·   ·│   3   0   ·   ·│   2   ·   ·   · │  8–11   │
//      13 │   5   2   ·   ·│   4   1   ·   ·│   3   0   ·   · │         │
//      14 │   6   3   0   ·│   5   2   ·   ·│   4   1   ·   · │         │
//      15 │   7   4   1   ·│   6   3   0   ·│   5   2   ·   · │         │
//      16 │   8   5   2   ·│   7   4   1   ·│   6   3   0   · │         │
//      17 │   9   6   3   0│   8   5   2   ·│   7   4   1   · │         │ 0
//      18 │   ·   7   4   1│   9   6   3   ·│   8   5   2   · │         │ 1
//      19 │   ·   8   5   2│   ·   7   4   ·│   9   6   3   · │         │ 2
//      20 │   ·   9   6   3│   ·   8   5   ·│   ·   7   4   · │         │ 3
//      21 │   ·   ·   7   4│   ·   9   6   ·│   ·   8   5   · │         │ 4
//      22 │   ·   ·   8   5│   ·   ·   7   ·│   ·   9   6   · │         │ 5
//      23 │   ·   ·   9   6│   ·   ·   8   ·│   ·   ·   7   · │         │ 6
//      24 │   ·   ·   ·   7│   ·   ·   9   ·│   ·   ·   8   · │         │ 7
//      25 │   ·   ·   ·   8│   ·   ·   ·   ·│   ·   ·   9   · │         │ 8
//      26 │   ·   ·   ·   9│   ·   ·   ·   ·│   ·   ·   ·   · │         │ 9
//
// Afterwards the bank holds exactly the states the plain chain leaves.
//
// The same layout with skew S = 2 (AVX2's long fuzz blocks; kLead 12, depth
// 30), the first ticks of a block of 16 frames. A position takes what the
// one before it computed two ticks back: each tick writes what it hands on
// to p[u mod 2] and reads what was written there two ticks before, so two
// neighbouring ticks have no dependency between them and the processor
// overlaps them. A section is two frames behind the one before it:
//
//    tick │  s2  s5  s8 s11│  s3  s6  s9  s0│  s4  s7 s10  s1 │ reads │ writes
//    ─────┼────────────────┼────────────────┼─────────────────┼───────┼───────
//      12 │   0   ·   ·   ·│   ·   ·   ·  12│   ·   ·   ·   · │ p[0]  │ p[0]
//      13 │   1   ·   ·   ·│   ·   ·   ·  13│   ·   ·   ·   · │ p[1]  │ p[1]
//      14 │   2   ·   ·   ·│   0   ·   ·  14│   ·   ·   ·  12 │ p[0]  │ p[0]
//      15 │   3   ·   ·   ·│   1   ·   ·  15│   ·   ·   ·  13 │ p[1]  │ p[1]
//      16 │   4   ·   ·   ·│   2   ·   ·   ·│   0   ·   ·  14 │ p[0]  │ p[0]
//      17 │   5   ·   ·   ·│   3   ·   ·   ·│   1   ·   ·  15 │ p[1]  │ p[1]
//      18 │   6   0   ·   ·│   4   ·   ·   ·│   2   ·   ·   · │ p[0]  │ p[0]
//      19 │   7   1   ·   ·│   5   ·   ·   ·│   3   ·   ·   · │ p[1]  │ p[1]
//      20 │   8   2   ·   ·│   6   0   ·   ·│   4   ·   ·   · │ p[0]  │ p[0]
//      21 │   9   3   ·   ·│   7   1   ·   ·│   5   ·   ·   · │ p[1]  │ p[1]
//
// Which positions compute at a tick is a mask only where some have no frame
// of the block. A position has one from its start (its lag; the head's
// also after the kLead frames it ran before the first tick) for `frames`
// ticks. The ticks go in unrolled groups of kGroup, each with the cheapest
// test that tells:
//
//    tick u  kLead            kSteadyBegin                frames        frames + kDepth
//              │                   │                         │                 │
//    section 0 ███████████████████████████████████████████████                 │
//    section 1 │ ████████████████████████████████████████████████              │
//    tail 0    █████████████████████████████████████████████████████████       │
//       ⋮      │  ╲ S ticks later each                       │   ╲             │
//    tail L−1  │         ██████████████████████████████████████████████████████
//              │                   │                         │                 │
//    groups    │ kStarted:         │ kAll: no mask           │ kUnfinished:    │
//              │ start ≤ u         │                         │ u − frames < lag│
//
// kSteadyBegin is the first group boundary at or after kDepth (the last
// section's start). Long blocks (kLongBlock frames and more) spend nearly
// all their ticks in kAll groups; in a block shorter than kSteadyBegin the
// two edges meet, and groups that need both tests take kSome.
//
// The ring between the clipper and the tail: kRing slots, a power of two of
// at least kLead + 2·WS. The clipper stores its WS results for the group
// from frame `first` (a multiple of WS) at slot first mod kRing in the
// order `recent` holds them, newest in lane 0, so frame f lies at slot
// (f ^ (WS − 1)) mod kRing; the tail reads it at tick f + kLead, before the
// slot comes round again. With WS = 4 and kRing 16:
//
//    slot    0  1  2  3   4  5  6  7   8  9 10 11  12 13 14 15
//    frame   3  2  1  0 │ 7  6  5  4 │11 10  9  8 │15 14 13 12
//           19 18 17 16 │23 22 21 20 │ …
//
// Frames 0 to 3 are written once section 1 has handed on frame 3 and read
// by the tail's first section at ticks 8 to 11 (kLead 8, skew 1); frames 16
// to 19 take their slots at tick 20.
//
// Everything here, the clipper (FuzzShaper.h) included, is a template over
// operations types tagged with a type from each kernel file's unnamed
// namespace: no function compiled for one instruction set can stand in for
// another's at link time.
#include <utility>

#include "BiquadBank.h"
#include "ChainInline.h"
#include "ChainKernels.h"
#include "ChainOps.h"
#include "ChainPlan.h"
#include "FuzzShaper.h"
#include "NoiseTable.h"
#include "SectionStep.h"

namespace mg::chain {

inline constexpr double kNever = 1e9; // lag of a spare lane

// Ticks from the head's first section taking frame f to the tail's first
// taking f's mixed value. f's group of WS frames is whole once section 1 has
// taken its last frame, up to WS − 1 ticks after f and sectionOneLag ticks
// behind section 0; the clipper then needs clipperTicks of its own. Rounded
// up to whole groups, so that the groups line up with the ticks.
constexpr int LeadTicks(int clipperLanes, int sectionOneLag, int clipperTicks)
{
    const int ticks = clipperLanes - 1 + sectionOneLag + clipperTicks;
    return (ticks + clipperLanes - 1) / clipperLanes * clipperLanes;
}

// The clipper and the clean/clipped mix on a vector of section 1's outputs:
// what the tail's first section takes.
template <class SO>
struct ClipperMix {
    using SV = typename SO::V;
    SV drive, clean, clipped, two;

    static MG_CHAIN_INLINE ClipperMix For(const ChainBlock& block)
    {
        const CleanClippedMix mix = MixFor(block.attack);
        return {SO::Set(block.drive), SO::Set(mix.clean), SO::Set(mix.clipped), SO::Set(2.0)};
    }
    MG_CHAIN_INLINE SV operator()(SV s) const
    {
        const SV w = Clipper<SO>::Shape(s, drive);
        return SO::Add(SO::Mul(SO::Mul(s, two), clean), SO::Mul(clipped, w));
    }
};

// What both runners take from the block and give back: the bank, the
// buffers, the noise, the mix.
template <class SO, ChainMode kMode>
struct BlockIo {
    BiquadBank& bank;
    const double* const in0;
    const double* const in1;
    double* const out0;
    double* const out1;
    const double* const noise;
    const int frames;
    const double outputGain;
    const ClipperMix<SO> mix;

    explicit MG_CHAIN_INLINE BlockIo(const ChainBlock& block)
        : bank(*block.bank), in0(block.in0), in1(block.in1), out0(block.out0), out1(block.out1), noise(block.noise),
          frames(block.frames), outputGain(block.outputGain), mix(ClipperMix<SO>::For(block))
    {
    }

    // In1 + in0 of frame i and noise entry n.
    MG_CHAIN_INLINE double Input(int i, int n) const { return (in1[i] + in0[i]) + noise[n]; }
    // What the last section handed on for frame i, to both outputs (without
    // the cabinet times the output gain).
    MG_CHAIN_INLINE void Emit(int i, double y) const
    {
        if constexpr (!kMode.cabinet) y = outputGain * y;
        out1[i] = y;
        out0[i] = y;
    }
};

// x·0 is 0 for every finite x and NaN otherwise: 0 in the lanes whose four
// states are all finite, NaN in the others.
template <class O>
MG_CHAIN_INLINE typename O::V StateCheck(typename O::V x1, typename O::V x2, typename O::V y1, typename O::V y2)
{
    const typename O::V zero = O::Set(0.0);
    return O::Add(O::Add(O::Mul(x1, zero), O::Mul(x2, zero)), O::Add(O::Mul(y1, zero), O::Mul(y2, zero)));
}

// The state takes the new values in the lanes of `live` only.
template <class O>
struct KeepLive {
    typename O::M live;
    MG_CHAIN_INLINE typename O::V operator()(typename O::V old, typename O::V next) const
    {
        return O::Select(live, next, old);
    }
};

// One section in plain scalars, for the head's first frames. (A template
// only so that each kernel file has its own.)
template <class O>
struct ScalarSection {
    using D = DoubleArithmetic<O>;
    double b0, b1, b2, a1, a2, x1, x2, y1, y2;

    MG_CHAIN_INLINE void Load(const BiquadBank& bank, int k)
    {
        b0 = bank.b0[k];
        b1 = bank.b1[k];
        b2 = bank.b2[k];
        a1 = bank.a1[k];
        a2 = bank.a2[k];
        x1 = bank.x1[k];
        x2 = bank.x2[k];
        y1 = bank.y1[k];
        y2 = bank.y2[k];
    }
    MG_CHAIN_INLINE double Run(double x)
    {
        return StepSection<D>(b0, b1, b2, a1, a2, x1, x2, y1, y2, x) + BiquadBank::kDenormalOffset;
    }
};

// What the places in the pipeline depend on.
struct PipelineShape {
    int tail;         // L: sections after the clipper
    int vectors;      // NV
    int lanes;        // W: of the sections' vectors
    int skew;         // S: ticks from a section to the next
    int clipperLanes; // WS: frames the clipper takes at a time
};

// Where everything sits.
template <PipelineShape kShape>
struct Layout {
    static constexpr int L = kShape.tail, NV = kShape.vectors, W = kShape.lanes, S = kShape.skew;
    static constexpr int WS = kShape.clipperLanes;
    static constexpr int kHead0 = [] {
        for (int j = L; j + 1 < NV * W; ++j)
            if (j % NV <= NV - 2) return j;
        return -1;
    }();
    static_assert(kHead0 >= 0, "no room for the head beside the tail");
    static_assert(WS % S == 0, "a group of ticks holds whole skews");
    static constexpr int kHeadVector = kHead0 % NV;
    static constexpr int kHeadLane = kHead0 / NV;
    static constexpr int kOutVector = (L - 1) % NV;
    static constexpr int kOutLane = (L - 1) / NV;
    static constexpr int kGainVector = kGainTailIndex % NV;
    static constexpr int kGainLane = kGainTailIndex / NV;
    // The tail takes frame f at tick f + kLead. Section 1 takes a frame S
    // ticks after section 0; the clipper's own ticks grow with the skew.
    static constexpr int kSectionOneLag = S;
    static constexpr int kClipperTicks = 2 * S + 2;
    static constexpr int kLead = LeadTicks(WS, kSectionOneLag, kClipperTicks);
    static constexpr int kDepth = kLead + S * (L - 1); // lag of the last section
    static constexpr int kRing = [] {
        int r = 1;
        while (r < kLead + 2 * WS) r *= 2;
        return r;
    }();

    // Bank section at position j, or -1 for a spare lane.
    static constexpr int Section(int j)
    {
        if (j < L) return kTailFirst + j;
        if (j == kHead0) return 0;
        if (j == kHead0 + 1) return 1;
        return -1;
    }
    // Frames behind the head's first section.
    static constexpr double Lag(int j)
    {
        if (j < L) return kLead + S * j;
        if (j == kHead0) return 0;
        if (j == kHead0 + 1) return S;
        return kNever;
    }
    // First frame of a block the position works on in the pipeline: the
    // head's first kLead frames run before it starts.
    static constexpr double First(int j) { return j == kHead0 || j == kHead0 + 1 ? kLead : 0; }

    // Per vector and lane: the bank section to read (spare lanes read an
    // all-zero section), the section to write back (-1: none), and the ticks
    // at which the lane has a frame of the block: lag + first ≤ u and
    // u − frames < lag.
    struct Tables {
        int read[NV][W];
        int write[NV][W];
        double lag[NV][W];
        double start[NV][W];
    };
    static constexpr Tables kTables = [] {
        Tables t{};
        for (int g = 0; g < NV; ++g)
            for (int l = 0; l < W; ++l) {
                const int j = g + NV * l;
                t.read[g][l] = Section(j) < 0 ? kZeroSection : Section(j);
                t.write[g][l] = Section(j);
                t.lag[g][l] = Lag(j);
                t.start[g][l] = Lag(j) + First(j);
            }
        return t;
    }();
};

// The sections' state in vectors of O, the clipper's groups in vectors of SO.
template <ChainVectorOps O, ChainVectorOps SO, ChainMode kMode, PipelinePlan kPlan>
struct Pipeline {
    using V = typename O::V;
    using M = typename O::M;
    static constexpr int W = O::W, NV = kPlan.vectors, S = kPlan.skew;
    static constexpr bool kCabinet = kMode.cabinet;
    using Map = Layout<PipelineShape{.tail = kMode.tail, .vectors = NV, .lanes = W, .skew = S, .clipperLanes = SO::W}>;

    V b0[NV], b1[NV], b2[NV], a1[NV], a2[NV];
    V x1[NV], x2[NV], y1[NV], y2[NV];
    V p[S][NV]; // with S > 1: what each position handed on in the last S ticks
    V lag[NV], start[NV];
    V gain; // 1 in every lane but section 12's, which takes the output gain

    // The bank's coefficients and states; the head's lanes take theirs from
    // `head` (sections 0 and 1 after the scalar frames), and have no frame
    // at all when `headFrames` is false.
    MG_CHAIN_INLINE void Load(const BiquadBank& bank, double outputGain, const ScalarSection<O> (&head)[2], bool headFrames)
    {
        MG_CHAIN_UNROLL
        for (int g = 0; g < NV; ++g) {
            const int* const k = Map::kTables.read[g];
            b0[g] = O::Gather(bank.b0, k);
            b1[g] = O::Gather(bank.b1, k);
            b2[g] = O::Gather(bank.b2, k);
            a1[g] = O::Gather(bank.a1, k);
            a2[g] = O::Gather(bank.a2, k);
            x1[g] = O::Gather(bank.x1, k);
            x2[g] = O::Gather(bank.x2, k);
            y1[g] = O::Gather(bank.y1, k);
            y2[g] = O::Gather(bank.y2, k);
            lag[g] = O::Load(Map::kTables.lag[g]);
            start[g] = O::Load(Map::kTables.start[g]);
            for (int s = 0; s < S; ++s) p[s][g] = O::Set(0.0);
        }
        constexpr int h0 = Map::kHeadVector, h1 = Map::kHeadVector + 1, l = Map::kHeadLane;
        x1[h0] = O::template Insert<l>(x1[h0], head[0].x1);
        x2[h0] = O::template Insert<l>(x2[h0], head[0].x2);
        y1[h0] = O::template Insert<l>(y1[h0], head[0].y1);
        y2[h0] = O::template Insert<l>(y2[h0], head[0].y2);
        x1[h1] = O::template Insert<l>(x1[h1], head[1].x1);
        x2[h1] = O::template Insert<l>(x2[h1], head[1].x2);
        y1[h1] = O::template Insert<l>(y1[h1], head[1].y1);
        y2[h1] = O::template Insert<l>(y2[h1], head[1].y2);
        if (!headFrames) {
            lag[h0] = O::template Insert<l>(lag[h0], kNever);
            lag[h1] = O::template Insert<l>(lag[h1], kNever);
            start[h0] = O::template Insert<l>(start[h0], kNever);
            start[h1] = O::template Insert<l>(start[h1], kNever);
        }
        double t[W];
        for (int i = 0; i < W; ++i) t[i] = i == Map::kGainLane ? outputGain : 1.0;
        gain = O::Load(t);
    }

    // Writes the states back; true when all of them are finite.
    MG_CHAIN_INLINE bool Store(BiquadBank& bank) const
    {
        O::ScatterAll(bank.x1, x1, Map::kTables.write);
        O::ScatterAll(bank.x2, x2, Map::kTables.write);
        O::ScatterAll(bank.y1, y1, Map::kTables.write);
        O::ScatterAll(bank.y2, y2, Map::kTables.write);
        const V zero = O::Set(0.0);
        V sum = zero;
        MG_CHAIN_UNROLL
        for (int g = 0; g < NV; ++g) {
            // Spare lanes count not.
            const V terms = StateCheck<O>(x1[g], x2[g], y1[g], y2[g]);
            sum = O::Add(sum, O::Select(O::Lt(O::Load(Map::kTables.lag[g]), O::Set(kNever)), terms, zero));
        }
        return O::AllZero(sum);
    }

    // Which positions have a frame of the block at a tick: all of them
    // (kAll); those started (start ≤ u; while the head still takes frames);
    // those not finished (u − frames < lag; once all have started and the
    // head has had frames); or both tests (kSome).
    enum Mask { kAll, kStarted, kUnfinished, kSome };

    // Tick u ≡ kPhase (mod S): the tail's first lane takes `e`, the head's
    // first section `x`, every other position what the position before it
    // handed on S ticks ago. Only the positions with a frame of the block
    // update their states.
    template <int kMask, int kPhase>
    MG_CHAIN_INLINE void Tick(double e, double x, int u = 0, int frames = 0)
    {
        // With skew 1 what a position handed on in the last tick is its y1 plus
        // the offset (a position whose successor is live was live itself),
        // which spares the registers of p.
        const V offset = O::Set(BiquadBank::kDenormalOffset);
        V in[NV];
        if constexpr (S == 1) {
            in[0] = O::ShiftIn(O::Add(y1[NV - 1], offset), e);
            MG_CHAIN_UNROLL
            for (int g = 1; g < NV; ++g) in[g] = O::Add(y1[g - 1], offset);
        } else {
            in[0] = O::ShiftIn(p[kPhase][NV - 1], e);
            MG_CHAIN_UNROLL
            for (int g = 1; g < NV; ++g) in[g] = p[kPhase][g - 1];
        }
        in[Map::kHeadVector] = O::template Insert<Map::kHeadLane>(in[Map::kHeadVector], x);
        if constexpr (kCabinet) in[Map::kGainVector] = O::Mul(in[Map::kGainVector], gain);

        // Live: u − frames < lag and start ≤ u; both are whole numbers.
        V lo{}, hi{};
        if constexpr (kMask == kUnfinished || kMask == kSome) lo = O::Set(static_cast<double>(u - frames) + 0.5);
        if constexpr (kMask == kStarted || kMask == kSome) hi = O::Set(static_cast<double>(u) + 0.5);
        MG_CHAIN_UNROLL
        for (int g = 0; g < NV; ++g) {
            V y;
            if constexpr (kMask == kAll) {
                y = StepSection<O>(b0[g], b1[g], b2[g], a1[g], a2[g], x1[g], x2[g], y1[g], y2[g], in[g]);
            } else {
                M live;
                if constexpr (kMask == kStarted) live = O::Lt(start[g], hi);
                else if constexpr (kMask == kUnfinished) live = O::Gt(lag[g], lo);
                else live = O::Live(lag[g], start[g], lo, hi);
                y = StepSection<O>(b0[g], b1[g], b2[g], a1[g], a2[g], x1[g], x2[g], y1[g], y2[g], in[g],
                                   KeepLive<O>{live});
            }
            if constexpr (S > 1) p[kPhase][g] = O::Add(y, offset);
        }
    }

    // After a tick of phase kPhase: what section 1 handed on.
    template <int kPhase>
    MG_CHAIN_INLINE double HeadOutput() const
    {
        if constexpr (S == 1)
            return O::template Lane<Map::kHeadLane>(y1[Map::kHeadVector + 1]) + BiquadBank::kDenormalOffset;
        else return O::template Lane<Map::kHeadLane>(p[kPhase][Map::kHeadVector + 1]);
    }
    // After a tick of phase kPhase: what the last section handed on.
    template <int kPhase>
    MG_CHAIN_INLINE double TailOutput() const
    {
        if constexpr (S == 1)
            return O::template Lane<Map::kOutLane>(y1[Map::kOutVector]) + BiquadBank::kDenormalOffset;
        else return O::template Lane<Map::kOutLane>(p[kPhase][Map::kOutVector]);
    }
};

// One effect block through the pipeline. At tick u the head's first section
// takes frame u, the tail's first frame u − kLead, its last section finishes
// frame u − kDepth. `recent` holds section 1's latest outputs, newest in
// lane 0: the clipper's next input, built in a register (a vector load of
// values just stored one by one would wait for the stores to reach the
// cache). The clipper's results go to the ring in the same lane order: frame
// f at slot f ^ (WS−1).
template <class Isa, ChainMode kMode, PipelinePlan kPlan>
class PipelineRun : private BlockIo<OpsOf<Isa, kPlan.clipper>, kMode> {
public:
    static MG_CHAIN_INLINE bool Run(const ChainBlock& block)
    {
        // Beside the run, not in it: its address is taken, which would keep
        // the run's registers in memory.
        double slots[kRing] = {};
        PipelineRun run(block, slots);
        return run.All();
    }

private:
    using O = OpsOf<Isa, kPlan.sections>;
    using SO = OpsOf<Isa, kPlan.clipper>;
    using SV = typename SO::V;
    // The block's members as the runner's own (a base, not a member: reached
    // through a member, the long blocks' steady loop took 1 to 3 % more
    // instructions).
    using Io = BlockIo<SO, kMode>;
    using Io::bank;
    using Io::Emit;
    using Io::frames;
    using Io::mix;
    using Io::outputGain;
    static constexpr int S = kPlan.skew;
    static constexpr int WS = SO::W;
    using Chain = Pipeline<O, SO, kMode, kPlan>;
    using Map = typename Chain::Map;
    static constexpr int kLead = Map::kLead;
    static constexpr int kDepth = Map::kDepth;
    static constexpr int kRing = Map::kRing;
    // Ticks per unrolled group: enough for the compiler to rename the
    // rotating states instead of moving them.
    static constexpr int kGroup = WS > 8 ? WS : 8;
    // The first group in which every position has a frame of the block: the
    // first at or after the pipeline's depth.
    static constexpr int kSteadyBegin = kLead + (kDepth - kLead + kGroup - 1) / kGroup * kGroup;

    MG_CHAIN_INLINE PipelineRun(const ChainBlock& block, double* slots)
        : Io(block), ticks(block.frames + kDepth), ring(slots)
    {
    }

    MG_CHAIN_INLINE bool All()
    {
        ScalarSection<O> head[2];
        EarlyHeadFrames(head);
        chain.Load(bank, outputGain, head, frames > kLead);

        int u = kLead;
        for (; u < kSteadyBegin && u < ticks; u += kGroup) MaskedGroup(u);
        for (; u + kGroup <= frames; u += kGroup) Group<Chain::kAll>(u);
        for (; u < ticks; u += kGroup) MaskedGroup(u);

        return chain.Store(bank);
    }

    // In1 + in0 + noise of frame i, the noise table wrapped past its end.
    MG_CHAIN_INLINE double Input(int i)
    {
        const double x = Io::Input(i, n);
        if (++n == kNoiseTableSize) n = 0;
        return x;
    }
    // The clipper and the mix for the WS frames from `first` (a multiple of
    // WS), which are the WS latest in `recent`.
    MG_CHAIN_INLINE void Shape(int first) { SO::Store(ring + (first & (kRing - 1)), mix(recent)); }
    MG_CHAIN_INLINE double Mixed(int f) const { return ring[(f ^ (WS - 1)) & (kRing - 1)]; }
    // The head's first kLead frames (or all of a shorter block's), before the
    // pipeline starts, and their groups through the clipper.
    MG_CHAIN_INLINE void EarlyHeadFrames(ScalarSection<O> (&head)[2])
    {
        head[0].Load(bank, 0);
        head[1].Load(bank, 1);
        const int early = frames < kLead ? frames : kLead;
        for (int f = 0; f < early; ++f) {
            recent = SO::ShiftIn(recent, head[1].Run(head[0].Run(Input(f))));
            if (f % WS == WS - 1) Shape(f + 1 - WS);
        }
        if (early % WS != 0) {
            // A short block: line the last group up in `recent` as if it were whole.
            for (int f = early; f % WS != 0; ++f) recent = SO::ShiftIn(recent, 0.0);
            Shape(early / WS * WS);
        }
    }

    // Tick u of phase kPhase = u mod S, the steady way or a masked one.
    template <int kMask, int kPhase>
    MG_CHAIN_INLINE void Tick(int u)
    {
        if constexpr (kMask != Chain::kAll) {
            const double x = u < frames ? Input(u) : 0.0;
            chain.template Tick<kMask, kPhase>(Mixed(u - kLead), x, u, frames);
            if (u >= kLead + S) recent = SO::ShiftIn(recent, chain.template HeadOutput<kPhase>());
            if (u >= kDepth) Emit(u - kDepth, chain.template TailOutput<kPhase>());
        } else {
            chain.template Tick<Chain::kAll, kPhase>(Mixed(u - kLead), Input(u));
            recent = SO::ShiftIn(recent, chain.template HeadOutput<kPhase>());
            Emit(u - kDepth, chain.template TailOutput<kPhase>());
        }
    }

    // Tick k of a group from u0 (a multiple of WS). Tick k ≡ S − 1 (mod WS)
    // finishes section 1's work on the WS frames before, which then go
    // through the clipper.
    template <int kMask, int k>
    MG_CHAIN_INLINE void GroupTick(int u0)
    {
        if constexpr (kMask != Chain::kAll) {
            if (u0 + k < ticks) Tick<kMask, k % S>(u0 + k);
        } else {
            Tick<Chain::kAll, k % S>(u0 + k);
        }
        if constexpr (k % WS == S - 1) {
            const int first = u0 + k - (S - 1) - WS;
            if (kMask == Chain::kAll || (first >= kLead && first < frames)) Shape(first);
        }
    }
    template <int kMask, int... k>
    MG_CHAIN_INLINE void GroupTicks(int u0, std::integer_sequence<int, k...>)
    {
        (GroupTick<kMask, k>(u0), ...);
    }
    // kGroup ticks from u0, unrolled.
    template <int kMask>
    MG_CHAIN_INLINE void Group(int u0)
    {
        GroupTicks<kMask>(u0, std::make_integer_sequence<int, kGroup>{});
    }
    // A group in which some positions have no frame: with the cheapest test
    // that tells which.
    MG_CHAIN_INLINE void MaskedGroup(int u0)
    {
        if (u0 + kGroup <= frames) Group<Chain::kStarted>(u0);
        else if (u0 >= kDepth && frames > kLead) Group<Chain::kUnfinished>(u0);
        else Group<Chain::kSome>(u0);
    }

    const int ticks;
    double* const ring; // kRing entries
    SV recent = SO::Set(0.0);
    int n = 0; // noise entry
    Chain chain;
};

// The chain frame by frame, section after section, on the bank itself: for
// blocks too short to fill a narrow pipeline with many vectors. The stage is
// kept out of line, which schedules better than one loop with it all.
template <class O>
struct Plain {
    using D = DoubleArithmetic<O>;

    static MG_CHAIN_INLINE double Section(BiquadBank& b, int k, double x)
    {
        return StepSection<D>(b.b0[k], b.b1[k], b.b2[k], b.a1[k], b.a2[k], b.x1[k], b.x2[k], b.y1[k], b.y2[k], x) +
               BiquadBank::kDenormalOffset;
    }

    template <ChainMode kMode>
    static MG_CHAIN_NOINLINE double Frame(BiquadBank& b, double x, const ChainBlock& block, double clean,
                                          double clipped)
    {
        const double s = Section(b, 1, Section(b, 0, x));
        double e = ClipperMix<ScalarOps<O>>{block.drive, clean, clipped, 2.0}(s);
        for (int k = kTailFirst; k < kTailFirst + kMode.tail; ++k) {
            if (kMode.cabinet && k == kTailFirst + kGainTailIndex) e = block.outputGain * e;
            e = Section(b, k, e);
        }
        return kMode.cabinet ? e : block.outputGain * e;
    }

    template <ChainMode kMode>
    static MG_CHAIN_INLINE bool Run(const ChainBlock& block)
    {
        BiquadBank& b = *block.bank;
        const CleanClippedMix mix = MixFor(block.attack);
        int n = 0;
        for (int i = 0; i < block.frames; ++i) {
            const double x = (block.in1[i] + block.in0[i]) + block.noise[n];
            if (++n == kNoiseTableSize) n = 0;
            const double y = Frame<kMode>(b, x, block, mix.clean, mix.clipped);
            block.out1[i] = y;
            block.out0[i] = y;
        }
        return b.StatesFinite(0, kTailFirst + kMode.tail);
    }
};

} // namespace mg::chain
