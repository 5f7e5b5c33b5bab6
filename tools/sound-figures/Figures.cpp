#include "Figures.h"

#include "ClipperCurve.h"
#include "FilterResponse.h"
#include "Spectrogram.h"

namespace mg::figures {

std::vector<Figure> ComputeFigures(const Audio& dry, const Audio& fuzz)
{
    // Responses and curves are written to 3 and 6 places, so a stored copy is
    // off by at most half of the last place. Spectrogram levels are whole dB;
    // a level on the edge between two may round either way on another machine.
    return {
        {"cabinet-response", 1e-3, FilterResponse()},
        {"fuzz-curve", 1e-6, ClipperCurve()},
        {"spectrogram", 1.0, Spectrogram(dry.samples, fuzz.samples, dry.sampleRate)},
    };
}

} // namespace mg::figures
