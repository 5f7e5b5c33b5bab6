#include "PluginInstance.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "Failure.h"
#include "HostContext.h"
#include "Text.h"

namespace mg::host {
namespace {

// Generous: hosts in the wild pass 256 bytes and plug-ins rely on it.
constexpr std::size_t kStringBuffer = 512;
// A bank larger than this is taken for a bogus answer, not a chunk.
constexpr vst::intptr kMaxChunkBytes = vst::intptr{1} << 30;

std::string Hex(std::uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08x", value);
    return text;
}

} // namespace

PluginInstance::PluginInstance(const std::string& path, HostContext& /*host*/)
{
    std::error_code ec;
    if (!std::filesystem::exists(path, ec))
        throw Failure("plug-in " + Quoted(path) + " does not exist");
    if (std::filesystem::is_directory(path, ec))
        throw Failure("plug-in " + Quoted(path) + " is a directory, not a library");

    // A bare "plugin.so" would send the loader searching its library path
    // instead of the current folder, where the user means it.
    std::string why;
    library_ = Library::Open(std::filesystem::absolute(path, ec).string(), why);
    if (!library_)
        throw Failure("cannot load plug-in " + Quoted(path) + ": " + Printable(why));

    auto entry = reinterpret_cast<vst::EntryProc>(library_->Symbol("VSTPluginMain"));
    if (!entry)
        entry = reinterpret_cast<vst::EntryProc>(library_->Symbol("main"));
    if (!entry)
        throw Failure(Quoted(path) + " is not a VST 2.4 plug-in: it exports neither VSTPluginMain nor main");

    effect_ = entry(&HostContext::Callback);
    if (!effect_)
        throw Failure("the entry point of " + Quoted(path) + " returned no effect (the plug-in refused to start)");
    if (effect_->magic != vst::kEffectMagic) {
        const auto magic = static_cast<std::uint32_t>(effect_->magic);
        effect_ = nullptr; // not ours to close: we cannot trust anything in it
        throw Failure(Quoted(path) + " returned an effect with wrong magic " + Hex(magic) + " (expected " +
                      Hex(static_cast<std::uint32_t>(vst::kEffectMagic)) + ")");
    }
    if (!effect_->dispatcher) {
        effect_ = nullptr;
        throw Failure(Quoted(path) + " returned an effect without a dispatcher");
    }
    Dispatch(vst::effOpen);
    open_ = true;
}

PluginInstance::~PluginInstance()
{
    Suspend();
    if (open_)
        Dispatch(vst::effClose); // the plug-in frees the AEffect here
    effect_ = nullptr;
    // library_ goes last, once nothing of the plug-in's is in use
}

vst::intptr PluginInstance::Dispatch(vst::int32 opcode, vst::int32 index, vst::intptr value, void* ptr,
                                     float opt)
{
    return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

std::string PluginInstance::ReadString(vst::int32 opcode, vst::int32 index, vst::intptr* answer)
{
    std::array<char, kStringBuffer> buffer{};
    const vst::intptr result = Dispatch(opcode, index, 0, buffer.data());
    buffer.back() = '\0';
    if (answer)
        *answer = result;
    return std::string(buffer.data(), std::strlen(buffer.data()));
}

std::vector<std::string> PluginInstance::ProgramNames()
{
    const int count = effect_->numPrograms;
    std::vector<std::string> names(static_cast<std::size_t>(count > 0 ? count : 0));
    const vst::intptr current = Dispatch(vst::effGetProgram);
    bool switched = false;
    for (int i = 0; i < count; ++i) {
        vst::intptr answer = 0;
        std::string name = ReadString(vst::effGetProgramNameIndexed, i, &answer);
        if (answer == 0) {
            Dispatch(vst::effSetProgram, 0, i);
            name = ReadString(vst::effGetProgramName);
            switched = true;
        }
        names[static_cast<std::size_t>(i)] = name;
    }
    if (switched)
        Dispatch(vst::effSetProgram, 0, current);
    return names;
}

bool PluginInstance::SetEditorScale(double scale)
{
    // The display-scale message hosts send before the editor opens:
    // index 'PreS', value 'AeCs', the scale in opt.
    return Dispatch(vst::effVendorSpecific, 0x50726553, 0x41654373, nullptr, static_cast<float>(scale)) != 0;
}

bool PluginInstance::EditorSize(int& width, int& height)
{
    vst::ERect* rect = nullptr;
    Dispatch(vst::effEditGetRect, 0, 0, &rect);
    if (!rect)
        return false;
    width = rect->right - rect->left;
    height = rect->bottom - rect->top;
    return width > 0 && height > 0;
}

void PluginInstance::SetSampleRate(double rate)
{
    Dispatch(vst::effSetSampleRate, 0, 0, nullptr, static_cast<float>(rate));
}

void PluginInstance::SetBlockSize(int frames)
{
    Dispatch(vst::effSetBlockSize, 0, frames);
}

void PluginInstance::SetParameter(int index, double normalized)
{
    if (effect_->setParameter)
        effect_->setParameter(effect_, index, static_cast<float>(normalized));
}

float PluginInstance::GetParameter(int index)
{
    return effect_->getParameter ? effect_->getParameter(effect_, index) : 0.0f;
}

void PluginInstance::Resume()
{
    Dispatch(vst::effMainsChanged, 0, 1);
    mainsOn_ = true;
    Dispatch(vst::effStartProcess);
    processing_ = true;
}

void PluginInstance::Suspend()
{
    if (processing_) {
        Dispatch(vst::effStopProcess);
        processing_ = false;
    }
    if (mainsOn_) {
        Dispatch(vst::effMainsChanged, 0, 0);
        mainsOn_ = false;
    }
}

vst::intptr PluginInstance::SetChunk(const std::vector<std::uint8_t>& bytes, vst::int32 index)
{
    // The plug-in reads through a non-const pointer; give it a copy it may touch.
    std::vector<std::uint8_t> copy = bytes;
    return Dispatch(vst::effSetChunk, index, static_cast<vst::intptr>(copy.size()), copy.data());
}

std::vector<std::uint8_t> PluginInstance::GetChunk(vst::intptr& answer, vst::int32 index)
{
    void* data = nullptr;
    answer = Dispatch(vst::effGetChunk, index, 0, &data);
    if (!data || answer <= 0 || answer > kMaxChunkBytes)
        return {};
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    return std::vector<std::uint8_t>(bytes, bytes + answer);
}

// ---- HostedPlugin ---------------------------------------------------------------

std::string PluginInstance::Name()
{
    std::string name = EffectName();
    return name.empty() ? ProductString() : name;
}

std::string PluginInstance::Id()
{
    return FourChars(effect_->uniqueID);
}

bool PluginInstance::CanProcessDouble()
{
    return HasFlag(vst::effFlagsCanDoubleReplacing) && effect_->processDoubleReplacing;
}

bool PluginInstance::SelectProgram(int index)
{
    if (index < 0 || index >= effect_->numPrograms)
        return false;
    Dispatch(vst::effSetProgram, 0, index);
    return true;
}

std::vector<std::uint8_t> PluginInstance::SaveState()
{
    vst::intptr answer = 0;
    auto bytes = GetChunk(answer);
    if (bytes.empty())
        throw Failure("the plug-in gave no state chunk (effGetChunk answered " + std::to_string(answer) + ")");
    return bytes;
}

void PluginInstance::LoadState(const std::vector<std::uint8_t>& bytes)
{
    // Hosts and plug-ins disagree on what effSetChunk answers, so its answer
    // is not taken for a refusal.
    SetChunk(bytes);
}

void PluginInstance::Prepare(double sampleRate, int maxFrames, SampleSize samples)
{
    SetSampleRate(sampleRate);
    SetBlockSize(maxFrames);
    if (HasFlag(vst::effFlagsCanDoubleReplacing))
        Dispatch(vst::effSetProcessPrecision, 0, samples == SampleSize::Double ? 1 : 0);
}

void PluginInstance::Process(float** inputs, float** outputs, int frames)
{
    effect_->processReplacing(effect_, inputs, outputs, frames);
}

void PluginInstance::Process(double** inputs, double** outputs, int frames)
{
    effect_->processDoubleReplacing(effect_, inputs, outputs, frames);
}

bool PluginInstance::OpenEditor(void* parent)
{
    return Dispatch(vst::effEditOpen, 0, 0, parent) != 0;
}

void PluginInstance::IdleEditor()
{
    Dispatch(vst::effEditIdle);
}

void PluginInstance::CloseEditor()
{
    Dispatch(vst::effEditClose);
}

} // namespace mg::host
