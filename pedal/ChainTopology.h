#pragma once
// The effect chain's shape, stated once: which sections run where, where the
// clipper and the output gain enter, and how large the bank is. The design,
// the bank, every kernel, the plain chain of the benchmarks and the tests
// take their section numbers from here.
//
//   in1 + in0 + noise
//     │
//     ▼
//   [0]─►[1]─► clipper, clean/clipped mix ─►[2]─►[3]─► … ─►[11]─► × output gain ─┬─────────────────► out
//   head: before the clipper                 tail of the fuzz stage                 │   (cabinet off)
//                                                                                   └─►[12]─► … ─►[21]─► out
//                                                                                      the cabinet  (cabinet on)
//
// Every section hands on its output plus the denormal offset, the last of
// each stage included. The output gain multiplies what section 11 handed on,
// so with the cabinet it is the input of section 12, and the cabinet's
// output leaves as it is.
//
// Sections 22 to 31 are never designed and stay zero. The bank is padded to
// four of the widest vectors (eight lanes each) so that a kernel can read
// any vector's worth of sections from it, and a lane with no section of its
// own can read an all-zero one, which leaves that lane's arithmetic finite.

namespace mg {

struct ChainTopology {
    int headSections;    // before the clipper, from section 0
    int fuzzSections;    // the fuzz stage, head included
    int cabinetSections; // after the fuzz stage
    int widestLanes;     // doubles in the widest vector of any kernel
    int bankSections;    // designed sections and padding

    constexpr int TailFirst() const { return headSections; }
    constexpr int FuzzLast() const { return fuzzSections - 1; }
    constexpr int CabinetFirst() const { return fuzzSections; }
    constexpr int CabinetLast() const { return fuzzSections + cabinetSections - 1; }
    constexpr int Designed() const { return fuzzSections + cabinetSections; }
    // Sections after the clipper, without and with the cabinet.
    constexpr int FuzzTail() const { return fuzzSections - headSections; }
    constexpr int CabinetTail() const { return Designed() - headSections; }
    // With the cabinet, the tail section (counted from the first after the
    // clipper) whose input the output gain multiplies.
    constexpr int GainTailIndex() const { return CabinetFirst() - TailFirst(); }
    // Never designed: what a lane without a section reads.
    constexpr int ZeroSection() const { return bankSections - 1; }
};

inline constexpr ChainTopology kChainTopology{
    .headSections = 2,
    .fuzzSections = 12,
    .cabinetSections = 10,
    .widestLanes = 8,
    .bankSections = 32,
};
static_assert(kChainTopology.bankSections % kChainTopology.widestLanes == 0, "whole vectors of the widest kind");
static_assert(kChainTopology.bankSections == 4 * kChainTopology.widestLanes,
              "the widest kernel reads the bank as four vectors");
static_assert(kChainTopology.ZeroSection() >= kChainTopology.Designed(), "an all-zero section for spare lanes");

// The stages' first and last sections, by name.
inline constexpr int kFuzzFirst = 0;
inline constexpr int kFuzzLast = kChainTopology.FuzzLast();
inline constexpr int kCabinetFirst = kChainTopology.CabinetFirst();
inline constexpr int kCabinetLast = kChainTopology.CabinetLast();
inline constexpr int kDesignedSections = kChainTopology.Designed();

} // namespace mg
