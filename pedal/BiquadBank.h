#pragma once
// The pedal's second-order filter sections as parallel arrays: coefficients
// (already divided by a0) apart from the state they act on.
#include "ChainTopology.h"
#include "SectionStep.h"

namespace mg {

struct BiquadBank {
    static constexpr int kSections = kChainTopology.bankSections;
    // The value each section hands on carries this offset, which keeps the
    // recursive sections away from subnormal numbers on silence.
    static constexpr double kDenormalOffset = 1e-20;

    double b0[kSections] = {};
    double b1[kSections] = {};
    double b2[kSections] = {};
    double a1[kSections] = {};
    double a2[kSections] = {};
    double x1[kSections] = {};
    double x2[kSections] = {};
    double y1[kSections] = {};
    double y2[kSections] = {};

    // One direct-form-I step of section k; the state keeps y, the caller gets
    // y plus the offset.
    double RunSection(int k, double x)
    {
        using O = DoubleArithmetic<BiquadBank>;
        return StepSection<O>(b0[k], b1[k], b2[k], a1[k], a2[k], x1[k], x2[k], y1[k], y2[k], x) + kDenormalOffset;
    }

    void ClearBank();
    void ClearStates();
    // False once a non-finite input has reached any section's state (of the
    // first `sections`, or of sections first to last−1).
    bool StatesFinite(int sections) const { return StatesFinite(0, sections); }
    bool StatesFinite(int first, int last) const;
};

} // namespace mg
