// What opening the pedal's editor costs at a scale: decoding the image set
// of that scale (the process's first editor pays it; later ones share the
// decoded bitmaps), drawing the whole editor once into its surface, and the
// two together as the first editor of a process meets them.
#include <benchmark/benchmark.h>

#include <memory>

#include "MarrowGrit.h"
#include "PluginModule.h"
#include "editor/DisplayScale.h"
#include "editor/IGraphics.h"
#include "editor/ImageCache.h"
#include "raster/DecodeImage.h"
#include "vst/VstEntry.h"

namespace {

vst::intptr VST_CALL QuietHost(vst::AEffect*, vst::int32 opcode, vst::int32, vst::intptr, void*,
                                   float)
{
    return opcode == vst::audioMasterVersion ? 2400 : 0;
}

void DecodeSet(benchmark::State& state)
{
    const int percent = static_cast<int>(state.range(0));
    std::size_t bytes = 0;
    for (auto _ : state) {
        bytes = 0;
        for (int id = 100; id <= 105; ++id) {
            auto bitmap = mg::DecodeImageByName(mg::PluginModule(), mg::ScaledResourceId(id, percent), "set.png");
            bytes += static_cast<std::size_t>(bitmap->Width()) * static_cast<std::size_t>(bitmap->Height()) * 4;
            benchmark::DoNotOptimize(bitmap);
        }
    }
    state.counters["decoded bytes"] = static_cast<double>(bytes);
}

// The decoded bitmaps the editor holds at a scale: the 100 % set (the
// controls' geometry) and the set it draws from.
std::size_t CachedBytes(int percent)
{
    std::size_t bytes = 0;
    for (int id = 100; id <= 105; ++id) {
        const int ids[] = {id, mg::ScaledResourceId(id, percent)};
        for (int k = 0; k < (percent == 100 ? 1 : 2); ++k)
            if (const mg::IBitmap* bitmap = mg::ImageCache::Instance().Find(ids[k]))
                bytes += static_cast<std::size_t>(bitmap->Width()) * static_cast<std::size_t>(bitmap->Height()) * 4;
    }
    return bytes;
}

void ForgetDecodedImages(int percent)
{
    for (int id = 100; id <= 105; ++id)
        for (int set : {100, percent})
            while (const mg::IBitmap* bitmap = mg::ImageCache::Instance().Find(mg::ScaledResourceId(id, set)))
                mg::ImageCache::Instance().Drop(bitmap);
}

// A new instance told the scale before its editor opens, its surface made
// and drawn whole, with no image decoded before: the first editor's open.
void OpenEditorCold(benchmark::State& state)
{
    const int percent = static_cast<int>(state.range(0));
    std::size_t bytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ForgetDecodedImages(percent);
        state.ResumeTiming();
        vst::AEffect* effect = mg::CreateVstInstance<mg::MarrowGrit>(&QuietHost);
        effect->dispatcher(effect, vst::effVendorSpecific, 0x50726553, 0x41654373, nullptr,
                           static_cast<float>(percent) / 100.0f);
        auto* editor = static_cast<mg::IVstPlugin*>(effect->object)->EditorGraphics();
        editor->CreateDrawSurface();
        editor->MarkAllControlsDirty();
        editor->RedrawTick();
        benchmark::DoNotOptimize(editor->DrawSurface());
        state.PauseTiming();
        bytes = CachedBytes(percent);
        effect->dispatcher(effect, vst::effClose, 0, 0, nullptr, 0.0f);
        state.ResumeTiming();
    }
    state.counters["decoded bytes"] = static_cast<double>(bytes);
}

void DrawWholeEditor(benchmark::State& state)
{
    vst::AEffect* effect = mg::CreateVstInstance<mg::MarrowGrit>(&QuietHost);
    effect->dispatcher(effect, vst::effVendorSpecific, 0x50726553, 0x41654373, nullptr,
                       static_cast<float>(static_cast<double>(state.range(0)) / 100.0));
    auto* editor = static_cast<mg::IVstPlugin*>(effect->object)->EditorGraphics();
    for (auto _ : state) {
        editor->MarkAllControlsDirty();
        editor->RedrawTick();
    }
    effect->dispatcher(effect, vst::effClose, 0, 0, nullptr, 0.0f);
}

} // namespace

BENCHMARK(DecodeSet)->Arg(100)->Arg(200)->Arg(300)->Unit(benchmark::kMillisecond);
BENCHMARK(OpenEditorCold)->Arg(100)->Arg(300)->Unit(benchmark::kMillisecond);
BENCHMARK(DrawWholeEditor)->Arg(100)->Arg(200)->Arg(300)->Unit(benchmark::kMillisecond);
