#pragma once
// The chain's two stages one frame at a time on a pedal's own bank, section
// after section, as the tests reach into it: the fuzz stage (sections 0 to
// 11 with the clipper and the mix, times the output gain) and the cabinet
// (sections 12 to 21).
#include "FuzzShaper.h"
#include "MarrowGrit.h"
#include "ChainTopology.h"

namespace mg::test {

// The pedal's bank is its own (not const) member; the tests step it in place.
inline BiquadBank& BankOf(MarrowGrit& pedal) { return const_cast<BiquadBank&>(pedal.Bank()); }

inline double FuzzStage(MarrowGrit& pedal, double x)
{
    BiquadBank& bank = BankOf(pedal);
    double s = x;
    for (int k = kFuzzFirst; k < kChainTopology.TailFirst(); ++k) s = bank.RunSection(k, s);
    const double w = FuzzShaper(s, pedal.Drive());
    const CleanClippedMix mix = MixFor(pedal.Attack());
    double e = s * 2.0 * mix.clean + mix.clipped * w;
    for (int k = kChainTopology.TailFirst(); k <= kFuzzLast; ++k) e = bank.RunSection(k, e);
    return pedal.OutputGain() * e;
}

inline double CabinetStage(MarrowGrit& pedal, double x)
{
    BiquadBank& bank = BankOf(pedal);
    for (int k = kCabinetFirst; k <= kCabinetLast; ++k) x = bank.RunSection(k, x);
    return x;
}

} // namespace mg::test
