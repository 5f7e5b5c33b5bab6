// Preset slots and the parameter serialisation behind presets and host chunks.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "FixedText.h"
#include "IAudioPlugin.h"
#include "Trace.h"

namespace mg {

bool IAudioPlugin::SerializeParams(IByteChunk& chunk)
{
    LockGuard guard(lock_);
    bool ok = true;
    for (std::size_t i = 0; i < parameters_.size() && ok; ++i)
        ok = chunk.PutDouble(parameters_[i]->value()) && chunk.Size() > 0;
    return ok;
}

int IAudioPlugin::UnserializeParams(const IByteChunk& chunk, int start)
{
    LockGuard guard(lock_);
    int pos = start;
    for (int i = 0; i < ParameterCount() && pos >= 0; ++i) {
        IParameter& parameter = *parameters_[static_cast<std::size_t>(i)];
        TraceSink("IAudioPlugin::UnserializeParams", __LINE__, "%d %s", i, parameter.name());
        double v = 0.0;
        if (chunk.ReadDouble(pos, v)) {
            pos += 8;
        } else {
            pos = -1;
        }
        // A stored value that is no number loads like a missing one: 0.0
        // clamped into the range. Reading goes on with the next value.
        parameter.set_value(parameter.Clamp(v));
    }
    for (int i = 0; i < ParameterCount(); ++i) OnParameterChange(i);
    return pos;
}

IPresetRecord* IAudioPlugin::FirstFreePreset()
{
    for (auto& preset : presets_)
        if (!preset->initialised) return preset.get();
    return nullptr;
}

void IAudioPlugin::AddPresetFromValues(const char* name, std::initializer_list<double> values)
{
    IPresetRecord* preset = FirstFreePreset();
    if (!preset) return;
    preset->initialised = true;
    CopyBounded(preset->name, name);
    auto value = values.begin();
    for (const auto& parameter : parameters_) {
        double v = parameter->value();
        if (value != values.end()) {
            v = *value++;
            if (!parameter->IsContinuous()) v = std::trunc(v);
        }
        preset->state.PutDouble(v);
    }
}

void IAudioPlugin::FillPresetsWithCurrent(const char* name, int count)
{
    for (int round = 0; round < count; ++round) {
        IPresetRecord* preset = FirstFreePreset();
        if (!preset) return;
        preset->initialised = true;
        CopyBounded(preset->name, name ? name : "Default");
        SerializeParams(preset->state);
    }
}

void IAudioPlugin::EnsureOnePreset()
{
    if (!presets_.empty()) return;
    auto preset = std::make_unique<IPresetRecord>();
    std::snprintf(preset->name, sizeof preset->name, "- %d -", 1);
    presets_.push_back(std::move(preset));
    FillPresetsWithCurrent(nullptr, 1);
}

void IAudioPlugin::NextUserPresetName(char* out, std::size_t capacity) const
{
    int count = 0;
    for (const auto& preset : presets_)
        if (std::strstr(preset->name, "user preset")) ++count;
    std::snprintf(out, capacity, "%s %d", "user preset", count + 1);
}

bool IAudioPlugin::SelectPreset(int index)
{
    if (index < 0 || index >= PresetCount()) return false;
    IPresetRecord& preset = *presets_[static_cast<std::size_t>(index)];
    bool ok = false;
    if (preset.initialised) {
        ok = UnserializeParams(preset.state, 0) > 0;
    } else {
        char name[kPresetNameSize];
        NextUserPresetName(name, sizeof name);
        preset.initialised = true;
        CopyBounded(preset.name, name);
        ok = SerializeParams(preset.state);
    }
    if (ok) {
        currentPreset_ = index;
        presetEverSelected_ = true;
        PushValuesToEditor();
    }
    return ok;
}

void IAudioPlugin::StoreCurrentInPreset(const char* name)
{
    if (currentPreset_ < 0 || currentPreset_ >= PresetCount()) return;
    IPresetRecord& preset = *presets_[static_cast<std::size_t>(currentPreset_)];
    preset.state.Clear();
    SerializeParams(preset.state);
    if (name && name[0] != '\0') CopyBounded(preset.name, name);
}

const char* IAudioPlugin::PresetName(int index) const
{
    if (index < 0 || index >= PresetCount()) return "";
    return presets_[static_cast<std::size_t>(index)]->name;
}

void IAudioPlugin::WriteChunkHeader(IByteChunk& chunk)
{
    chunk.Clear();
    chunk.PutUInt32(kChunkMagic);
    chunk.PutUInt32(kChunkVersion);
}

std::uint32_t IAudioPlugin::ReadChunkHeader(const IByteChunk& chunk, int& pos)
{
    std::uint32_t magic = 0;
    if (!chunk.ReadUInt32(pos, magic) || magic != kChunkMagic) return 0;
    std::uint32_t version = 0;
    if (!chunk.ReadUInt32(pos + 4, version)) {
        pos = -1;
        return 0;
    }
    pos += 8;
    return version;
}

} // namespace mg
