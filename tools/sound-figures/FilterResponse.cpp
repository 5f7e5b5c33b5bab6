#include "FilterResponse.h"

#include <cmath>
#include <complex>
#include <numbers>

#include "OpenedPedal.h"
#include "SectionDesign.h"

namespace mg::figures {

namespace {

constexpr int kPointsPerRate = 240;
constexpr double kLowestHz = 20.0;

// Gain in dB of sections first to last in series at frequency f.
double ChainGainDb(const BiquadBank& bank, int first, int last, double f, double fs)
{
    const std::complex<double> z1 = std::polar(1.0, -2.0 * std::numbers::pi * f / fs);
    const std::complex<double> z2 = z1 * z1;
    double db = 0.0;
    for (int k = first; k <= last; ++k) {
        const std::complex<double> h =
            (bank.b0[k] + bank.b1[k] * z1 + bank.b2[k] * z2) / (1.0 + bank.a1[k] * z1 + bank.a2[k] * z2);
        db += 20.0 * std::log10(std::abs(h));
    }
    return db;
}

} // namespace

Table FilterResponse()
{
    Table table;
    table.comments = {
        "Magnitude responses in dB of the cabinet stage (sections 12 to 21) and of the fuzz path's",
        "fixed filters (sections 0 to 11 in series, the clipper left out), as designed by the plug-in.",
        "Columns: sample rate (Hz), frequency (Hz), cabinet (dB), fuzz-path filters (dB);",
        "frequencies spaced evenly on a logarithmic scale from 20 Hz up to just below the Nyquist frequency.",
    };
    table.decimals = 3;
    for (double fs : {44100.0, 96000.0}) {
        const auto pedal = OpenedPedal(fs);
        const BiquadBank& bank = pedal->Bank();
        const double span = std::log(fs / 2.0 / kLowestHz);
        for (int i = 0; i < kPointsPerRate; ++i) {
            const double f = kLowestHz * std::exp(span * i / kPointsPerRate);
            table.rows.push_back({"response",
                                  {fs, f, ChainGainDb(bank, kCabinetFirst, kCabinetLast, f, fs),
                                   ChainGainDb(bank, kFuzzFirst, kFuzzLast, f, fs)}});
        }
    }
    return table;
}

} // namespace mg::figures
