#include "AliasMeter.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace mg::alias {

namespace {

constexpr double kLowestHz = 20.0;

// The length in [kMinPoints, available] whose count of periods is nearest a
// whole number; the shortest among equals.
int AnalysisLength(int available, double cyclesPerSample)
{
    int best = kMinPoints;
    double bestMiss = 1.0;
    const int last = std::min(available, 1 << 22);
    for (int n = kMinPoints; n <= last; ++n) {
        const double cycles = cyclesPerSample * n;
        const double miss = std::fabs(cycles - std::round(cycles));
        if (miss < bestMiss - 1e-9) {
            bestMiss = miss;
            best = n;
            if (miss < 1e-9) break;
        }
    }
    return best;
}

// Power per bin (0 to n/2) of the windowed samples, scaled so that a sine of
// amplitude a sums to a² over its bins.
std::vector<double> PowerSpectrum(const double* samples, int n)
{
    double* in = fftw_alloc_real(static_cast<std::size_t>(n));
    fftw_complex* out = fftw_alloc_complex(static_cast<std::size_t>(n / 2 + 1));
    const fftw_plan plan = fftw_plan_dft_r2c_1d(n, in, out, FFTW_ESTIMATE);
    double windowEnergy = 0.0;
    for (int i = 0; i < n; ++i) {
        // Four-term Blackman-Harris, periodic: a line on a bin spreads over
        // that bin and three on either side, and no further.
        const double p = 2.0 * std::numbers::pi * i / n;
        const double w = 0.35875 - 0.48829 * std::cos(p) + 0.14128 * std::cos(2.0 * p) - 0.01168 * std::cos(3.0 * p);
        in[i] = samples[i] * w;
        windowEnergy += w * w;
    }
    fftw_execute(plan);
    std::vector<double> power(static_cast<std::size_t>(n / 2 + 1));
    const double scale = 4.0 / (n * windowEnergy);
    for (std::size_t j = 0; j < power.size(); ++j) power[j] = (out[j][0] * out[j][0] + out[j][1] * out[j][1]) * scale;
    fftw_destroy_plan(plan);
    fftw_free(out);
    fftw_free(in);
    return power;
}

double Db(double power) { return 10.0 * std::log10(std::max(power, 1e-300)); }

} // namespace

bool MeasureAliasing(const std::vector<double>& samples, double sampleRate, double f0, AliasReport& report,
                     std::string& error)
{
    const auto skip = static_cast<std::size_t>(std::lround(sampleRate));
    if (!(sampleRate > 0.0) || !(f0 > 0.0) || f0 >= sampleRate / 2.0) {
        error = "the frequency must lie between 0 and half the sample rate";
        return false;
    }
    if (samples.size() < skip + kMinPoints) {
        error = "too short: needs one second and " + std::to_string(kMinPoints) + " samples";
        return false;
    }
    const int n = AnalysisLength(static_cast<int>(std::min<std::size_t>(samples.size() - skip, 1 << 30)),
                                 f0 / sampleRate);
    const std::vector<double> power = PowerSpectrum(samples.data() + skip, n);
    const int bins = static_cast<int>(power.size());
    const double binHz = sampleRate / n;

    // Which bins belong to a harmonic, and each harmonic's power.
    std::vector<int> owner(power.size(), 0);
    report = AliasReport{};
    report.points = n;
    double strongest = 0.0;
    for (int k = 1; k * f0 < sampleRate / 2.0; ++k) {
        const double centre = k * f0 / binHz;
        const int first = std::max(0, static_cast<int>(std::ceil(centre - kHarmonicHalfWidth - 1e-9)));
        const int last = std::min(bins - 1, static_cast<int>(std::floor(centre + kHarmonicHalfWidth + 1e-9)));
        double sum = 0.0;
        for (int j = first; j <= last; ++j) {
            if (owner[j] == 0) sum += power[j];
            owner[j] = k;
        }
        report.harmonics.push_back({k, k * f0, Db(sum)});
        strongest = std::max(strongest, sum);
    }
    const int lowest = static_cast<int>(std::ceil(kLowestHz / binHz));
    double signal = 0.0;
    double alias = 0.0;
    for (int j = lowest; j < bins; ++j) (owner[j] ? signal : alias) += power[j];
    report.signalToAliasDb = Db(signal) - Db(alias);

    // The strongest off-grid line: its bins' power summed as a harmonic's is.
    double worst = 0.0;
    int worstBin = lowest;
    for (int j = lowest; j < bins; ++j) {
        if (owner[j]) continue;
        double sum = 0.0;
        for (int i = std::max(lowest, j - kHarmonicHalfWidth); i <= std::min(bins - 1, j + kHarmonicHalfWidth); ++i)
            if (!owner[i]) sum += power[i];
        if (sum > worst) {
            worst = sum;
            worstBin = j;
        }
    }
    report.worstAliasDb = Db(worst) - Db(strongest);
    report.worstAliasHz = worstBin * binHz;
    report.binHz = binHz;
    for (int j = 0; j < bins; ++j) {
        report.binDb.push_back(Db(power[j]) - Db(strongest));
        report.binOnHarmonic.push_back(owner[j] != 0);
    }
    return true;
}

double LargestHarmonicDeviationDb(const AliasReport& test, const AliasReport& reference, double maxHz, double withinDb)
{
    double strongest = -1e300;
    for (const Harmonic& h : reference.harmonics) strongest = std::max(strongest, h.levelDb);
    double largest = 0.0;
    for (const Harmonic& r : reference.harmonics) {
        if (r.hz >= maxHz || r.levelDb < strongest - withinDb) continue;
        if (r.k > static_cast<int>(test.harmonics.size())) break;
        largest = std::max(largest, std::fabs(test.harmonics[r.k - 1].levelDb - r.levelDb));
    }
    return largest;
}

std::vector<double> Sine(double f0, double amplitude, double sampleRate, double seconds)
{
    std::vector<double> samples(static_cast<std::size_t>(std::lround(seconds * sampleRate)));
    // The phase from n·f0 reduced modulo the rate, which keeps it exact over
    // millions of samples.
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = amplitude * std::sin(2.0 * std::numbers::pi * std::fmod(static_cast<double>(i) * f0, sampleRate) /
                                          sampleRate);
    return samples;
}

} // namespace mg::alias
