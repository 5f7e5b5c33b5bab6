// render-compare: checks a plug-in render from another host against our own
// host's render of the same input. See Usage() below.
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "Compare.h"

namespace {

using mg::compare::Audio;
using mg::compare::FormatDb;
using mg::compare::Window;

constexpr int kPass = 0;
constexpr int kFail = 1;
constexpr int kError = 2;

const char* Usage()
{
    return R"(render-compare: checks renders of the same input against each other.

Usage:
  render-compare level REFERENCE TEST [--dry DRY] [options]
      The RMS level of TEST over the steady window matches REFERENCE's
      within --tolerance dB, channel by channel. Fails when TEST is silent,
      or identical to DRY when given.
  render-compare silence TEST [options]
      Every channel of TEST is below --floor dBFS over the steady window.
  render-compare bypass INPUT TEST [options]
      Every channel of TEST equals channel 1 + channel 2 of INPUT, to
      single-precision rounding, over the steady window (by default the
      whole file). Fails when TEST is silent.
  render-compare stats FILE [--expect DBFS,DBFS...] [options]
      Prints the RMS level of each channel over the steady window; fails
      when every channel is below --floor, or when a channel's level is
      more than --tolerance dB from the one --expect gives for it.

Options:
  --skip S         seconds skipped at the start (default 0.5; bypass 0)
  --skip-end S     seconds skipped at the end (default 0.25; bypass 0)
  --tolerance DB   largest level difference (default 0.1)
  --floor DBFS     silence is below this RMS level (default -100)
  --delay N        bypass: TEST is INPUT N frames late (a plug-in's latency),
                   from frame N on

FILE may end in ":FIRST-LAST" or ":N" to take only those channels (from 1):
"render.wav:3-4". Files are read with libsndfile, so float WAV above full
scale keeps its values. Files compared must have the same sample rate and
channel count.
Prints one line "CHECK ok: ..." or "CHECK FAILED: ...". Exit status: 0 when
the check passes, 1 when it fails, 2 for a bad command line or file.
)";
}

struct Options {
    std::string command;
    std::vector<std::string> files;
    std::optional<std::string> dry;
    std::optional<double> skip;
    std::optional<double> skipEnd;
    double tolerance = 0.1;
    std::vector<double> expect; // stats: one level per channel
    double floor = -100.0;
    int delay = 0; // bypass: frames TEST lags INPUT by (a plug-in's latency)
};

bool ParseNumber(const char* text, double& out)
{
    char* end = nullptr;
    out = std::strtod(text, &end);
    return end != text && *end == '\0' && std::isfinite(out);
}

bool ParseList(const char* text, std::vector<double>& out)
{
    out.clear();
    std::string item;
    for (const char* p = text;; ++p) {
        if (*p == ',' || *p == '\0') {
            double number = 0.0;
            if (!ParseNumber(item.c_str(), number)) return false;
            out.push_back(number);
            item.clear();
            if (*p == '\0') return true;
        } else {
            item += *p;
        }
    }
}

std::optional<Options> Parse(int argc, char** argv)
{
    if (argc < 2) return std::nullopt;
    Options o;
    o.command = argv[1];
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        double number = 0.0;
        if (arg == "--expect") {
            const char* v = value();
            if (!v || !ParseList(v, o.expect)) {
                std::fprintf(stderr, "render-compare: error: --expect needs levels in dBFS, separated by commas\n");
                return std::nullopt;
            }
        } else if (arg == "--dry") {
            const char* v = value();
            if (!v) return std::nullopt;
            o.dry = v;
        } else if (arg == "--delay") {
            const char* v = value();
            if (!v || !ParseNumber(v, number) || number < 0 || number > 1e6 || number != std::floor(number)) {
                std::fprintf(stderr, "render-compare: error: --delay needs a whole number of frames\n");
                return std::nullopt;
            }
            o.delay = static_cast<int>(number);
        } else if (arg == "--skip" || arg == "--skip-end" || arg == "--tolerance" || arg == "--floor") {
            const char* v = value();
            if (!v || !ParseNumber(v, number)) {
                std::fprintf(stderr, "render-compare: error: %s needs a number\n", arg.c_str());
                return std::nullopt;
            }
            if (arg == "--skip") o.skip = number;
            else if (arg == "--skip-end") o.skipEnd = number;
            else if (arg == "--tolerance") o.tolerance = number;
            else o.floor = number;
        } else if (arg.size() > 1 && arg[0] == '-') {
            std::fprintf(stderr, "render-compare: error: unknown option %s\n", arg.c_str());
            return std::nullopt;
        } else {
            o.files.push_back(arg);
        }
    }
    const std::size_t wanted = o.command == "level" || o.command == "bypass" ? 2
                               : o.command == "silence" || o.command == "stats" ? 1
                                                                                  : 0;
    if (wanted == 0 || o.files.size() != wanted) return std::nullopt;
    return o;
}

std::optional<Audio> ReadFile(const std::string& path)
{
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) {
        std::fprintf(stderr, "render-compare: error: cannot read %s: %s\n", path.c_str(), sf_strerror(nullptr));
        return std::nullopt;
    }
    Audio audio;
    audio.rate = info.samplerate;
    audio.channels = info.channels;
    audio.samples.resize(static_cast<std::size_t>(info.frames) * static_cast<std::size_t>(info.channels));
    const sf_count_t got = sf_readf_double(file, audio.samples.data(), info.frames);
    sf_close(file);
    if (got != info.frames) {
        std::fprintf(stderr, "render-compare: error: %s: read %lld of %lld frames\n", path.c_str(),
                     static_cast<long long>(got), static_cast<long long>(info.frames));
        return std::nullopt;
    }
    return audio;
}

// A file as named on the command line, "PATH" or "PATH:FIRST-LAST".
std::optional<Audio> Read(const std::string& text)
{
    const auto choice = mg::compare::ParseFileChoice(text);
    auto audio = ReadFile(choice.path);
    if (!audio) return std::nullopt;
    Audio chosen = mg::compare::SelectChannels(*audio, choice.first, choice.count);
    if (chosen.channels == 0) {
        std::fprintf(stderr, "render-compare: error: %s has %d channels, not channels %d to %d\n",
                     choice.path.c_str(), audio->channels, choice.first + 1, choice.first + choice.count);
        return std::nullopt;
    }
    return chosen;
}

bool SameShape(const Audio& a, const std::string& aPath, const Audio& b, const std::string& bPath)
{
    if (a.rate != b.rate || a.channels != b.channels) {
        std::fprintf(stderr, "render-compare: error: %s is %g Hz, %d channels but %s is %g Hz, %d channels\n",
                     aPath.c_str(), a.rate, a.channels, bPath.c_str(), b.rate, b.channels);
        return false;
    }
    return true;
}

std::string WindowText(Window w, double rate)
{
    char text[96];
    std::snprintf(text, sizeof text, "%.3f s to %.3f s", static_cast<double>(w.begin) / rate,
                  static_cast<double>(w.end) / rate);
    return text;
}

// The window over the frames both files have.
Window CommonWindow(const Audio& a, const Audio& b, const Options& o, double skip, double skipEnd)
{
    const std::int64_t frames = std::min(a.Frames(), b.Frames());
    return mg::compare::SteadyWindow(frames, a.rate, o.skip.value_or(skip), o.skipEnd.value_or(skipEnd));
}

int Level(const Options& o)
{
    const auto reference = Read(o.files[0]);
    const auto test = Read(o.files[1]);
    if (!reference || !test || !SameShape(*reference, o.files[0], *test, o.files[1])) return kError;
    const Window w = CommonWindow(*reference, *test, o, 0.5, 0.25);
    if (w.Length() == 0) {
        std::fprintf(stderr, "render-compare: error: nothing left after skipping start and end\n");
        return kError;
    }
    const double ours = mg::compare::RmsDb(*reference, w);
    const double theirs = mg::compare::RmsDb(*test, w);
    const std::string levels = "reference " + FormatDb(ours) + " dBFS, test " + FormatDb(theirs) + " dBFS";
    if (mg::compare::IsSilent(*test, w, o.floor)) {
        std::printf("level FAILED: %s: the test render is silent over %s\n", levels.c_str(),
                    WindowText(w, test->rate).c_str());
        return kFail;
    }
    if (o.dry) {
        const auto dry = Read(*o.dry);
        if (!dry || !SameShape(*dry, *o.dry, *test, o.files[1])) return kError;
        if (mg::compare::IsIdentical(*dry, *test, w, 1e-7)) {
            std::printf("level FAILED: %s: the test render is the dry input\n", levels.c_str());
            return kFail;
        }
    }
    for (int c = 0; c < test->channels; ++c) {
        const double a = mg::compare::RmsDb(*reference, w, c);
        const double b = mg::compare::RmsDb(*test, w, c);
        if (!(std::fabs(b - a) <= o.tolerance)) {
            std::printf("level FAILED: %s: channel %d is %s dBFS against %s dBFS, more than %g dB apart\n",
                        levels.c_str(), c + 1, FormatDb(b).c_str(), FormatDb(a).c_str(), o.tolerance);
            return kFail;
        }
    }
    std::printf("level ok: %s, difference %s dB (%s; largest sample difference %s dBFS)\n", levels.c_str(),
                FormatDb(theirs - ours).c_str(), WindowText(w, test->rate).c_str(),
                FormatDb(mg::compare::PeakDifferenceDb(*reference, *test, w), 1).c_str());
    return kPass;
}

int Silence(const Options& o)
{
    const auto test = Read(o.files[0]);
    if (!test) return kError;
    const Window w = mg::compare::SteadyWindow(test->Frames(), test->rate, o.skip.value_or(0.5),
                                                o.skipEnd.value_or(0.25));
    if (w.Length() == 0) {
        std::fprintf(stderr, "render-compare: error: nothing left after skipping start and end\n");
        return kError;
    }
    const double level = mg::compare::RmsDb(*test, w);
    if (!mg::compare::IsSilent(*test, w, o.floor)) {
        std::printf("silence FAILED: %s dBFS over %s, not below %g dBFS\n", FormatDb(level).c_str(),
                    WindowText(w, test->rate).c_str(), o.floor);
        return kFail;
    }
    std::printf("silence ok: %s dBFS over %s (below %g dBFS)\n", FormatDb(level).c_str(),
                WindowText(w, test->rate).c_str(), o.floor);
    return kPass;
}

int Bypass(const Options& o)
{
    auto input = Read(o.files[0]);
    const auto test = Read(o.files[1]);
    if (!input || !test) return kError;
    // The input as the plug-in hands it back, --delay frames late.
    auto& in = input->samples;
    const auto shift = std::min(in.size(), static_cast<std::size_t>(o.delay) * static_cast<std::size_t>(input->channels));
    in.insert(in.begin(), shift, 0.0);
    in.resize(in.size() - shift);
    if (input->rate != test->rate) {
        std::fprintf(stderr, "render-compare: error: %s is %g Hz but %s is %g Hz\n", o.files[0].c_str(),
                     input->rate, o.files[1].c_str(), test->rate);
        return kError;
    }
    Window w = CommonWindow(*input, *test, o, 0.0, 0.0);
    // What a late plug-in hands back first came in before the input began.
    w.begin = std::max<std::int64_t>(w.begin, o.delay);
    if (mg::compare::IsSilent(*test, w, o.floor)) {
        std::printf("bypass FAILED: the render is silent\n");
        return kFail;
    }
    const auto check = mg::compare::CheckSumOfInputs(*input, *test, w);
    if (!check.problem.empty()) {
        std::fprintf(stderr, "render-compare: error: %s\n", check.problem.c_str());
        return kError;
    }
    if (!check.ok) {
        std::printf("bypass FAILED: %lld samples differ from input 1 + input 2; first at frame %lld (%.6f s) "
                    "channel %d: %.9g instead of %.9g\n",
                    static_cast<long long>(check.mismatches), static_cast<long long>(check.firstFrame),
                    static_cast<double>(check.firstFrame) / test->rate, check.firstChannel + 1, check.actual,
                    check.expected);
        return kFail;
    }
    std::printf("bypass ok: %d channels equal input 1 + input 2 over %s (%lld frames, level %s dBFS)\n",
                test->channels, WindowText(w, test->rate).c_str(), static_cast<long long>(w.Length()),
                FormatDb(mg::compare::RmsDb(*test, w)).c_str());
    return kPass;
}

int Stats(const Options& o)
{
    const auto audio = Read(o.files[0]);
    if (!audio) return kError;
    if (!o.expect.empty() && static_cast<int>(o.expect.size()) != audio->channels) {
        std::fprintf(stderr, "render-compare: error: --expect gives %zu levels for %d channels\n", o.expect.size(),
                     audio->channels);
        return kError;
    }
    const Window w = mg::compare::SteadyWindow(audio->Frames(), audio->rate, o.skip.value_or(0.5),
                                                o.skipEnd.value_or(0.25));
    std::string problem;
    if (mg::compare::IsSilent(*audio, w, o.floor)) problem = " (silent)";
    std::string levels;
    for (int c = 0; c < audio->channels; ++c) {
        const double level = mg::compare::RmsDb(*audio, w, c);
        levels += " channel " + std::to_string(c + 1) + " " + FormatDb(level) + " dBFS";
        if (!o.expect.empty()) {
            levels += " (expected " + FormatDb(o.expect[static_cast<std::size_t>(c)]) + ")";
            if (!(std::fabs(level - o.expect[static_cast<std::size_t>(c)]) <= o.tolerance)) {
                problem = " (not the expected levels)";
            }
        }
        if (c + 1 < audio->channels) levels += ",";
    }
    std::printf("stats %s: %g Hz, %lld frames, window %s:%s\n", problem.empty() ? "ok" : ("FAILED" + problem).c_str(),
                audio->rate, static_cast<long long>(audio->Frames()), WindowText(w, audio->rate).c_str(),
                levels.c_str());
    return problem.empty() ? kPass : kFail;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(Usage(), stdout);
        return kPass;
    }
    const auto options = Parse(argc, argv);
    if (!options) {
        std::fputs("usage: render-compare level|silence|bypass|stats FILE... [options]; --help for more\n", stderr);
        return kError;
    }
    if (options->command == "level") return Level(*options);
    if (options->command == "silence") return Silence(*options);
    if (options->command == "bypass") return Bypass(*options);
    return Stats(*options);
}
