#pragma once
// The pedal's chain without aliasing: the same sections, clipper and mix, run
// faster than the host's rate (sections designed for the rate they run at):
// the first two sections, the clipper and the mix at four times the host's
// rate (twice above 64 kHz), the clipper and mix band-limited by their
// antiderivative (HqClipper.h); the sections after the clipper at twice the
// host's rate; then filtered back down to the host's rate. Every frequency comes out
// kLatency frames late, at every rate and setting; the bypass path is
// delayed as much, so that switching never jumps in time.
//
//   in1 + in0 ─► delay ─┬─► + noise ─► up ─► [0]─►[1]─► clipper and mix, ─► down ─► [2] … [11] × gain ([12] … [21]) ─► down ─► out
//                       │                              mean over each step   to 2×   the chain's own kernels
//                       └─────────────────────────────────────────────────────────────────────────────────────────────────► out (bypass)
//
// No allocation, lock or system call: every buffer is a member, and a host's
// block is worked through in slices of kSlice frames.
#include "BiquadBank.h"
#include "ChainKernels.h"
#include "HqResampling.h"

namespace mg {

class HqChain {
public:
    // Frames of delay at every sample rate.
    static constexpr int kLatency = 15;
    static constexpr int kSlice = 256;

    // A new rate designs the sections and starts everything from silence;
    // the same rate keeps every state.
    void Reset(double sampleRate);

    struct Settings {
        double drive;
        double attack;
        double outputGain;
        bool cabinet;
    };
    // Effect mode: noise entry i (wrapped) is added to frame i of the block,
    // as the exact chain adds it.
    void Process(const ChainKernels& kernels, const double* in0, const double* in1, double* out0, double* out1,
                 int frames, const double* noise, const Settings& settings);
    // Bypass: in1 + in0, kLatency frames late; the chain's states hold.
    void Bypass(const double* in0, const double* in1, double* out0, double* out1, int frames);

    int Oversampling() const { return factor; }

private:
    static constexpr int kMaxFast = HqUpsampler::kMaxFactor * kSlice;
    static constexpr int kMaxTail = 2 * kSlice;

    // Takes in1 + in0 of one slice into the dry line.
    void TakeDry(const double* in0, const double* in1, int frames);
    void ShiftDry(int frames);
    void ProcessSlice(const ChainKernels& kernels, const double* dry, double* out0, double* out1, int frames,
                      const double* noise, int noiseStart, const Settings& settings);
    void Head(int fastFrames);
    void ClipAndMix(int fastFrames, const Settings& settings);
    void ClearStates();

    double designedRate = 0.0;
    int factor = 4;
    int padding = 0; // frames of delay before the chain at this rate, to make kLatency
    int firstPhase = 0;
    int lastPhase = 0;
    HqUpsampler up;
    HqFirstHalving firstHalving;
    HqLastHalving lastHalving;
    BiquadBank head; // sections 0 and 1 at the fast rate, run here
    BiquadBank tail; // 2 to 21 at twice the host's rate, through the chain's kernels; 0 and 1 pass their input

    double dry[kLatency + kSlice] = {};
    double x[HqUpsampler::kHistory + kSlice] = {};
    double clean[1 + kMaxFast] = {};                           // after sections 0 and 1; the previous one first
    double mixed[HqFirstHalving::kHistory + kMaxFast] = {};    // clipped and mixed, at the fast rate
    double tailIn[kMaxTail] = {};                              // the same at twice the host's rate
    double chainOut[HqLastHalving::kHistory + kMaxTail] = {}; // after the tail
    // Scratch of the clipper's mean.
    double driven[1 + kMaxFast] = {};
    double integral[1 + kMaxFast] = {};
};

} // namespace mg
