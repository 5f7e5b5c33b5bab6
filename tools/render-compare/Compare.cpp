#include "Compare.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace mg::compare {

Window SteadyWindow(std::int64_t frames, double rate, double skipStart, double skipEnd)
{
    Window w;
    if (frames <= 0 || !(rate > 0.0)) return w;
    const auto head = static_cast<std::int64_t>(std::llround(std::max(0.0, skipStart) * rate));
    const auto tail = static_cast<std::int64_t>(std::llround(std::max(0.0, skipEnd) * rate));
    w.begin = std::min(head, frames);
    w.end = std::max(w.begin, frames - tail);
    return w;
}

double RmsDb(const Audio& audio, Window window, int channel)
{
    const std::int64_t end = std::min(window.end, audio.Frames());
    if (window.begin >= end || audio.channels <= 0) return -std::numeric_limits<double>::infinity();
    const int first = channel < 0 ? 0 : channel;
    const int last = channel < 0 ? audio.channels : channel + 1;
    double sum = 0.0;
    std::int64_t count = 0;
    for (std::int64_t f = window.begin; f < end; ++f) {
        for (int c = first; c < last; ++c) {
            const double v = audio.At(f, c);
            sum += v * v;
            ++count;
        }
    }
    if (count == 0 || sum == 0.0) return -std::numeric_limits<double>::infinity();
    return 10.0 * std::log10(sum / static_cast<double>(count));
}

bool IsSilent(const Audio& audio, Window window, double floorDb)
{
    for (int c = 0; c < audio.channels; ++c) {
        if (!(RmsDb(audio, window, c) < floorDb)) return false;
    }
    return true;
}

bool IsIdentical(const Audio& a, const Audio& b, Window window, double tolerance)
{
    if (a.channels != b.channels) return false;
    const std::int64_t end = std::min({window.end, a.Frames(), b.Frames()});
    if (window.begin >= end) return false;
    for (std::int64_t f = window.begin; f < end; ++f) {
        for (int c = 0; c < a.channels; ++c) {
            if (!(std::fabs(a.At(f, c) - b.At(f, c)) <= tolerance)) return false;
        }
    }
    return true;
}

SumCheck CheckSumOfInputs(const Audio& input, const Audio& test, Window window)
{
    SumCheck result;
    if (input.channels < 2) {
        result.problem = "the input has fewer than two channels";
        return result;
    }
    if (test.channels < 1) {
        result.problem = "the render has no channels";
        return result;
    }
    const std::int64_t end = std::min({window.end, input.Frames(), test.Frames()});
    if (window.begin >= end) {
        result.problem = "no frames to compare";
        return result;
    }
    // The plug-in adds in double and hands back single precision: half a
    // unit in the last place of the sum, doubled for hosts that add in
    // single precision themselves, plus a floor for sums near zero.
    constexpr double kRelative = 1.0 / (1 << 23);
    constexpr double kAbsolute = 1e-12;
    for (std::int64_t f = window.begin; f < end; ++f) {
        const double expected = input.At(f, 0) + input.At(f, 1);
        const double tolerance = std::fabs(expected) * kRelative + kAbsolute;
        for (int c = 0; c < test.channels; ++c) {
            const double actual = test.At(f, c);
            const double error = std::fabs(actual - expected) / tolerance;
            if (!(error <= 1.0)) {
                if (result.mismatches == 0) {
                    result.firstFrame = f;
                    result.firstChannel = c;
                    result.expected = expected;
                    result.actual = actual;
                }
                ++result.mismatches;
            }
            if (std::isnan(error)) result.largestError = error;
            else if (!std::isnan(result.largestError)) result.largestError = std::max(result.largestError, error);
        }
    }
    result.ok = result.mismatches == 0;
    return result;
}

std::string FormatDb(double db, int decimals)
{
    if (std::isinf(db) && db < 0) return "-inf";
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, db);
    return text;
}

} // namespace mg::compare
