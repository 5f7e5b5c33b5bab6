#include "SectionDesign.h"

#include <cmath>
#include <numbers>

namespace mg {

namespace {
using enum SectionType;
} // namespace

const SectionPlan kSectionPlans[kDesignedSections] = {
    // fuzz stage: around the clipper
    {HighPass, 95, 0, 1.46},
    {LowPass, 320, 0, 1.46},
    // fuzz stage: tone after the clipper
    {LowShelf, 140, -30, 0},
    {Peaking, 200, -7.5, 2.3},
    {Peaking, 500, -12.3, 2.8},
    {Peaking, 300, -1.8, 0.8},
    {Peaking, 1760, 6.3, 1.3},
    {Peaking, 2220, -12, 0.38},
    {Peaking, 7000, -4.8, 0.8},
    {Peaking, 3900, 13.8, 2.0},
    {HighShelf, 14100, -30, 0},
    {HighShelf, 11200, -21.3, 0},
    // cabinet
    {LowShelf, 200, -26.4, 0},
    {Peaking, 1500, 0, 1.0},
    {Peaking, 500, -7.2, 1.0},
    {Peaking, 850, -10.2, 0.2},
    {Peaking, 1200, -8.7, 0.2},
    {Peaking, 1800, -19.2, 0.2},
    {Peaking, 2200, 11.7, 1.0},
    {Peaking, 3200, -17.1, 0.6},
    {Peaking, 5800, -21.6, 0.6},
    {HighShelf, 10200, -30, 0},
};

void DesignSection(BiquadBank& bank, int k, const SectionPlan& plan, double sampleRate)
{
    // A corner at or above Nyquist has nothing to act on at this rate, and its
    // formulas would place a pole on or outside the unit circle: pass through.
    if (!(plan.frequency < sampleRate / 2.0)) {
        bank.b0[k] = 1.0;
        bank.b1[k] = bank.b2[k] = bank.a1[k] = bank.a2[k] = 0.0;
        return;
    }
    const double twoPiF0 = 2.0 * std::numbers::pi * plan.frequency;
    const double halfLn2Bw = std::numbers::ln2 / 2.0 * plan.bandwidth;
    const double w0 = twoPiF0 / sampleRate;
    const double sn = std::sin(w0);
    const double cs = std::cos(w0);
    const double A = std::pow(10.0, plan.gainDb / 40.0);
    const double alpha = sn * std::sinh(halfLn2Bw * w0 / sn);

    double b0 = 0, b1 = 0, b2 = 0, a0 = 1, a1 = 0, a2 = 0;
    switch (plan.type) {
    case HighPass:
        b0 = (1 + cs) / 2;
        b1 = -(1 + cs);
        b2 = (1 + cs) / 2;
        a0 = 1 + alpha;
        a1 = -2 * cs;
        a2 = 1 - alpha;
        break;
    case LowPass:
        b0 = (1 - cs) / 2;
        b1 = 1 - cs;
        b2 = (1 - cs) / 2;
        a0 = 1 + alpha;
        a1 = -2 * cs;
        a2 = 1 - alpha;
        break;
    case Peaking:
        b0 = 1 + alpha * A;
        b1 = -2 * cs;
        b2 = 1 - alpha * A;
        a0 = 1 + alpha / A;
        a1 = -2 * cs;
        a2 = 1 - alpha / A;
        break;
    case LowShelf: {
        const double c = std::cos(0.41 * w0);
        const double H = std::sqrt(A) * sn / 1.41;
        b0 = A * ((A + 1) - (A - 1) * c + H);
        b1 = 2 * A * ((A - 1) - (A + 1) * c);
        b2 = A * ((A + 1) - (A - 1) * c - H);
        a0 = (A + 1) + (A - 1) * c + H;
        a1 = -2 * ((A - 1) + (A + 1) * c);
        a2 = (A + 1) + (A - 1) * c - H;
        break;
    }
    case HighShelf: {
        const double H = std::sqrt(2 * A) * sn;
        b0 = A * ((A + 1) + (A - 1) * cs + H);
        b1 = -2 * A * ((A - 1) + (A + 1) * cs);
        b2 = A * ((A + 1) + (A - 1) * cs - H);
        a0 = (A + 1) - (A - 1) * cs + H;
        a1 = 2 * ((A - 1) - (A + 1) * cs);
        a2 = (A + 1) - (A - 1) * cs - H;
        break;
    }
    }
    bank.b0[k] = b0 / a0;
    bank.b1[k] = b1 / a0;
    bank.b2[k] = b2 / a0;
    bank.a1[k] = a1 / a0;
    bank.a2[k] = a2 / a0;
}

void DesignAllSections(BiquadBank& bank, double sampleRate)
{
    for (int k = 0; k < kDesignedSections; ++k) DesignSection(bank, k, kSectionPlans[k], sampleRate);
}

} // namespace mg
