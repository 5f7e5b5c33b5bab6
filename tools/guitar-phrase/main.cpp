// guitar-phrase OUT.wav: writes a short riff of plucked strings, the dry
// signal of the demo (44.1 kHz, mono, 32-bit float).
#include <sndfile.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "PluckedString.h"

namespace {

constexpr double kRate = 44100.0;
constexpr double kTempo = 112.0; // beats per minute
constexpr int kStrings = 3;

struct Note {
    double beat;     // when, in beats from the start
    double length;   // how long it rings, in beats
    int string;      // which of the voices plays it
    double midi;     // pitch
    double velocity; // 0..1
};

double Hz(double midi) { return 440.0 * std::pow(2.0, (midi - 69.0) / 12.0); }

// A palm-muted E5 chug, an open power chord, then a blues lick up high.
std::vector<Note> Riff()
{
    std::vector<Note> notes;
    auto chord = [&](double beat, double length, double root, double velocity) {
        notes.push_back({beat, length, 0, root, velocity});
        notes.push_back({beat + 0.01, length, 1, root + 7, velocity * 0.9});
        notes.push_back({beat + 0.02, length, 2, root + 12, velocity * 0.8});
    };
    for (int bar = 0; bar < 2; ++bar) {
        const double b = bar * 4.0;
        for (double e = 0; e < 2.0; e += 0.5) chord(b + e, 0.35, 40, 0.55); // E5 chugs
        chord(b + 2.0, 1.0, 43, 0.7);                                          // G5
        chord(b + 3.0, 0.5, 45, 0.7);                                          // A5
        chord(b + 3.5, 0.5, 46, 0.6);                                          // Bb5
    }
    chord(8.0, 2.0, 40, 0.8); // let the E5 ring
    const double lick[] = {64, 67, 69, 70, 69, 67, 64, 62, 64};
    for (int i = 0; i < 9; ++i) notes.push_back({10.0 + 0.5 * i, 0.6, i % 2, lick[i], 0.6});
    notes.push_back({14.5, 1.5, 2, 76, 0.7});
    return notes;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::printf("usage: guitar-phrase OUT.wav\nWrites the demo's guitar phrase (44.1 kHz mono float WAV) to OUT.wav.\n");
        return 0;
    }
    // A name starting with '-' is a mistyped option, not a file to create.
    if (argc != 2 || argv[1][0] == '-') {
        std::fprintf(stderr, "usage: guitar-phrase OUT.wav\n");
        return 2;
    }
    const std::vector<Note> notes = Riff();
    const double secondsPerBeat = 60.0 / kTempo;
    const auto frames = static_cast<sf_count_t>(17.0 * secondsPerBeat * kRate);

    std::array<PluckedString, kStrings> strings{PluckedString(kRate), PluckedString(kRate), PluckedString(kRate)};
    std::vector<float> out(static_cast<std::size_t>(frames));
    std::size_t next = 0;
    std::array<double, kStrings> releaseAt{};
    for (sf_count_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / kRate;
        while (next < notes.size() && notes[next].beat * secondsPerBeat <= t) {
            const Note& n = notes[next++];
            strings[n.string].Pluck(Hz(n.midi), n.velocity, n.midi > 60 ? 0.8 : 0.5);
            releaseAt[n.string] = (n.beat + n.length) * secondsPerBeat;
        }
        double sum = 0.0;
        for (int s = 0; s < kStrings; ++s) {
            if (t >= releaseAt[s]) strings[s].Mute();
            sum += strings[s].Next();
        }
        out[static_cast<std::size_t>(i)] = static_cast<float>(0.35 * sum);
    }

    SF_INFO info{};
    info.samplerate = static_cast<int>(kRate);
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* file = sf_open(argv[1], SFM_WRITE, &info);
    if (!file) {
        std::fprintf(stderr, "guitar-phrase: cannot write %s: %s\n", argv[1], sf_strerror(nullptr));
        return 1;
    }
    sf_writef_float(file, out.data(), frames);
    sf_close(file);
    return 0;
}
