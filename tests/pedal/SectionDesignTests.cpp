#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>

#include "BiquadBank.h"
#include "SectionDesign.h"

using namespace mg;

namespace {

// Magnitude in dB of section k at frequency f, from its stored coefficients.
double GainDb(const BiquadBank& bank, int k, double f, double fs)
{
    const std::complex<double> z1 = std::polar(1.0, -2.0 * std::numbers::pi * f / fs);
    const std::complex<double> z2 = z1 * z1;
    const std::complex<double> h =
        (bank.b0[k] + bank.b1[k] * z1 + bank.b2[k] * z2) / (1.0 + bank.a1[k] * z1 + bank.a2[k] * z2);
    return 20.0 * std::log10(std::abs(h));
}

double ChainGainDb(const BiquadBank& bank, int first, int last, double f, double fs)
{
    double sum = 0.0;
    for (int k = first; k <= last; ++k) sum += GainDb(bank, k, f, fs);
    return sum;
}

BiquadBank Designed(double fs)
{
    BiquadBank bank;
    DesignAllSections(bank, fs);
    return bank;
}

} // namespace

TEST(SectionDesign, EverySectionHasItsDesignedGainWhereTheFormIsExact)
{
    for (double fs : {44100.0, 48000.0, 96000.0}) {
        const BiquadBank bank = Designed(fs);
        for (int k = 0; k < kDesignedSections; ++k) {
            const SectionPlan& plan = kSectionPlans[k];
            switch (plan.type) {
            case SectionType::Peaking: // the full gain at the centre frequency
                EXPECT_NEAR(GainDb(bank, k, plan.frequency, fs), plan.gainDb, 1e-9) << k << " at " << fs;
                break;
            case SectionType::LowShelf: // the full gain at 0 Hz, whatever the cosine
                EXPECT_NEAR(GainDb(bank, k, 0.0, fs), plan.gainDb, 1e-9) << k;
                break;
            case SectionType::HighShelf: // unity at 0 Hz, the full gain at Nyquist
                EXPECT_NEAR(GainDb(bank, k, 0.0, fs), 0.0, 1e-9) << k;
                EXPECT_NEAR(GainDb(bank, k, fs / 2, fs), plan.gainDb, 1e-6) << k;
                break;
            case SectionType::HighPass:
                EXPECT_LT(GainDb(bank, k, 1e-3, fs), -150.0);
                EXPECT_NEAR(GainDb(bank, k, fs / 2, fs), 0.0, 1e-9);
                break;
            case SectionType::LowPass:
                EXPECT_NEAR(GainDb(bank, k, 0.0, fs), 0.0, 1e-9);
                EXPECT_LT(GainDb(bank, k, fs / 2 - 1e-6, fs), -150.0);
                break;
            }
        }
    }
}

TEST(SectionDesign, CoefficientRelationsOfTheFilterTypes)
{
    const BiquadBank bank = Designed(44100.0);
    // High-pass: b0 = b2 = −b1/2, so nothing passes at 0 Hz.
    EXPECT_DOUBLE_EQ(bank.b0[0], bank.b2[0]);
    EXPECT_DOUBLE_EQ(bank.b1[0], -2.0 * bank.b0[0]);
    // Low-pass: b1 = 2·b0 = 2·b2.
    EXPECT_DOUBLE_EQ(bank.b1[1], 2.0 * bank.b0[1]);
    EXPECT_DOUBLE_EQ(bank.b0[1], bank.b2[1]);
    // The 0 dB peaking section is the identity: numerator equals denominator.
    EXPECT_DOUBLE_EQ(bank.b0[13], 1.0);
    EXPECT_DOUBLE_EQ(bank.b1[13], bank.a1[13]);
    EXPECT_DOUBLE_EQ(bank.b2[13], bank.a2[13]);
    // Sections past the design stay zero.
    for (int k = kDesignedSections; k < BiquadBank::kSections; ++k) EXPECT_EQ(bank.b0[k], 0.0);
}

TEST(SectionDesign, TheLowShelfUsesTheNarrowedCosine)
{
    // With c = cos(0.41·w0) the shelf's corner moves up against the textbook
    // form; the pedal's sound depends on exactly this.
    const double fs = 44100.0;
    const BiquadBank bank = Designed(fs);
    const double w0 = 2.0 * std::numbers::pi * 140.0 / fs;
    const double A = std::pow(10.0, -30.0 / 40.0);
    const double c = std::cos(0.41 * w0);
    const double H = std::sqrt(A) * std::sin(w0) / 1.41;
    const double a0 = (A + 1) + (A - 1) * c + H;
    EXPECT_DOUBLE_EQ(bank.b0[2], A * ((A + 1) - (A - 1) * c + H) / a0);
    EXPECT_DOUBLE_EQ(bank.a2[2], ((A + 1) + (A - 1) * c - H) / a0);
}

TEST(SectionDesign, CabinetIsABandLimitedSpeakerResponse)
{
    const double fs = 44100.0;
    const BiquadBank bank = Designed(fs);
    const double at2200 = ChainGainDb(bank, kCabinetFirst, kCabinetLast, 2200, fs);
    EXPECT_LT(ChainGainDb(bank, kCabinetFirst, kCabinetLast, 40, fs), at2200 - 15);
    EXPECT_LT(ChainGainDb(bank, kCabinetFirst, kCabinetLast, 12000, fs), at2200 - 20);
    EXPECT_LT(ChainGainDb(bank, kCabinetFirst, kCabinetLast, 1800, fs), at2200 - 15) << "the notch at 1.8 kHz";
}

TEST(SectionDesign, StableAtEveryCommonRate)
{
    // Below 28.2 kHz the highest corners lie beyond Nyquist; those sections pass through.
    for (double fs : {8000.0, 22050.0, 44100.0, 48000.0, 88200.0, 96000.0, 192000.0, 384000.0}) {
        const BiquadBank bank = Designed(fs);
        for (int k = 0; k < kDesignedSections; ++k) {
            // Poles inside the unit circle: |a2| < 1 and |a1| < 1 + a2.
            EXPECT_LT(std::fabs(bank.a2[k]), 1.0) << k << " at " << fs;
            EXPECT_LT(std::fabs(bank.a1[k]), 1.0 + bank.a2[k]) << k << " at " << fs;
            if (kSectionPlans[k].frequency >= fs / 2) {
                EXPECT_EQ(bank.b0[k], 1.0) << k << " at " << fs;
            }
        }
    }
}
