#pragma once
// Level and identity checks between renders of the same input by different
// hosts. Everything works on samples in memory; reading files is main.cpp's.
#include <cstdint>
#include <string>
#include <vector>

namespace mg::compare {

struct Audio {
    double rate = 0.0;
    int channels = 0;
    std::vector<double> samples; // interleaved frames

    std::int64_t Frames() const
    {
        return channels > 0 ? static_cast<std::int64_t>(samples.size()) / channels : 0;
    }
    double At(std::int64_t frame, int channel) const
    {
        return samples[static_cast<std::size_t>(frame * channels + channel)];
    }
};

// Frames [begin, end).
struct Window {
    std::int64_t begin = 0;
    std::int64_t end = 0;
    std::int64_t Length() const { return end > begin ? end - begin : 0; }
};

// The part of `frames` frames at `rate` left after skipping `skipStart`
// seconds at the start and `skipEnd` at the end; empty when nothing is left.
Window SteadyWindow(std::int64_t frames, double rate, double skipStart, double skipEnd);

// RMS level in dBFS (1.0 = 0 dBFS) of one channel, or of all channels
// together when channel is negative; -infinity for digital silence or an
// empty window.
double RmsDb(const Audio& audio, Window window, int channel = -1);

// True when every channel's RMS level in the window is below floorDb.
bool IsSilent(const Audio& audio, Window window, double floorDb);

// True when both have the same channels and every sample in the window
// differs by at most `tolerance`.
bool IsIdentical(const Audio& a, const Audio& b, Window window, double tolerance);

// Checks that every channel of `test` equals the sum of the first two
// channels of `input`, to single-precision rounding of the sum.
struct SumCheck {
    bool ok = false;
    std::int64_t mismatches = 0;  // samples outside the tolerance
    std::int64_t firstFrame = -1; // first mismatch, -1 for none
    int firstChannel = -1;
    double expected = 0.0; // at the first mismatch
    double actual = 0.0;
    double largestError = 0.0; // over the window, in units of the tolerance
    std::string problem;       // set when the check could not run at all
};
SumCheck CheckSumOfInputs(const Audio& input, const Audio& test, Window window);

// The largest difference between two renders' samples over the window, in
// dBFS; -infinity when they are equal, +infinity when their channels differ.
double PeakDifferenceDb(const Audio& a, const Audio& b, Window window);

// A file named on the command line, with an optional choice of channels:
// "PATH:3-4" is channels 3 and 4 (counted from 1), "PATH:2" channel 2 alone.
struct FileChoice {
    std::string path;
    int first = 0;   // from 0
    int count = -1;  // -1: all from first
};
FileChoice ParseFileChoice(const std::string& text);

// Channels [first, first + count) of audio (count -1: the rest); no
// channels at all when they are not all there.
Audio SelectChannels(const Audio& audio, int first, int count);

// Decibel text with a fixed number of decimals, "-inf" for silence.
std::string FormatDb(double db, int decimals = 3);

} // namespace mg::compare
