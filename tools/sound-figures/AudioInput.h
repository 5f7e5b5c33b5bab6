#pragma once
// Reads a sound file as one channel of doubles (channels averaged).
#include <string>
#include <vector>

namespace mg::figures {

struct Audio {
    std::vector<double> samples;
    double sampleRate = 0.0;
};

bool ReadAudio(const std::string& path, Audio& audio, std::string& error);

} // namespace mg::figures
