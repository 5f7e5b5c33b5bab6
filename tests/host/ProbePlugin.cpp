// A minimal plug-in written against the raw interface to watch the host from
// the inside: it logs the calls it gets (to the file named by MG_PROBE_LOG)
// and encodes what the host tells it into its output.
//
//   output 0: input 0 * gain * 2 (gain 0.5 is unity), inverted by Phase
//   output 1: the host's samplePos + frame index, or -1 when the time info
//             is missing or not a playing 120 BPM 4/4 timeline
//
// Built three times: a working probe, one whose entry point returns null and
// one that returns a wrong magic. For mg-live, with MG_PROBE_EDITOR set it
// has an editor (that only asks for a new window size at its first idle
// call), and with MG_PROBE_GROW set it gains an output when resumed again.
//
// Hosts talk to a plug-in from one thread besides the audio thread, at the
// "user" process level: a setup call from elsewhere is logged.
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include <pthread.h>

#include "VstAbi.h"

#ifndef MG_PROBE_VARIANT
#  define MG_PROBE_VARIANT 0
#endif

namespace {

using namespace vst;

constexpr int kPrograms = 3;
constexpr const char* kProgramNames[kPrograms] = {"Clean", "Push", "Broken"};
constexpr float kProgramGains[kPrograms] = {0.5f, 0.25f, 1.0f};

struct Probe {
    AEffect effect{};
    HostCallback host = nullptr;
    float gain = 0.5f;
    float polarity = 0.0f;
    int program = 0;
    const char* lastProcess = "";
    char chunk[32] = {};
    pthread_t setupThread{};
    int resumes = 0;
    bool idled = false;
};

Probe* Self(AEffect* effect)
{
    return static_cast<Probe*>(effect->object);
}

void Log(const char* format, ...) __attribute__((format(printf, 1, 2)));
void Log(const char* format, ...)
{
    const char* path = std::getenv("MG_PROBE_LOG");
    if (!path)
        return;
    if (std::FILE* file = std::fopen(path, "a")) {
        va_list args;
        va_start(args, format);
        std::vfprintf(file, format, args);
        va_end(args);
        std::fputc('\n', file);
        std::fclose(file);
    }
}

// Writes at most `limit` bytes, terminator included, cutting the text.
void CopyText(void* ptr, const char* text, std::size_t limit)
{
    auto* out = static_cast<char*>(ptr);
    std::size_t i = 0;
    for (; i + 1 < limit && text[i]; ++i)
        out[i] = text[i];
    out[i] = '\0';
}

// Logs the first call of each kind in a row, not every block.
void NoteProcess(Probe* probe, const char* kind)
{
    if (std::strcmp(probe->lastProcess, kind) == 0)
        return;
    probe->lastProcess = kind;
    Log("process %s level %d", kind,
        static_cast<int>(probe->host(&probe->effect, audioMasterGetCurrentProcessLevel, 0, 0, nullptr, 0.0f)));
}

void CheckSetupCall(Probe* probe, const char* call)
{
    if (!pthread_equal(probe->setupThread, pthread_self()))
        Log("%s from another thread", call);
    const intptr level = probe->host(&probe->effect, audioMasterGetCurrentProcessLevel, 0, 0, nullptr, 0.0f);
    if (level != 1)
        Log("%s at process level %d", call, static_cast<int>(level));
}

double Position(Probe* probe)
{
    const auto* time = reinterpret_cast<const VstTimeInfo*>(
        probe->host(&probe->effect, audioMasterGetTime, 0, kVstTempoValid | kVstTimeSigValid, nullptr, 0.0f));
    if (!time || !(time->flags & kVstTransportPlaying) || !(time->flags & kVstTempoValid) || time->tempo != 120.0 ||
        !(time->flags & kVstTimeSigValid) || time->timeSigNumerator != 4 || time->timeSigDenominator != 4)
        return -1.0;
    return time->samplePos;
}

template <class T>
void Render(AEffect* effect, T** inputs, T** outputs, int32 frames, bool accumulate)
{
    Probe* probe = Self(effect);
    const double pos = Position(probe);
    const T scale = static_cast<T>(probe->gain * 2.0f * (probe->polarity >= 0.5f ? -1.0f : 1.0f));
    for (int32 i = 0; i < frames; ++i) {
        const T a = inputs[0][i] * scale;
        const T b = pos < 0.0 ? T(-1) : static_cast<T>(pos + i);
        outputs[0][i] = accumulate ? outputs[0][i] + a : a;
        outputs[1][i] = accumulate ? outputs[1][i] + b : b;
    }
}

void VST_CALL ProcessAccumulating(AEffect* e, float** in, float** out, int32 frames)
{
    NoteProcess(Self(e), "accumulating");
    Render(e, in, out, frames, true);
}

void VST_CALL ProcessReplacing(AEffect* e, float** in, float** out, int32 frames)
{
    NoteProcess(Self(e), "replacing");
    Render(e, in, out, frames, false);
}

void VST_CALL ProcessDouble(AEffect* e, double** in, double** out, int32 frames)
{
    NoteProcess(Self(e), "double");
    Render(e, in, out, frames, false);
}

void VST_CALL SetParameter(AEffect* e, int32 index, float value)
{
    Log("param %d %.3f", index, static_cast<double>(value));
    (index == 0 ? Self(e)->gain : Self(e)->polarity) = value;
}

float VST_CALL GetParameter(AEffect* e, int32 index)
{
    return index == 0 ? Self(e)->gain : Self(e)->polarity;
}

intptr VST_CALL Dispatch(AEffect* e, int32 opcode, int32 index, intptr value, void* ptr, float opt)
{
    Probe* probe = Self(e);
    switch (opcode) {
    case effOpen:
        Log("open");
        probe->setupThread = pthread_self();
        return 0;
    case effClose:
        Log("close");
        delete probe;
        return 0;
    case effSetSampleRate:
        Log("sample rate %.0f", static_cast<double>(opt));
        CheckSetupCall(probe, "sample rate");
        return 0;
    case effSetBlockSize:
        Log("block size %d", static_cast<int>(value));
        CheckSetupCall(probe, "block size");
        return 0;
    case effSetProcessPrecision:
        Log("precision %d", static_cast<int>(value));
        return 1;
    case effMainsChanged:
        Log("mains %d", static_cast<int>(value));
        CheckSetupCall(probe, "mains");
        if (value == 1 && ++probe->resumes == 2 && std::getenv("MG_PROBE_GROW"))
            e->numOutputs = 3;
        if (value == 1) {
            // A knob gesture, as an editor would report it.
            probe->host(e, audioMasterBeginEdit, 0, 0, nullptr, 0.0f);
            probe->host(e, audioMasterAutomate, 0, 0, nullptr, probe->gain);
            probe->host(e, audioMasterEndEdit, 0, 0, nullptr, 0.0f);
            Log("host rate %d block %d", static_cast<int>(probe->host(e, audioMasterGetSampleRate, 0, 0, nullptr, 0)),
                static_cast<int>(probe->host(e, audioMasterGetBlockSize, 0, 0, nullptr, 0)));
        }
        return 0;
    case effStartProcess:
        Log("start");
        return 0;
    case effStopProcess:
        Log("stop");
        probe->lastProcess = "";
        return 0;
    case effSetProgram:
        if (value >= 0 && value < kPrograms) {
            Log("program %d", static_cast<int>(value));
            probe->program = static_cast<int>(value);
            probe->gain = kProgramGains[value];
        }
        return 0;
    case effGetProgram:
        return probe->program;
    case effGetProgramName:
        CopyText(ptr, kProgramNames[probe->program], kVstMaxProgNameLen);
        return 0;
    case effGetProgramNameIndexed:
        // The last program has no indexed name: hosts must fall back.
        if (index < 0 || index >= kPrograms - 1)
            return 0;
        CopyText(ptr, kProgramNames[index], kVstMaxProgNameLen);
        return 1;
    case effGetParamName:
        CopyText(ptr, index == 0 ? "Gain" : "Phase", kVstMaxParamStrLen);
        return 0;
    case effGetParamLabel:
        CopyText(ptr, index == 0 ? "x" : "", kVstMaxParamStrLen);
        return 0;
    case effGetParamDisplay: {
        char text[16];
        if (index == 0)
            std::snprintf(text, sizeof text, "%.2f", static_cast<double>(probe->gain * 2.0f));
        else
            std::snprintf(text, sizeof text, "%s", probe->polarity >= 0.5f ? "invert" : "normal");
        CopyText(ptr, text, kVstMaxParamStrLen);
        return 0;
    }
    case effGetEffectName:
        CopyText(ptr, "Host Probe", kVstMaxEffectNameLen);
        return 1;
    case effGetVendorString:
        CopyText(ptr, "Marrow-Grit tests", kVstMaxVendorStrLen);
        return 1;
    case effGetProductString:
        CopyText(ptr, "Probe", kVstMaxProductStrLen);
        return 1;
    case effGetVendorVersion:
        return 7;
    case effGetVstVersion:
        return kVstVersion;
    case effGetPlugCategory:
        return kPlugCategEffect;
    case effEditGetRect: {
        static ERect rect{0, 0, 100, 200};
        *static_cast<ERect**>(ptr) = &rect;
        return 1;
    }
    case effEditOpen:
        Log("editor open");
        return 1;
    case effEditIdle:
        CheckSetupCall(probe, "editor idle");
        if (!probe->idled) {
            probe->idled = true;
            // Taller than any screen: the host bounds it.
            Log("size window %d", static_cast<int>(probe->host(e, audioMasterSizeWindow, 300, 30000, nullptr, 0.0f)));
        }
        return 0;
    case effEditClose:
        Log("editor close");
        return 0;
    case effGetChunk:
        Log("get chunk %d", static_cast<int>(index));
        std::snprintf(probe->chunk, sizeof probe->chunk, "gain=%.4f", static_cast<double>(probe->gain));
        *static_cast<void**>(ptr) = probe->chunk;
        return static_cast<intptr>(std::strlen(probe->chunk));
    case effSetChunk: {
        Log("set chunk %d %d", static_cast<int>(index), static_cast<int>(value));
        char text[32] = {};
        std::memcpy(text, ptr, static_cast<std::size_t>(value < 31 ? value : 31));
        float gain = 0.0f;
        if (std::sscanf(text, "gain=%f", &gain) != 1)
            return 0;
        probe->gain = gain;
        return 1;
    }
    default:
        return 0;
    }
}

} // namespace

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(HostCallback host)
{
    // Asked with no effect yet, as plug-ins do before they exist.
    char product[64] = {};
    char vendor[64] = {};
    const intptr version = host(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f);
    host(nullptr, audioMasterGetProductString, 0, 0, product, 0.0f);
    host(nullptr, audioMasterGetVendorString, 0, 0, vendor, 0.0f);
    Log("entry version %d product %s vendor %s vendor version %d can do time %d", static_cast<int>(version), product,
        vendor, static_cast<int>(host(nullptr, audioMasterGetVendorVersion, 0, 0, nullptr, 0.0f)),
        static_cast<int>(host(nullptr, audioMasterCanDo, 0, 0, const_cast<char*>("sendVstTimeInfo"), 0.0f)));
    if (version == 0 || MG_PROBE_VARIANT == 1)
        return nullptr;
    if (MG_PROBE_VARIANT == 2) {
        // Never closed by a host that checks the magic, so nothing to free.
        static AEffect wrong{};
        wrong.magic = 0x12345678;
        return &wrong;
    }

    auto* probe = new (std::nothrow) Probe;
    if (!probe)
        return nullptr;
    AEffect& e = probe->effect;
    e.magic = kEffectMagic;
    e.dispatcher = Dispatch;
    e.process = ProcessAccumulating;
    e.processReplacing = ProcessReplacing;
    e.processDoubleReplacing = ProcessDouble;
    e.setParameter = SetParameter;
    e.getParameter = GetParameter;
    e.numPrograms = kPrograms;
    e.numParams = 2;
    e.numInputs = 1;
    e.numOutputs = 2;
    e.flags = effFlagsCanReplacing | effFlagsCanDoubleReplacing | effFlagsProgramChunks;
    if (std::getenv("MG_PROBE_EDITOR"))
        e.flags |= effFlagsHasEditor;
    e.object = probe;
    e.uniqueID = 0x4d675072; // 'MgPr'
    e.version = 3;
    probe->host = host;
    return &e;
}
