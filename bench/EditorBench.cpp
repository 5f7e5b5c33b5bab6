// What opening the pedal's editor costs at a scale: decoding the image set
// of that scale (the process's first editor pays it; later ones share the
// decoded bitmaps) and drawing the whole editor once into its surface.
#include <benchmark/benchmark.h>

#include <memory>

#include "MarrowGrit.h"
#include "PluginModule.h"
#include "editor/DisplayScale.h"
#include "editor/IGraphics.h"
#include "raster/DecodeImage.h"
#include "vst/VstEntry.h"

namespace {

mg::vst::intptr VST_CALL QuietHost(mg::vst::AEffect*, mg::vst::int32 opcode, mg::vst::int32, mg::vst::intptr, void*,
                                   float)
{
    return opcode == mg::vst::audioMasterVersion ? 2400 : 0;
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

void DrawWholeEditor(benchmark::State& state)
{
    mg::vst::AEffect* effect = mg::CreateVstInstance<mg::MarrowGrit>(&QuietHost);
    effect->dispatcher(effect, mg::vst::effVendorSpecific, 0x50726553, 0x41654373, nullptr,
                       static_cast<float>(static_cast<double>(state.range(0)) / 100.0));
    auto* editor = static_cast<mg::MarrowGrit*>(effect->object)->EditorGraphics();
    for (auto _ : state) {
        editor->MarkAllControlsDirty();
        editor->RedrawTick();
    }
    effect->dispatcher(effect, mg::vst::effClose, 0, 0, nullptr, 0.0f);
}

} // namespace

BENCHMARK(DecodeSet)->Arg(100)->Arg(200)->Arg(300)->Unit(benchmark::kMillisecond);
BENCHMARK(DrawWholeEditor)->Arg(100)->Arg(200)->Arg(300)->Unit(benchmark::kMillisecond);
