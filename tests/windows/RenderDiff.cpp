// mg-render-diff: compares two renders of the same input sample by sample,
// for the check that the Windows build sounds like the Linux build.
//
//   mg-render-diff A B [--max-diff X] [--max-level-delta DB]
//
// Prints one line: frames, channels, the largest absolute sample difference,
// each file's RMS level in dBFS, their difference, and whether the samples
// are identical. Exits 0 when the files have the same shape and are within
// the limits given and neither is silent, 1 when not, 2 when a file cannot
// be read.
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

struct Sound {
    SF_INFO info{};
    std::vector<double> samples; // interleaved
};

bool Load(const char* path, Sound& sound)
{
    SNDFILE* file = sf_open(path, SFM_READ, &sound.info);
    if (!file) {
        std::fprintf(stderr, "mg-render-diff: %s: %s\n", path, sf_strerror(nullptr));
        return false;
    }
    sound.samples.resize(static_cast<std::size_t>(sound.info.frames) * static_cast<std::size_t>(sound.info.channels));
    const sf_count_t read = sf_readf_double(file, sound.samples.data(), sound.info.frames);
    sf_close(file);
    if (read != sound.info.frames) {
        std::fprintf(stderr, "mg-render-diff: %s: short read\n", path);
        return false;
    }
    return true;
}

double RmsDb(const std::vector<double>& samples)
{
    double sum = 0.0;
    for (double v : samples) sum += v * v;
    if (samples.empty() || sum == 0.0) return -std::numeric_limits<double>::infinity();
    return 10.0 * std::log10(sum / static_cast<double>(samples.size()));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: mg-render-diff A B [--max-diff X] [--max-level-delta DB]\n");
        return 2;
    }
    double maxDiff = std::numeric_limits<double>::infinity();
    double maxLevelDelta = std::numeric_limits<double>::infinity();
    for (int i = 3; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--max-diff") == 0) {
            maxDiff = std::atof(argv[i + 1]);
        } else if (std::strcmp(argv[i], "--max-level-delta") == 0) {
            maxLevelDelta = std::atof(argv[i + 1]);
        } else {
            std::fprintf(stderr, "mg-render-diff: unknown option %s\n", argv[i]);
            return 2;
        }
    }

    Sound a;
    Sound b;
    if (!Load(argv[1], a) || !Load(argv[2], b)) return 2;
    if (a.info.channels != b.info.channels || a.info.frames != b.info.frames ||
        a.info.samplerate != b.info.samplerate) {
        std::printf("shape differs: %lld x %d @ %d Hz against %lld x %d @ %d Hz\n",
                    static_cast<long long>(a.info.frames), a.info.channels, a.info.samplerate,
                    static_cast<long long>(b.info.frames), b.info.channels, b.info.samplerate);
        return 1;
    }

    double largest = 0.0;
    bool identical = true;
    for (std::size_t i = 0; i < a.samples.size(); ++i) {
        // Compared as stored: float files read back exactly as doubles.
        if (a.samples[i] != b.samples[i]) identical = false;
        largest = std::max(largest, std::fabs(a.samples[i] - b.samples[i]));
    }
    const double levelA = RmsDb(a.samples);
    const double levelB = RmsDb(b.samples);
    const double delta = (std::isinf(levelA) && std::isinf(levelB)) ? 0.0 : std::fabs(levelA - levelB);
    std::printf("frames %lld channels %d max-diff %.3g level %.4f dB / %.4f dB delta %.2g dB %s\n",
                static_cast<long long>(a.info.frames), a.info.channels, largest, levelA, levelB, delta,
                identical ? "bit-exact" : "not bit-exact");
    const bool silent = std::isinf(levelA) || std::isinf(levelB);
    return (largest <= maxDiff && delta <= maxLevelDelta && !silent) ? 0 : 1;
}
