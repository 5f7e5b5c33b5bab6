#pragma once
// Spectrograms of the dry phrase and of the pedal's take of it, on one grid:
// frames every 50 ms, levels in bands a tenth of an octave wide.
#include <vector>

#include "Table.h"

namespace mg::figures {

Table Spectrogram(const std::vector<double>& dry, const std::vector<double>& fuzz, double sampleRate);

} // namespace mg::figures
