#include "PresetFile.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "AtomicFile.h"
#include "Failure.h"
#include "PluginInstance.h"
#include "Text.h"

namespace mg::host {
namespace {

std::string IdText(std::int32_t id)
{
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%08x", static_cast<unsigned>(id));
    return "'" + FourChars(id) + "' (" + hex + ")";
}

int CountOrZero(vst::int32 count)
{
    return count > 0 ? count : 0;
}

void CheckId(const PluginInstance& plugin, std::int32_t fxId, const std::string& what)
{
    const std::int32_t ours = plugin.Effect().uniqueID;
    if (fxId != ours)
        throw Failure(what + " is for the plug-in with ID " + IdText(fxId) + ", not for this one, " + IdText(ours));
}

// Values a plug-in may be given: normalised, and numbers.
void CheckProgram(const PluginInstance& plugin, const Preset& program, const std::string& what)
{
    CheckId(plugin, program.fxId, what);
    const auto count = static_cast<std::size_t>(CountOrZero(plugin.Effect().numParams));
    if (program.params.size() != count)
        throw Failure(what + " has " + std::to_string(program.params.size()) + " parameters, the plug-in " +
                      std::to_string(count));
    for (std::size_t i = 0; i < count; ++i) {
        const float value = program.params[i];
        if (!(value >= 0.0f && value <= 1.0f))
            throw Failure(what + " gives parameter " + std::to_string(i) + " the value " +
                          std::to_string(value) + ", outside 0..1");
    }
}

void CheckAgainst(const PluginInstance& plugin, const Preset& preset)
{
    const vst::AEffect& effect = plugin.Effect();
    if (preset.IsChunk()) {
        CheckId(plugin, preset.fxId, "the preset");
        if (!plugin.HasFlag(vst::effFlagsProgramChunks))
            throw Failure(std::string("the preset is a '") + PresetMagicName(preset.kind) +
                          "' chunk, but the plug-in does not take chunks (no effFlagsProgramChunks)");
        return;
    }
    if (preset.kind == PresetKind::Program) {
        CheckProgram(plugin, preset, "the preset");
        return;
    }
    CheckId(plugin, preset.fxId, "the bank");
    const auto programs = static_cast<std::size_t>(CountOrZero(effect.numPrograms));
    if (preset.programs.size() != programs)
        throw Failure("the bank has " + std::to_string(preset.programs.size()) + " programs, the plug-in " +
                      std::to_string(programs));
    for (std::size_t i = 0; i < programs; ++i)
        CheckProgram(plugin, preset.programs[i], "program " + std::to_string(i) + " of the bank");
    if (preset.formatVersion == 2 &&
        (preset.currentProgram < 0 || static_cast<std::size_t>(preset.currentProgram) >= programs))
        throw Failure("the bank's current program " + std::to_string(preset.currentProgram) +
                      " is out of range (the plug-in has " + std::to_string(programs) + " programs)");
}

// Plug-ins keep program names in buffers of kVstMaxProgNameLen, terminator
// included: a longer name could overrun theirs.
void SetProgramName(PluginInstance& plugin, const std::string& name)
{
    std::string bounded = name.substr(0, vst::kVstMaxProgNameLen - 1);
    plugin.Dispatch(vst::effSetProgramName, 0, 0, bounded.data());
}

void SetParameters(PluginInstance& plugin, const std::vector<float>& values)
{
    for (std::size_t i = 0; i < values.size(); ++i)
        plugin.SetParameter(static_cast<int>(i), static_cast<double>(values[i]));
}

std::vector<float> Parameters(PluginInstance& plugin)
{
    std::vector<float> values(static_cast<std::size_t>(CountOrZero(plugin.Effect().numParams)));
    for (std::size_t i = 0; i < values.size(); ++i)
        values[i] = plugin.GetParameter(static_cast<int>(i));
    return values;
}

int CurrentProgram(PluginInstance& plugin)
{
    const vst::intptr current = plugin.Dispatch(vst::effGetProgram);
    return current >= 0 && current < plugin.Effect().numPrograms ? static_cast<int>(current) : 0;
}

std::vector<std::uint8_t> Chunk(PluginInstance& plugin, vst::int32 index)
{
    vst::intptr answer = 0;
    auto bytes = plugin.GetChunk(answer, index);
    if (bytes.empty())
        throw Failure(std::string("the plug-in gave no ") + (index == 0 ? "bank" : "program") +
                      " chunk (effGetChunk answered " + std::to_string(answer) + ")");
    return bytes;
}

Preset Identity(const PluginInstance& plugin, PresetKind kind)
{
    Preset preset;
    preset.kind = kind;
    preset.fxId = plugin.Effect().uniqueID;
    preset.fxVersion = plugin.Effect().version;
    return preset;
}

Preset CaptureProgram(PluginInstance& plugin)
{
    const bool chunks = plugin.HasFlag(vst::effFlagsProgramChunks);
    Preset preset = Identity(plugin, chunks ? PresetKind::ProgramChunk : PresetKind::Program);
    preset.name = plugin.ReadString(vst::effGetProgramName);
    if (chunks) {
        preset.count = CountOrZero(plugin.Effect().numParams);
        preset.chunk = Chunk(plugin, 1);
    } else {
        preset.params = Parameters(plugin);
        preset.count = static_cast<std::int32_t>(preset.params.size());
    }
    return preset;
}

// Visits every program; the current one's values are taken before any
// switch and put back afterwards, so edits not yet stored in it survive.
Preset CaptureBank(PluginInstance& plugin)
{
    if (plugin.HasFlag(vst::effFlagsProgramChunks)) {
        Preset preset = Identity(plugin, PresetKind::BankChunk);
        preset.formatVersion = 2;
        preset.currentProgram = CurrentProgram(plugin);
        preset.count = CountOrZero(plugin.Effect().numPrograms);
        preset.chunk = Chunk(plugin, 0);
        return preset;
    }
    Preset preset = Identity(plugin, PresetKind::Bank);
    preset.formatVersion = 2;
    const int current = CurrentProgram(plugin);
    preset.currentProgram = current;
    const int count = CountOrZero(plugin.Effect().numPrograms);
    preset.count = count;
    preset.programs.resize(static_cast<std::size_t>(count));
    if (count == 0)
        return preset;
    const Preset now = CaptureProgram(plugin);
    for (int i = 0; i < count; ++i) {
        Preset& program = preset.programs[static_cast<std::size_t>(i)];
        if (i == current) {
            program = now;
            continue;
        }
        plugin.Dispatch(vst::effSetProgram, 0, i);
        program = CaptureProgram(plugin);
    }
    if (count > 1) {
        plugin.Dispatch(vst::effSetProgram, 0, current);
        SetParameters(plugin, now.params);
    }
    return preset;
}

} // namespace

bool IsBankFileName(const std::string& path)
{
    const std::string extension = LowerExtension(path);
    if (extension == "fxb")
        return true;
    if (extension == "fxp")
        return false;
    throw Failure("preset file " + Quoted(path) + " must end in .fxp (one program) or .fxb (a bank)");
}

Preset ReadPresetFile(const std::string& path)
{
    const auto bytes = ReadWholeFile(path, kMaxPresetFileBytes, "preset file");
    try {
        return ParsePreset(bytes);
    } catch (const Failure& failure) {
        throw Failure("preset file " + Quoted(path) + ": " + failure.what());
    }
}

void ApplyPreset(PluginInstance& plugin, const Preset& preset, const std::string& path)
{
    try {
        CheckAgainst(plugin, preset);
    } catch (const Failure& failure) {
        throw Failure("preset file " + Quoted(path) + ": " + failure.what());
    }
    switch (preset.kind) {
    case PresetKind::Program:
        SetParameters(plugin, preset.params);
        SetProgramName(plugin, preset.name);
        break;
    case PresetKind::ProgramChunk:
        plugin.SetChunk(preset.chunk, 1);
        SetProgramName(plugin, preset.name);
        break;
    case PresetKind::BankChunk:
        plugin.SetChunk(preset.chunk, 0);
        break;
    case PresetKind::Bank: {
        const int before = CurrentProgram(plugin);
        for (std::size_t i = 0; i < preset.programs.size(); ++i) {
            plugin.Dispatch(vst::effSetProgram, 0, static_cast<vst::intptr>(i));
            SetParameters(plugin, preset.programs[i].params);
            SetProgramName(plugin, preset.programs[i].name);
        }
        plugin.Dispatch(vst::effSetProgram, 0, preset.formatVersion == 2 ? preset.currentProgram : before);
        break;
    }
    }
}

void LoadPresetFile(PluginInstance& plugin, const std::string& path)
{
    ApplyPreset(plugin, ReadPresetFile(path), path);
}

Preset CapturePreset(PluginInstance& plugin, bool bank)
{
    return bank ? CaptureBank(plugin) : CaptureProgram(plugin);
}

void SavePresetFile(PluginInstance& plugin, const std::string& path)
{
    const bool bank = IsBankFileName(path);
    WriteFileAtomically(path, SerializePreset(CapturePreset(plugin, bank)), "preset file");
}

} // namespace mg::host
