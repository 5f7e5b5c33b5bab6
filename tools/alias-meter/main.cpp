// alias-meter: how much of a plug-in's answer to a steady sine lies off the
// sine's harmonics. See Usage() below.
#include <sndfile.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "AliasMeter.h"

namespace {

const char* Usage()
{
    return R"(alias-meter: measures aliasing in a render of a steady sine.

Usage:
  alias-meter tone OUT --freq HZ --amplitude A --rate HZ [--seconds S]
      Writes a mono sine (64-bit float WAV; 3 seconds by default) to play
      through a plug-in, e.g. with "mg-host render PLUGIN OUT RENDER".
  alias-meter measure RENDER --freq HZ [--reference RENDER] [--harmonics]
      Analyses channel 1 of RENDER after its first second (Blackman-Harris
      window, at least 65536 points) and prints one line:
        sar_db=S worst_alias_db=W worst_alias_hz=F
      S: power within 3 bins of every harmonic k·HZ against all other
      power above 20 Hz; W: the strongest single line off the harmonics,
      against the strongest harmonic. With --reference (the same sine
      through an alias-free path, e.g. a render at a much higher rate) it
      adds harmonic_dev_db=D: the largest level difference over the
      harmonics below 8 kHz that the reference has within 60 dB of its
      strongest. --harmonics also lists every harmonic's level.
  alias-meter spectrum RENDER --freq HZ [--label NAME]
      The spectrum measure analyses, for plotting: a comment line with the
      figures, then one line per group of 8 bins, "NAME HZ DB ON", with the
      group's strongest bin in dB against the strongest harmonic and ON 1
      where a bin of the group counts as a harmonic's.
Exit status: 0 on success, 2 for a bad command line or file.
)";
}

bool ReadChannel(const std::string& path, std::vector<double>& samples, double& rate)
{
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) {
        std::fprintf(stderr, "alias-meter: cannot read %s: %s\n", path.c_str(), sf_strerror(nullptr));
        return false;
    }
    std::vector<double> frames(static_cast<std::size_t>(info.frames * info.channels));
    const sf_count_t got = sf_readf_double(file, frames.data(), info.frames);
    sf_close(file);
    if (got != info.frames || info.channels <= 0) {
        std::fprintf(stderr, "alias-meter: cannot read all of %s\n", path.c_str());
        return false;
    }
    samples.resize(static_cast<std::size_t>(info.frames));
    for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = frames[i * static_cast<std::size_t>(info.channels)];
    rate = info.samplerate;
    return true;
}

bool WriteMono(const std::string& path, const std::vector<double>& samples, int rate)
{
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_DOUBLE;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) {
        std::fprintf(stderr, "alias-meter: cannot write %s: %s\n", path.c_str(), sf_strerror(nullptr));
        return false;
    }
    const auto frames = static_cast<sf_count_t>(samples.size());
    const bool ok = sf_writef_double(file, samples.data(), frames) == frames;
    sf_close(file);
    return ok;
}

struct Options {
    std::vector<std::string> positional;
    double freq = 0.0;
    double amplitude = 0.0;
    double rate = 0.0;
    double seconds = 3.0;
    std::string reference;
    std::string label = "render";
    bool harmonics = false;
};

bool Parse(int argc, char** argv, Options& options)
{
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        auto number = [&](double& to) {
            if (i + 1 >= argc) return false;
            char* end = nullptr;
            to = std::strtod(argv[++i], &end);
            return *end == '\0' && to > 0.0;
        };
        if (arg == "--freq") {
            if (!number(options.freq)) return false;
        } else if (arg == "--amplitude") {
            if (!number(options.amplitude)) return false;
        } else if (arg == "--rate") {
            if (!number(options.rate)) return false;
        } else if (arg == "--seconds") {
            if (!number(options.seconds)) return false;
        } else if (arg == "--reference" && i + 1 < argc) {
            options.reference = argv[++i];
        } else if (arg == "--label" && i + 1 < argc) {
            options.label = argv[++i];
        } else if (arg == "--harmonics") {
            options.harmonics = true;
        } else if (!arg.starts_with("--")) {
            options.positional.push_back(arg);
        } else {
            return false;
        }
    }
    return options.positional.size() == 1 && options.freq > 0.0;
}

bool Measure(const std::string& path, double freq, mg::alias::AliasReport& report)
{
    std::vector<double> samples;
    double rate = 0.0;
    if (!ReadChannel(path, samples, rate)) return false;
    std::string error;
    if (mg::alias::MeasureAliasing(samples, rate, freq, report, error)) return true;
    std::fprintf(stderr, "alias-meter: %s: %s\n", path.c_str(), error.c_str());
    return false;
}

void PrintSpectrum(const mg::alias::AliasReport& report, const std::string& label)
{
    std::printf("# %s sar_db=%.2f worst_alias_db=%.2f\n", label.c_str(), report.signalToAliasDb, report.worstAliasDb);
    constexpr std::size_t kGroup = 8;
    for (std::size_t first = 0; first < report.binDb.size(); first += kGroup) {
        double db = -400.0;
        bool onHarmonic = false;
        std::size_t at = first;
        for (std::size_t j = first; j < std::min(first + kGroup, report.binDb.size()); ++j) {
            onHarmonic = onHarmonic || report.binOnHarmonic[j];
            if (report.binDb[j] > db) {
                db = report.binDb[j];
                at = j;
            }
        }
        std::printf("%s %.1f %.2f %d\n", label.c_str(), static_cast<double>(at) * report.binHz, std::max(db, -250.0),
                    onHarmonic ? 1 : 0);
    }
}

} // namespace

int main(int argc, char** argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    Options options;
    if (command == "--help" || command == "-h") {
        std::fputs(Usage(), stdout);
        return 0;
    }
    if ((command != "tone" && command != "measure" && command != "spectrum") || !Parse(argc, argv, options)) {
        std::fputs(Usage(), stderr);
        return 2;
    }
    if (command == "tone") {
        if (!(options.amplitude > 0.0) || !(options.rate >= 1000.0) || options.freq >= options.rate / 2.0) {
            std::fputs("alias-meter: tone needs --freq below half of --rate, --amplitude and --rate\n", stderr);
            return 2;
        }
        const std::vector<double> sine = mg::alias::Sine(options.freq, options.amplitude, options.rate, options.seconds);
        return WriteMono(options.positional[0], sine, static_cast<int>(options.rate)) ? 0 : 2;
    }
    mg::alias::AliasReport report;
    if (!Measure(options.positional[0], options.freq, report)) return 2;
    if (command == "spectrum") {
        PrintSpectrum(report, options.label);
        return 0;
    }
    std::printf("sar_db=%.2f worst_alias_db=%.2f worst_alias_hz=%.1f", report.signalToAliasDb, report.worstAliasDb,
                report.worstAliasHz);
    if (!options.reference.empty()) {
        mg::alias::AliasReport reference;
        if (!Measure(options.reference, options.freq, reference)) return 2;
        std::printf(" harmonic_dev_db=%.3f", mg::alias::LargestHarmonicDeviationDb(report, reference));
    }
    std::printf("\n");
    if (options.harmonics)
        for (const mg::alias::Harmonic& h : report.harmonics)
            std::printf("  k=%d hz=%.1f level_db=%.2f\n", h.k, h.hz, h.levelDb);
    return 0;
}
