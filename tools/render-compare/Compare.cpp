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

double PeakDifferenceDb(const Audio& a, const Audio& b, Window window)
{
    if (a.channels != b.channels) return std::numeric_limits<double>::infinity();
    const std::int64_t end = std::min({window.end, a.Frames(), b.Frames()});
    double peak = 0.0;
    bool nan = false;
    for (std::int64_t f = window.begin; f < end; ++f) {
        for (int c = 0; c < a.channels; ++c) {
            const double d = std::fabs(a.At(f, c) - b.At(f, c));
            if (std::isnan(d)) nan = true;
            else peak = std::max(peak, d);
        }
    }
    if (nan) return std::numeric_limits<double>::infinity();
    return peak > 0.0 ? 20.0 * std::log10(peak) : -std::numeric_limits<double>::infinity();
}

FileChoice ParseFileChoice(const std::string& text)
{
    FileChoice choice{text, 0, -1};
    const auto colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0) return choice;
    const std::string range = text.substr(colon + 1);
    int first = 0;
    int last = 0;
    char dash = 0;
    char extra = 0;
    const int n = std::sscanf(range.c_str(), "%d%c%d%c", &first, &dash, &last, &extra);
    const bool digitsOnly = range.find_first_not_of("0123456789-") == std::string::npos;
    if (!digitsOnly || range.empty() || range.front() == '-') return choice;
    if (n == 1 && first >= 1) {
        last = first;
    } else if (!(n == 3 && dash == '-' && first >= 1 && last >= first)) {
        return choice;
    }
    choice.path = text.substr(0, colon);
    choice.first = first - 1;
    choice.count = last - first + 1;
    return choice;
}

Audio SelectChannels(const Audio& audio, int first, int count)
{
    if (count < 0) count = audio.channels - first;
    if (first < 0 || count <= 0 || first + count > audio.channels) return Audio{audio.rate, 0, {}};
    if (first == 0 && count == audio.channels) return audio;
    Audio out{audio.rate, count, {}};
    out.samples.reserve(static_cast<std::size_t>(audio.Frames() * count));
    for (std::int64_t f = 0; f < audio.Frames(); ++f) {
        for (int c = first; c < first + count; ++c) out.samples.push_back(audio.At(f, c));
    }
    return out;
}

std::string FormatDb(double db, int decimals)
{
    if (std::isinf(db)) return db < 0 ? "-inf" : "inf";
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, db);
    return text;
}

} // namespace mg::compare
