// The controller side: parameter descriptions, values and their texts,
// the program selector, and the state the host saves and restores.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "core/FixedText.h"
#include "vst3/IVst3Plugin.h"
#include "vst3/Vst3Text.h"

namespace mg {

using namespace vst3;

vst3::ParamID IVst3Plugin::ProgramParameterId() const
{
    return PresetCount() > 1 ? static_cast<ParamID>(ParameterCount()) : kNoProgramParameter;
}

int IVst3Plugin::Vst3ParameterCount() const { return ParameterCount() + (PresetCount() > 1 ? 1 : 0); }

int IVst3Plugin::ProgramOf(double normalized) const
{
    const int steps = ProgramStepCount();
    return std::min(steps, static_cast<int>(std::floor(std::clamp(normalized, 0.0, 1.0) * (steps + 1))));
}

// ---- descriptions -------------------------------------------------------------------------

int32 MG_VST3_CALL IVst3Plugin::getParameterCount() { return Vst3ParameterCount(); }

tresult MG_VST3_CALL IVst3Plugin::getParameterInfo(int32 paramIndex, ParameterInfo& info)
{
    if (paramIndex < 0 || paramIndex >= Vst3ParameterCount()) return kInvalidArgument;
    info = ParameterInfo{};
    info.id = static_cast<ParamID>(paramIndex);
    info.unitId = kRootUnitId;
    if (info.id == ProgramParameterId()) {
        ToUtf16("Program", info.title);
        ToUtf16("Program", info.shortTitle);
        info.stepCount = ProgramStepCount();
        info.flags = ParameterInfo::kIsProgramChange | ParameterInfo::kIsList;
        return kResultOk;
    }
    LockGuard guard(Lock());
    const IParameter* parameter = ParameterAt(paramIndex);
    ToUtf16(parameter->name(), info.title);
    ToUtf16(parameter->name(), info.shortTitle);
    ToUtf16(parameter->label(), info.units);
    // Choices step through their values; continuous parameters have no steps.
    const double span = parameter->maximum() - parameter->minimum();
    info.stepCount = parameter->IsContinuous() ? 0 : static_cast<int32>(std::lround(span / parameter->step()));
    info.defaultNormalizedValue = parameter->Normalized();
    info.flags = ParameterInfo::kCanAutomate;
    return kResultOk;
}

// ---- values and texts ------------------------------------------------------------------------
// The conversions run on hosts' audio threads too: arithmetic on ranges that
// never change, no lock.

ParamValue MG_VST3_CALL IVst3Plugin::normalizedParamToPlain(ParamID id, ParamValue valueNormalized)
{
    if (!std::isfinite(valueNormalized)) return 0.0;
    const double n = std::clamp(valueNormalized, 0.0, 1.0);
    if (id == ProgramParameterId()) return ProgramOf(n);
    const IParameter* parameter = IsParameter(id) ? ParameterAt(static_cast<int>(id)) : nullptr;
    return parameter ? parameter->ValueFromNormalized(n) : 0.0;
}

ParamValue MG_VST3_CALL IVst3Plugin::plainParamToNormalized(ParamID id, ParamValue plainValue)
{
    if (!std::isfinite(plainValue)) return 0.0;
    if (id == ProgramParameterId())
        return std::clamp(plainValue, 0.0, static_cast<double>(ProgramStepCount())) / ProgramStepCount();
    const IParameter* parameter = IsParameter(id) ? ParameterAt(static_cast<int>(id)) : nullptr;
    return parameter ? parameter->NormalizedOf(plainValue) : 0.0;
}

ParamValue MG_VST3_CALL IVst3Plugin::getParamNormalized(ParamID id)
{
    LockGuard guard(Lock());
    if (id == ProgramParameterId()) return static_cast<double>(CurrentPreset()) / ProgramStepCount();
    const IParameter* parameter = IsParameter(id) ? ParameterAt(static_cast<int>(id)) : nullptr;
    return parameter ? parameter->Normalized() : 0.0;
}

tresult MG_VST3_CALL IVst3Plugin::getParamStringByValue(ParamID id, ParamValue valueNormalized, String128 string)
{
    if (!string) return kInvalidArgument;
    if (!std::isfinite(valueNormalized) || valueNormalized < 0.0 || valueNormalized > 1.0) return kInvalidArgument;
    LockGuard guard(Lock());
    if (id == ProgramParameterId()) {
        ToUtf16(PresetName(ProgramOf(valueNormalized)), string, 128);
        return kResultOk;
    }
    const IParameter* parameter = IsParameter(id) ? ParameterAt(static_cast<int>(id)) : nullptr;
    if (!parameter) return kInvalidArgument;
    // The text the VST 2.4 display shows once the value is set.
    char text[kParamTextSize];
    parameter->FormatForHost(parameter->ValueFromNormalized(valueNormalized), false, text, sizeof text);
    ToUtf16(text, string, 128);
    return kResultOk;
}

tresult MG_VST3_CALL IVst3Plugin::getParamValueByString(ParamID id, TChar* string, ParamValue& valueNormalized)
{
    if (!string) return kInvalidArgument;
    const std::string text = ToUtf8(string);
    LockGuard guard(Lock());
    if (id == ProgramParameterId()) {
        for (int i = 0; i < PresetCount(); ++i) {
            if (text != PresetName(i)) continue;
            valueNormalized = static_cast<double>(i) / ProgramStepCount();
            return kResultOk;
        }
        return kResultFalse;
    }
    const IParameter* parameter = IsParameter(id) ? ParameterAt(static_cast<int>(id)) : nullptr;
    if (!parameter) return kInvalidArgument;
    int listed = 0;
    if (parameter->ValueFromText(text.c_str(), listed)) {
        valueNormalized = parameter->NormalizedOf(listed);
        return kResultOk;
    }
    char* end = nullptr;
    const double plain = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || !std::isfinite(plain)) return kResultFalse;
    valueNormalized = parameter->NormalizedOf(plain);
    return kResultOk;
}

// ---- changes from the host -------------------------------------------------------------------

void IVst3Plugin::SelectProgram(int index)
{
    // Hosts repeat the selector's value; only a change loads the program, so
    // a repeat cannot undo edits made since.
    if (index == CurrentPreset() && PresetEverSelected()) return;
    if (SelectPreset(index)) reportValues_ = true;
}

// A value from the host's automation or its controls; the caller holds the lock.
void IVst3Plugin::ApplyChange(ParamID id, double normalized)
{
    if (!std::isfinite(normalized) || normalized < 0.0 || normalized > 1.0) return;
    if (id == ProgramParameterId()) {
        SelectProgram(ProgramOf(normalized));
        return;
    }
    if (!IsParameter(id)) return;
    if (id < 64 && (editing_.load() >> id & 1)) return;
    SetParameterFromHost(static_cast<int>(id), normalized);
}

tresult MG_VST3_CALL IVst3Plugin::setParamNormalized(ParamID id, ParamValue value)
{
    if (!IsParameter(id) && id != ProgramParameterId()) return kInvalidArgument;
    if (!std::isfinite(value) || value < 0.0 || value > 1.0) return kInvalidArgument;
    // Never calls back into the host from here: some hosts hold a lock of
    // their own around this call that a callback would take again.
    LockGuard guard(Lock());
    ApplyChange(id, value);
    return kResultOk;
}

// ---- state ---------------------------------------------------------------------------------------
// The component's state is the VST 2.4 plug-in's chunk, byte for byte
// (header and the parameters' values), so a session moved between the two
// formats keeps its sound.

namespace {

// Everything the stream holds, read in parts as hosts hand out short reads;
// false when it holds more than `limit`.
bool ReadAll(IBStream* stream, IByteChunk& out, int limit)
{
    std::uint8_t part[512];
    while (out.Size() <= limit) {
        int32 got = 0;
        if (stream->read(part, static_cast<int32>(sizeof part), &got) != kResultOk) break;
        if (got <= 0) break;
        if (got > static_cast<int32>(sizeof part) || !out.Append(part, got)) return false;
    }
    return out.Size() <= limit;
}

} // namespace

tresult IVst3Plugin::GetProcessorState(IBStream* state)
{
    if (!state) return kInvalidArgument;
    IByteChunk chunk;
    {
        LockGuard guard(Lock());
        if (!initialized_) return kResultFalse;
        WriteChunkHeader(chunk);
        if (!SerializeState(chunk)) return kOutOfMemory;
    }
    // Written from where the stream stands: hosts put the state after
    // their own header.
    int32 written = 0;
    if (state->write(chunk.Data(), chunk.Size(), &written) != kResultOk || written != chunk.Size()) return kResultFalse;
    return kResultOk;
}

tresult IVst3Plugin::LoadState(IBStream* state)
{
    if (!state) return kInvalidArgument;
    IByteChunk chunk;
    if (!ReadAll(state, chunk, kMaxStateBytes)) return kResultFalse;
    // Only a whole chunk of ours: a header, and one finite value per
    // parameter. Anything else is refused before a value changes.
    int pos = 0;
    std::uint32_t magic = 0;
    if (!chunk.ReadUInt32(0, magic) || magic != kChunkMagic) return kResultFalse;
    if (ReadChunkHeader(chunk, pos) != kChunkVersion) return kResultFalse;
    if (chunk.Size() != pos + 8 * ParameterCount()) return kResultFalse;
    for (int i = 0; i < ParameterCount(); ++i) {
        double value = 0.0;
        if (!chunk.ReadDouble(pos + 8 * i, value) || !std::isfinite(value)) return kResultFalse;
    }
    LockGuard guard(Lock());
    if (!initialized_) return kResultFalse;
    if (UnserializeState(chunk, pos) < 0) return kResultFalse;
    PushValuesToEditor();
    return kResultOk;
}

tresult IVst3Plugin::SetProcessorState(IBStream* state) { return LoadState(state); }

// The host hands the controller the component's state after restoring it;
// for one object the values are in place already, and loading them again
// changes nothing.
tresult MG_VST3_CALL IVst3Plugin::setComponentState(IBStream* state) { return LoadState(state); }

// The controller keeps nothing of its own.
tresult IVst3Plugin::GetControllerState(IBStream* state) { return state ? kResultOk : kInvalidArgument; }

tresult IVst3Plugin::SetControllerState(IBStream* state) { return state ? kResultOk : kInvalidArgument; }

} // namespace mg
