#include "Spectrogram.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

namespace mg::figures {

namespace {

constexpr int kWindow = 4096;
constexpr double kHopSeconds = 0.05;
constexpr double kLowestHz = 50.0;
constexpr int kBandsPerOctave = 10;
constexpr double kFloorDb = -100.0;

struct Band {
    double centre;
    int firstBin; // bins first to last, both included
    int lastBin;
};

// Bands up to the Nyquist frequency; a band narrower than the bin spacing
// takes the bin nearest its centre.
std::vector<Band> Bands(double sampleRate)
{
    std::vector<Band> bands;
    const double binHz = sampleRate / kWindow;
    for (int j = 0;; ++j) {
        const double low = kLowestHz * std::exp2(static_cast<double>(j) / kBandsPerOctave);
        const double high = kLowestHz * std::exp2(static_cast<double>(j + 1) / kBandsPerOctave);
        if (high > sampleRate / 2.0) break;
        const double centre = std::sqrt(low * high);
        int first = static_cast<int>(std::ceil(low / binHz));
        int last = static_cast<int>(std::ceil(high / binHz)) - 1;
        if (last < first) first = last = static_cast<int>(std::lround(centre / binHz));
        bands.push_back({centre, first, last});
    }
    return bands;
}

// One real-to-complex transform of the window length, planned once.
class Transform {
public:
    Transform()
        : in_(fftw_alloc_real(kWindow)), out_(fftw_alloc_complex(kWindow / 2 + 1)),
          plan_(fftw_plan_dft_r2c_1d(kWindow, in_, out_, FFTW_ESTIMATE))
    {
    }
    ~Transform()
    {
        fftw_destroy_plan(plan_);
        fftw_free(out_);
        fftw_free(in_);
        // The planner's own memory, so that leak checkers see none.
        fftw_cleanup();
    }
    Transform(const Transform&) = delete;
    Transform& operator=(const Transform&) = delete;

    double* Input() { return in_; }
    // |X[k]|² of the last input.
    double Power(int k) const { return out_[k][0] * out_[k][0] + out_[k][1] * out_[k][1]; }
    void Run() { fftw_execute(plan_); }

private:
    double* in_;
    fftw_complex* out_;
    fftw_plan plan_;
};

// One row per frame: its centre in seconds, then the level of every band in
// dB against a full-scale sine, rounded to whole dB.
void AddFrames(Table& table, const std::string& tag, const std::vector<double>& signal, double sampleRate,
               const std::vector<Band>& bands, Transform& transform)
{
    std::vector<double> window(kWindow);
    double windowSum = 0.0;
    for (int i = 0; i < kWindow; ++i) {
        window[i] = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * i / kWindow);
        windowSum += window[i];
    }
    // A sine of amplitude a has a peak of a·Σw/2 in its bin.
    const double fullScale = windowSum / 2.0;
    const double hop = kHopSeconds * sampleRate;
    const auto length = static_cast<long>(signal.size());
    for (int frame = 0; frame * hop < static_cast<double>(length); ++frame) {
        const long centre = std::lround(frame * hop);
        double* in = transform.Input();
        for (int i = 0; i < kWindow; ++i) {
            const long at = centre - kWindow / 2 + i;
            in[i] = at >= 0 && at < length ? signal[static_cast<std::size_t>(at)] * window[i] : 0.0;
        }
        transform.Run();
        Row row{tag, {static_cast<double>(centre) / sampleRate}};
        for (const Band& band : bands) {
            double power = 0.0;
            for (int k = band.firstBin; k <= band.lastBin; ++k) power += transform.Power(k);
            power /= band.lastBin - band.firstBin + 1;
            const double db = 10.0 * std::log10(power / (fullScale * fullScale) + 1e-300);
            row.values.push_back(std::round(std::max(db, kFloorDb)));
        }
        table.rows.push_back(std::move(row));
    }
}

} // namespace

Table Spectrogram(const std::vector<double>& dry, const std::vector<double>& fuzz, double sampleRate)
{
    Table table;
    table.comments = {
        "Spectrograms of the demo phrase, dry and through the pedal's preset 0 \"Init\".",
        "Hann window of 4096 samples every 50 ms; bands a tenth of an octave wide from 50 Hz.",
        "Rows: 'band' the centre of every band in Hz; 'dry' and 'fuzz' one frame each: its time",
        "in seconds, then the level in every band in dB against a full-scale sine (floor -100).",
    };
    table.decimals = 3;
    const std::vector<Band> bands = Bands(sampleRate);
    Row centres{"band", {}};
    for (const Band& band : bands) centres.values.push_back(band.centre);
    table.rows.push_back(std::move(centres));
    Transform transform;
    AddFrames(table, "dry", dry, sampleRate, bands, transform);
    AddFrames(table, "fuzz", fuzz, sampleRate, bands, transform);
    return table;
}

} // namespace mg::figures
