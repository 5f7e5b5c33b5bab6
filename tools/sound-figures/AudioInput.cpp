#include "AudioInput.h"

#include <sndfile.h>

namespace mg::figures {

bool ReadAudio(const std::string& path, Audio& audio, std::string& error)
{
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) {
        error = "cannot read " + path + ": " + sf_strerror(nullptr);
        return false;
    }
    std::vector<double> frames(static_cast<std::size_t>(info.frames * info.channels));
    const sf_count_t got = sf_readf_double(file, frames.data(), info.frames);
    sf_close(file);
    if (got != info.frames || info.channels <= 0) {
        error = "cannot read all of " + path;
        return false;
    }
    audio.sampleRate = info.samplerate;
    const auto channels = static_cast<std::size_t>(info.channels);
    audio.samples.assign(static_cast<std::size_t>(info.frames), 0.0);
    for (std::size_t i = 0; i < audio.samples.size(); ++i) {
        double sum = 0.0;
        for (std::size_t c = 0; c < channels; ++c) sum += frames[i * channels + c];
        audio.samples[i] = sum / static_cast<double>(channels);
    }
    return true;
}

} // namespace mg::figures
