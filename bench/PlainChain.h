#pragma once
// The pedal's effect chain written the plain way: per frame, section after
// section, each step as the formula reads. The yardstick for the pedal's
// kernels, in the benchmarks (speed) and in the tests (sound, bit for bit).
// Written apart from the pedal's own code on purpose: the section step, the
// clipper and the mix are its own, so that a slip in the pedal's shared
// versions shows as a difference instead of being copied into the witness.
// Only the chain's shape (which sections run where) comes from the pedal's
// ChainTopology.h.
#include <cmath>

#include "BiquadBank.h"
#include "ChainTopology.h"
#include "MarrowGrit.h"
#include "NoiseTable.h"

namespace mg::bench {

class PlainChain {
public:
    // Takes the pedal's coefficients, states, noise and engine values as they
    // stand; the pedal is not touched afterwards.
    explicit PlainChain(const MarrowGrit& pedal)
        : bank_(pedal.Bank()), noise_(pedal.NoiseTable()), outputGain_(pedal.OutputGain()), drive_(pedal.Drive()),
          attack_(pedal.Attack())
    {
    }

    // One effect-mode block, as the pedal's ProcessBlock with the effect on.
    void Process(const double* in0, const double* in1, double* out0, double* out1, int frames, bool cabinet)
    {
        int n = 0;
        for (int i = 0; i < frames; ++i) {
            const double x = (in1[i] + in0[i]) + noise_[n];
            if (++n == kNoiseTableSize) n = 0;
            double y = Fuzz(x);
            if (cabinet) y = Cabinet(y);
            out1[i] = y;
            out0[i] = y;
        }
        bool finite = true;
        for (int k = 0; k < kDesignedSections; ++k)
            finite = finite && std::isfinite(bank_.x1[k]) && std::isfinite(bank_.x2[k]) &&
                     std::isfinite(bank_.y1[k]) && std::isfinite(bank_.y2[k]);
        if (!finite)
            for (int k = 0; k < BiquadBank::kSections; ++k) bank_.x1[k] = bank_.x2[k] = bank_.y1[k] = bank_.y2[k] = 0.0;
    }

    const BiquadBank& Bank() const { return bank_; }

private:
    double Section(int k, double x)
    {
        const double y = bank_.b0[k] * x + bank_.b1[k] * bank_.x1[k] + bank_.b2[k] * bank_.x2[k] -
                         bank_.a1[k] * bank_.y1[k] - bank_.a2[k] * bank_.y2[k];
        bank_.x2[k] = bank_.x1[k];
        bank_.x1[k] = x;
        bank_.y2[k] = bank_.y1[k];
        bank_.y1[k] = y;
        return y + 1e-20;
    }

    static double SoftClip(double a, double level, double gain)
    {
        const double d = a * gain;
        const double m = std::fabs(d);
        if (m < 0.2) return 10.0 * level * d * (1.0 - m / 0.4);
        return d >= 0.2 ? 10.0 * level * 0.1 : 10.0 * level * -0.1;
    }

    static double Shaper(double s, double g)
    {
        const double y = SoftClip(s, 0.8, g);
        const double c = y < 0.0 ? 0.0 : (y < 0.3 ? y : 0.3);
        const double t = (s * g > -0.2) ? -0.2 : 0.02;
        return c + t;
    }

    double Cabinet(double x)
    {
        for (int k = kCabinetFirst; k <= kCabinetLast; ++k) x = Section(k, x);
        return x;
    }

    // Out of line, as the obvious code has it: with the whole chain inlined
    // into the frame loop GCC schedules it a third slower, and a baseline
    // should be the obvious code at its best.
    [[gnu::noinline]] double Fuzz(double x)
    {
        double s = x;
        for (int k = kFuzzFirst; k < kChainTopology.TailFirst(); ++k) s = Section(k, s);
        const double w = Shaper(s, drive_);
        double d = attack_ * 0.5;
        d = d < -0.5 ? -0.5 : (d > 0.5 ? 0.5 : d);
        double e = s * 2.0 * (0.5 - d) + (d + 0.5) * w;
        for (int k = kChainTopology.TailFirst(); k <= kFuzzLast; ++k) e = Section(k, e);
        return outputGain_ * e;
    }

    BiquadBank bank_;
    const double* noise_;
    double outputGain_;
    double drive_;
    double attack_;
};

} // namespace mg::bench
