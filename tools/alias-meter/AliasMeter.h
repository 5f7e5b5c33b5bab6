#pragma once
// How far a render of a steady sine is from a pure stack of its harmonics:
// the power that lies off the harmonic grid (aliases folded back from above
// half the sample rate, and anything else inharmonic) against the power on it.
#include <string>
#include <vector>

namespace mg::alias {

struct Harmonic {
    int k;         // k·f0
    double hz;
    double levelDb; // amplitude in dB re 1.0 (a full-scale sine is 0 dB)
};

struct AliasReport {
    int points = 0;                // analysis length in samples
    double signalToAliasDb = 0.0;  // power on the harmonics against all other power above 20 Hz
    double worstAliasDb = 0.0;     // the strongest single off-grid line, against the strongest harmonic
    double worstAliasHz = 0.0;
    std::vector<Harmonic> harmonics; // every harmonic below half the sample rate, k from 1
    // The spectrum itself, bin by bin from 0 Hz to half the rate: power in
    // dB against the strongest harmonic, and whether the bin counts as a
    // harmonic's.
    double binHz = 0.0;
    std::vector<double> binDb;
    std::vector<bool> binOnHarmonic;
};

// At least this many samples are analysed, after the first second.
inline constexpr int kMinPoints = 65536;
// Bins on either side of a harmonic that count as that harmonic.
inline constexpr int kHarmonicHalfWidth = 3;

// Analyses the samples after the first second: a four-term Blackman-Harris
// window over at least kMinPoints samples, the length chosen within the
// samples there are so that it holds as nearly a whole number of periods as
// can be (exactly, for a frequency that is a ratio of small integers to the
// rate, so that harmonics and aliases alike fall on bins and leak nowhere).
// False, with a reason, when the samples are too few.
bool MeasureAliasing(const std::vector<double>& samples, double sampleRate, double f0, AliasReport& report,
                     std::string& error);

// The largest difference in level between the harmonics of `test` and of
// `reference` (the same sine through an alias-free path, at any rate),
// over the harmonics below maxHz that the reference has within withinDb of
// its strongest. 0 when there are none.
double LargestHarmonicDeviationDb(const AliasReport& test, const AliasReport& reference, double maxHz = 8000.0,
                                  double withinDb = 60.0);

// A sine of the given frequency and amplitude starting at phase 0.
std::vector<double> Sine(double f0, double amplitude, double sampleRate, double seconds);

} // namespace mg::alias
