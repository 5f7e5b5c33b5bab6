// mg-conformance PLUGIN
//
// Loads a VST 2.4 plug-in library and puts it through what strict hosts and
// validators do to a plug-in: many instances, also on two threads at once;
// every request before effOpen and after switching off; sample rates from
// 8 kHz to 384 kHz; blocks of one frame and of 100000; input that is no
// number, infinite, subnormal or a full-scale square; state recall in a fresh
// instance, bit for bit; parameter texts that fit and round-trip.
//
// One line per check ("ok", "FAIL" or "skip" and what was checked), then
// "N passed, N failed[, N skipped]". Exit status 0 when nothing failed, 1
// when a check failed, 2 when the library could not be used at all.
#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "Platform.h"
#include "VstAbi.h"

namespace {

using vst::AEffect;
using vst::intptr;
using vst::int32;

vst::EntryProc entry = nullptr;

intptr VST_CALL Host(AEffect*, int32 opcode, int32, intptr, void* ptr, float)
{
    switch (opcode) {
    case vst::audioMasterVersion:
        return 2400;
    case vst::audioMasterGetSampleRate:
        return 48000;
    case vst::audioMasterGetBlockSize:
        return 512;
    case vst::audioMasterGetProductString:
    case vst::audioMasterGetVendorString:
        if (ptr) std::snprintf(static_cast<char*>(ptr), vst::kVstMaxProductStrLen, "%s", "mg-conformance");
        return 1;
    case vst::audioMasterGetVendorVersion:
        return 1;
    default:
        return 0;
    }
}

// ---- reporting -----------------------------------------------------------------

struct Report {
    int passed = 0;
    int failed = 0;
    int skipped = 0;

    bool Check(bool ok, const std::string& what, const std::string& detail = "")
    {
        if (ok) {
            ++passed;
            std::printf("ok   %s\n", what.c_str());
        } else {
            ++failed;
            std::printf("FAIL %s%s%s\n", what.c_str(), detail.empty() ? "" : ": ", detail.c_str());
        }
        std::fflush(stdout);
        return ok;
    }

    void Skip(const std::string& what, const std::string& why)
    {
        ++skipped;
        std::printf("skip %s: %s\n", what.c_str(), why.c_str());
        std::fflush(stdout);
    }
};

#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
std::string Format(const char* format, ...)
{
    char text[256];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    return text;
}

// ---- one instance -----------------------------------------------------------------

class Plugin {
public:
    Plugin() : effect_(entry(&Host)) {}
    ~Plugin() { Close(); }
    Plugin(const Plugin&) = delete;
    Plugin& operator=(const Plugin&) = delete;

    bool Valid() const
    {
        return effect_ && effect_->magic == vst::kEffectMagic && effect_->dispatcher && effect_->processReplacing &&
               effect_->setParameter && effect_->getParameter && effect_->numOutputs > 0 && effect_->numInputs >= 0 &&
               effect_->numParams >= 0;
    }
    AEffect* operator->() const { return effect_; }
    AEffect* get() const { return effect_; }

    intptr Dispatch(int32 opcode, int32 index = 0, intptr value = 0, void* ptr = nullptr, float opt = 0.0f) const
    {
        return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
    }

    // What a host does before the first block.
    void Start(float rate, int block) const
    {
        Dispatch(vst::effOpen);
        Dispatch(vst::effSetSampleRate, 0, 0, nullptr, rate);
        Dispatch(vst::effSetBlockSize, 0, block);
        Dispatch(vst::effMainsChanged, 0, 1);
    }

    void SetAll(float value) const
    {
        for (int i = 0; i < effect_->numParams; ++i) effect_->setParameter(effect_, i, value);
    }

    std::vector<float> Parameters() const
    {
        std::vector<float> values;
        for (int i = 0; i < effect_->numParams; ++i) values.push_back(effect_->getParameter(effect_, i));
        return values;
    }

    void Close()
    {
        if (effect_) Dispatch(vst::effClose);
        effect_ = nullptr;
    }

private:
    AEffect* effect_;
};

// ---- audio ----------------------------------------------------------------------------

// Host-side buffers for one plug-in's channels. Every input channel gets the
// signal (the second one a little altered); outputs start out as a marker.
template <class Sample>
class Buffers {
public:
    Buffers(const AEffect* effect, int frames)
        : in_(static_cast<std::size_t>(effect->numInputs), std::vector<Sample>(static_cast<std::size_t>(frames))),
          out_(static_cast<std::size_t>(effect->numOutputs), std::vector<Sample>(static_cast<std::size_t>(frames))),
          inPointers_(in_.size() + 1), outPointers_(out_.size() + 1)
    {
        for (std::size_t i = 0; i < in_.size(); ++i) inPointers_[i] = in_[i].data();
        for (std::size_t i = 0; i < out_.size(); ++i) outPointers_[i] = out_[i].data();
    }

    void Fill(const std::vector<double>& signal, int from, int frames)
    {
        for (std::size_t c = 0; c < in_.size(); ++c)
            for (int f = 0; f < frames; ++f)
                in_[c][static_cast<std::size_t>(f)] =
                    static_cast<Sample>(signal[static_cast<std::size_t>(from + f)] * (c % 2 ? -0.5 : 1.0));
        for (auto& channel : out_) std::fill(channel.begin(), channel.end(), Sample(0));
    }

    Sample** In() { return inPointers_.data(); }
    Sample** Out() { return outPointers_.data(); }
    const std::vector<std::vector<Sample>>& Outputs() const { return out_; }

private:
    std::vector<std::vector<Sample>> in_;
    std::vector<std::vector<Sample>> out_;
    std::vector<Sample*> inPointers_;
    std::vector<Sample*> outPointers_;
};

struct Level {
    bool finite = true;
    double peak = 0.0;
    double low = 0.0; // smallest and largest sample of the last block
    double high = 0.0;
};

// Renders `signal` in blocks of `block` frames with processReplacing (or
// processDoubleReplacing) and measures the output from frame `from` on;
// `keep` collects the first output channel when given.
template <class Sample>
Level Render(const Plugin& plugin, const std::vector<double>& signal, int block, std::vector<Sample>* keep = nullptr,
             int from = 0)
{
    Level level;
    Buffers<Sample> buffers(plugin.get(), block);
    const int total = static_cast<int>(signal.size());
    for (int done = 0; done < total; done += block) {
        const int n = std::min(block, total - done);
        buffers.Fill(signal, done, n);
        if constexpr (sizeof(Sample) == sizeof(double)) {
            plugin->processDoubleReplacing(plugin.get(), buffers.In(), buffers.Out(), n);
        } else {
            plugin->processReplacing(plugin.get(), buffers.In(), buffers.Out(), n);
        }
        level.low = level.high = static_cast<double>(buffers.Outputs()[0][0]);
        for (const auto& channel : buffers.Outputs()) {
            for (int f = std::max(0, from - done); f < n; ++f) {
                const double v = static_cast<double>(channel[static_cast<std::size_t>(f)]);
                if (!std::isfinite(v)) {
                    level.finite = false;
                    continue;
                }
                level.peak = std::max(level.peak, std::fabs(v));
                level.low = std::min(level.low, v);
                level.high = std::max(level.high, v);
            }
        }
        if (keep)
            keep->insert(keep->end(), buffers.Outputs()[0].begin(), buffers.Outputs()[0].begin() + n);
    }
    return level;
}

// A chirp over the whole band with a full-scale square on top of it.
std::vector<double> TestSignal(double rate, int frames)
{
    std::vector<double> signal(static_cast<std::size_t>(frames));
    double phase = 0.0;
    for (int f = 0; f < frames; ++f) {
        const double t = static_cast<double>(f) / frames;
        const double frequency = 20.0 * std::pow(rate * 0.45 / 20.0, t);
        phase += 2.0 * 3.14159265358979323846 * frequency / rate;
        const double square = (f / 37) % 2 ? 0.3 : -0.3;
        signal[static_cast<std::size_t>(f)] = 0.7 * std::sin(phase) + square;
    }
    return signal;
}

// Values between 0.25 and 1 in size with either sign: far above any tiny
// anti-denormal noise a plug-in adds, so equal states must give equal bits.
std::vector<double> RecallSignal(int frames)
{
    std::vector<double> signal(static_cast<std::size_t>(frames));
    std::uint32_t seed = 12345;
    for (auto& v : signal) {
        seed = seed * 1664525u + 1013904223u;
        const double magnitude = 0.25 + 0.75 * static_cast<double>(seed >> 8) / 16777216.0;
        v = (seed & 1) ? magnitude : -magnitude;
    }
    return signal;
}

// ---- checks ------------------------------------------------------------------------------

constexpr double kBound = 1000.0; // no sane effect gets anywhere near this from full scale

void CheckDescriptor(Report& report)
{
    Plugin plugin;
    report.Check(plugin.Valid(), "the entry point returns a usable descriptor",
                 "magic, callbacks or channel counts missing");
}

struct Churn {
    int instances = 0;
    int failures = 0;
};

void ChurnInstances(void* argument)
{
    auto* churn = static_cast<Churn*>(argument);
    std::vector<double> signal = TestSignal(44100.0, 256);
    for (int i = 0; i < churn->instances; ++i) {
        Plugin plugin;
        if (!plugin.Valid()) {
            ++churn->failures;
            continue;
        }
        plugin.Start(44100.0f, 256);
        if (!Render<float>(plugin, signal, 256).finite) ++churn->failures;
        plugin.Dispatch(vst::effMainsChanged, 0, 0);
    }
}

void CheckInstances(Report& report)
{
    int bad = 0;
    for (int i = 0; i < 100; ++i) {
        Plugin plugin;
        if (!plugin.Valid()) {
            ++bad;
            continue;
        }
        plugin.Dispatch(vst::effOpen);
    }
    report.Check(bad == 0, "100 instances opened and closed one after another", Format("%d failed", bad));

    Churn a{50, 0};
    Churn b{50, 0};
    mg::conformance::RunTogether(ChurnInstances, &a, ChurnInstances, &b);
    report.Check(a.failures + b.failures == 0, "100 instances opened, run and closed on two threads at once",
                 Format("%d failed", a.failures + b.failures));
}

// Every request 0..79 but effClose, with no pointer or with a generous
// zeroed buffer. effEditOpen gets no pointer either way: a buffer is no window.
void SendEveryRequest(const Plugin& plugin, bool withBuffer, bool includeOpen)
{
    std::vector<std::uint64_t> buffer(8192); // 64 KiB, aligned for any record
    for (int32 opcode = 0; opcode < 80; ++opcode) {
        if (opcode == vst::effClose || (opcode == vst::effOpen && !includeOpen)) continue;
        std::fill(buffer.begin(), buffer.end(), 0);
        void* ptr = withBuffer && opcode != vst::effEditOpen ? buffer.data() : nullptr;
        plugin.Dispatch(opcode, 0, 0, ptr, 0.0f);
    }
}

void CheckRequestSweeps(Report& report)
{
    const std::vector<double> signal = TestSignal(48000.0, 1024);
    for (const bool withBuffer : {false, true}) {
        const std::string pointer = withBuffer ? "a zeroed 64 KiB buffer" : "null pointers";
        {
            Plugin plugin;
            SendEveryRequest(plugin, withBuffer, false);
            plugin.Start(48000.0f, 512);
            const Level level = Render<float>(plugin, signal, 512);
            report.Check(level.finite, "requests 0..79 before effOpen, with " + pointer + ", then audio",
                         "output is no number afterwards");
        }
        {
            Plugin plugin;
            plugin.Start(48000.0f, 512);
            Render<float>(plugin, signal, 512);
            plugin.Dispatch(vst::effMainsChanged, 0, 0);
            SendEveryRequest(plugin, withBuffer, true);
            bool inRange = true;
            for (float v : plugin.Parameters()) inRange = inRange && v >= 0.0f && v <= 1.0f;
            report.Check(inRange, "requests 0..79 after effMainsChanged 0, with " + pointer,
                         "parameters left outside 0..1");
        }
    }
}

void CheckSampleRates(Report& report)
{
    static constexpr double kRates[] = {8000,  11025, 16000,  22050,  32000,  44100, 48000,
                                        88200, 96000, 176400, 192000, 352800, 384000};
    for (const double rate : kRates) {
        const int frames = static_cast<int>(rate / 4);
        const std::vector<double> signal = TestSignal(rate, frames);
        const std::vector<double> silence(static_cast<std::size_t>(frames), 0.0);
        bool ok = true;
        std::string detail;
        for (const float setting : {-1.0f, 1.0f, 0.0f}) { // defaults, all up, all down
            Plugin plugin;
            plugin.Start(static_cast<float>(rate), 512);
            if (setting >= 0.0f) plugin.SetAll(setting);
            const Level loud = Render<float>(plugin, signal, 512);
            const Level quiet = Render<float>(plugin, silence, 512);
            if (!loud.finite || !quiet.finite) {
                ok = false;
                detail = "output is no number";
            } else if (loud.peak > kBound || quiet.peak > kBound) {
                ok = false;
                detail = Format("output peaks at %g", std::max(loud.peak, quiet.peak));
            } else if (quiet.high - quiet.low > 1e-2) {
                ok = false;
                detail = Format("still moving by %g after a quarter second of silence", quiet.high - quiet.low);
            }
        }
        report.Check(ok, Format("sample rate %.0f Hz: output finite, bounded and settling", rate), detail);
    }
}

void CheckBlockSizes(Report& report)
{
    const std::vector<double> signal = TestSignal(48000.0, 100000);
    {
        Plugin plugin;
        plugin.Start(48000.0f, 1);
        plugin.SetAll(1.0f);
        const std::vector<double> part(signal.begin(), signal.begin() + 3000);
        const Level level = Render<float>(plugin, part, 1);
        report.Check(level.finite && level.peak <= kBound, "blocks of 1 frame", "output not finite or unbounded");
    }
    {
        Plugin plugin;
        plugin.Start(48000.0f, 100000);
        plugin.SetAll(1.0f);
        const Level level = Render<float>(plugin, signal, 100000);
        bool ok = level.finite && level.peak <= kBound;
        if (plugin->flags & vst::effFlagsCanDoubleReplacing) {
            const Level precise = Render<double>(plugin, signal, 100000);
            ok = ok && precise.finite && precise.peak <= kBound;
        }
        report.Check(ok, "blocks of 100000 frames", "output not finite or unbounded");
    }
}

void CheckBadInput(Report& report)
{
    struct Bad {
        const char* name;
        double value;     // every sample of the bad block, unless `single`
        bool single;      // one bad sample in an otherwise good block
        bool staysFinite; // the bad block itself must come out finite
    };
    const double nan = std::nan("");
    const double inf = HUGE_VAL;
    static const Bad kBad[] = {
        {"NaN input", nan, false, false},
        {"a single NaN sample", nan, true, false},
        {"+infinite input", inf, false, false},
        {"-infinite input", -inf, false, false},
        {"subnormal input", 1.0e-40, false, true},
        {"full-scale square input", 1.0, false, true},
    };
    constexpr int kBlock = 256;
    const std::vector<double> good = TestSignal(48000.0, kBlock * 4);
    for (const Bad& bad : kBad) {
        bool ok = true;
        std::string detail;
        for (const bool precise : {false, true}) {
            for (const float setting : {-1.0f, 1.0f, 0.0f}) {
                Plugin plugin;
                if (precise && !(plugin->flags & vst::effFlagsCanDoubleReplacing)) continue;
                plugin.Start(48000.0f, kBlock);
                if (setting >= 0.0f) plugin.SetAll(setting);
                std::vector<double> signal(good);
                for (int f = kBlock; f < 2 * kBlock; ++f) {
                    double& v = signal[static_cast<std::size_t>(f)];
                    if (bad.single) {
                        if (f == kBlock + 100) v = bad.value;
                    } else if (bad.value == 1.0) {
                        v = (f / 8) % 2 ? 1.0 : -1.0;
                    } else {
                        v = (f % 2 ? 1 : -1) * bad.value;
                    }
                }
                for (int block = 0; block < 4; ++block) {
                    const std::vector<double> part(signal.begin() + block * kBlock,
                                                   signal.begin() + (block + 1) * kBlock);
                    // A plug-in with latency hands the bad samples back that much later.
                    const int from = block == 2 ? plugin->initialDelay : 0;
                    const Level level = precise ? Render<double>(plugin, part, kBlock, nullptr, from)
                                                : Render<float>(plugin, part, kBlock, nullptr, from);
                    const bool mustBeFinite = block != 1 || bad.staysFinite;
                    if (mustBeFinite && !level.finite) {
                        ok = false;
                        detail = block == 1 ? std::string("the bad block came out as no number")
                                            : Format("block %d after the bad one is not finite", block - 1);
                    } else if (mustBeFinite && level.peak > kBound) {
                        ok = false;
                        detail = Format("output peaks at %g", level.peak);
                    }
                }
            }
        }
        report.Check(ok, std::string(bad.name) + ": output finite again one block after it ends", detail);
    }
}

std::vector<std::uint8_t> TakeChunk(const Plugin& plugin, int32 kind)
{
    void* data = nullptr;
    const intptr size = plugin.Dispatch(vst::effGetChunk, kind, 0, &data);
    if (size <= 0 || !data) return {};
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    return std::vector<std::uint8_t>(bytes, bytes + size);
}

void CheckStateRecall(Report& report)
{
    const std::vector<double> signal = RecallSignal(8192);
    for (const int32 kind : {0, 1}) {
        const std::string what = kind == 0 ? "bank chunk" : "program chunk";
        Plugin first;
        first.Start(48000.0f, 512);
        for (int i = 0; i < first->numParams; ++i)
            first->setParameter(first.get(), i, static_cast<float>(std::fmod(0.37 * (i + 1) + 0.11, 1.0)));
        const std::vector<std::uint8_t> chunk = TakeChunk(first, kind);
        if (chunk.empty()) {
            report.Skip(what + " recalls the same sound in a fresh instance", "the plug-in hands out no chunk");
            continue;
        }
        std::vector<float> firstSound;
        Render<float>(first, signal, 512, &firstSound);

        Plugin second;
        second.Start(48000.0f, 512);
        std::vector<std::uint8_t> copy(chunk);
        const intptr accepted =
            second.Dispatch(vst::effSetChunk, kind, static_cast<intptr>(copy.size()), copy.data());
        std::vector<float> secondSound;
        Render<float>(second, signal, 512, &secondSound);

        std::string detail;
        if (accepted != 1) {
            detail = "effSetChunk refused the plug-in's own chunk";
        } else if (second.Parameters() != first.Parameters()) {
            detail = "other parameter values";
        } else if (TakeChunk(second, kind) != chunk) {
            detail = "the fresh instance hands out another chunk";
        } else if (std::memcmp(firstSound.data(), secondSound.data(), firstSound.size() * sizeof(float)) != 0 ||
                   firstSound.size() != secondSound.size()) {
            detail = "the sound differs";
        }
        report.Check(detail.empty(), what + " recalls the same sound in a fresh instance, bit for bit", detail);
    }
}

// Texts for the host go into buffers of kVstMaxParamStrLen bytes.
bool ReadText(const Plugin& plugin, int32 opcode, int index, std::string& text)
{
    char buffer[64];
    std::memset(buffer, 0x55, sizeof buffer);
    plugin.Dispatch(opcode, index, 0, buffer);
    const void* end = std::memchr(buffer, 0, vst::kVstMaxParamStrLen);
    bool untouched = true;
    for (std::size_t i = vst::kVstMaxParamStrLen; i < sizeof buffer; ++i) untouched = untouched && buffer[i] == 0x55;
    text.assign(buffer, end ? static_cast<std::size_t>(static_cast<const char*>(end) - buffer) : 0);
    return end && untouched;
}

void CheckParameterTexts(Report& report)
{
    Plugin plugin;
    plugin.Start(48000.0f, 512);
    bool textEntry = false;
    for (int p = 0; p < plugin->numParams; ++p) {
        std::string name;
        std::string label;
        std::string detail;
        if (!ReadText(plugin, vst::effGetParamName, p, name) || !ReadText(plugin, vst::effGetParamLabel, p, label))
            detail = "name or label overruns its 8 bytes";
        for (int step = 0; step <= 10 && detail.empty(); ++step) {
            plugin->setParameter(plugin.get(), p, static_cast<float>(step) / 10.0f);
            const float value = plugin->getParameter(plugin.get(), p);
            std::string text;
            if (!ReadText(plugin, vst::effGetParamDisplay, p, text)) {
                detail = "display text overruns its 8 bytes";
                break;
            }
            if (text.empty()) {
                detail = Format("no display text at %.1f", step / 10.0);
                break;
            }
            // The value read back stands for the same text and stays put.
            plugin->setParameter(plugin.get(), p, value);
            std::string again;
            ReadText(plugin, vst::effGetParamDisplay, p, again);
            if (again != text || plugin->getParameter(plugin.get(), p) != value) {
                detail = "\"" + text + "\" became \"" + again + "\" when its value was set again";
                break;
            }
            // Hosts that let the user type a value use effString2Parameter.
            std::vector<char> typed(text.begin(), text.end());
            typed.push_back('\0');
            if (plugin.Dispatch(vst::effString2Parameter, p, 0, typed.data()) != 0) {
                textEntry = true;
                std::string back;
                ReadText(plugin, vst::effGetParamDisplay, p, back);
                if (back != text) detail = "typing \"" + text + "\" gives \"" + back + "\"";
            }
        }
        report.Check(detail.empty(), "parameter " + std::to_string(p) + " (" + name + "): texts fit and round-trip",
                     detail);
    }
    if (!textEntry)
        report.Skip("display texts typed back in", "effString2Parameter is not offered (the host keeps the value)");
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: mg-conformance PLUGIN\n");
        return 2;
    }
    std::string error;
    const auto library = mg::conformance::Library::Open(argv[1], error);
    if (!library) {
        std::fprintf(stderr, "mg-conformance: %s: %s\n", argv[1], error.c_str());
        return 2;
    }
    entry = reinterpret_cast<vst::EntryProc>(library->Symbol("VSTPluginMain"));
    if (!entry) entry = reinterpret_cast<vst::EntryProc>(library->Symbol("main"));
    if (!entry) {
        std::fprintf(stderr, "mg-conformance: %s: no VSTPluginMain or main\n", argv[1]);
        return 2;
    }
    {
        Plugin plugin;
        if (!plugin.Valid()) {
            std::fprintf(stderr, "mg-conformance: %s: the entry point gave no usable descriptor\n", argv[1]);
            return 2;
        }
        char name[256] = {};
        plugin.Dispatch(vst::effGetEffectName, 0, 0, name);
        std::printf("mg-conformance: %s (%s): %d parameters, %d in, %d out\n", argv[1], name, plugin->numParams,
                    plugin->numInputs, plugin->numOutputs);
    }

    Report report;
    CheckDescriptor(report);
    CheckInstances(report);
    CheckRequestSweeps(report);
    CheckSampleRates(report);
    CheckBlockSizes(report);
    CheckBadInput(report);
    CheckStateRecall(report);
    CheckParameterTexts(report);

    if (report.skipped > 0) {
        std::printf("%d passed, %d failed, %d skipped\n", report.passed, report.failed, report.skipped);
    } else {
        std::printf("%d passed, %d failed\n", report.passed, report.failed);
    }
    return report.failed == 0 ? 0 : 1;
}
