#pragma once
// Running mg-host as a user would (its own process, a time limit, stdout and
// stderr captured) and making and reading the sound files it works on.
#include <filesystem>
#include <string>
#include <vector>

namespace mg::hosttest {

struct RunResult {
    int exitCode = -1; // -1: killed (time limit or signal)
    std::string out;
    std::string err;
    bool timedOut = false;
};

// Runs the built mg-host with `args`, DISPLAY unset and `env` ("NAME=value")
// added, in folder `cwd` (or ours), killed after `seconds`.
RunResult RunHost(const std::vector<std::string>& args, const std::vector<std::string>& env = {},
                  const std::string& cwd = "", int seconds = 60);

int CountLines(const std::string& text);

struct Audio {
    int channels = 0;
    int rate = 0;
    int format = 0; // libsndfile format of the file
    std::vector<float> samples; // interleaved
    long long Frames() const { return channels ? static_cast<long long>(samples.size()) / channels : 0; }
    float At(long long frame, int channel) const
    {
        return samples[static_cast<std::size_t>(frame * channels + channel)];
    }
};

// A sine of `freq` Hz and `amplitude` in channel 0; other channels carry
// it at half the frequency (or silence when `othersSilent`).
void WriteSine(const std::filesystem::path& path, int channels, int rate, long long frames, int format,
               double freq = 440.0, double amplitude = 0.5, bool othersSilent = false);
Audio ReadAudio(const std::filesystem::path& path);

double Rms(const Audio& audio, int channel, long long from = 0, long long to = -1);
bool AllFinite(const Audio& audio);
float MaxDifference(const Audio& a, const Audio& b);

// A fresh folder per test, removed afterwards.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

std::string ReadText(const std::filesystem::path& path);

} // namespace mg::hosttest
