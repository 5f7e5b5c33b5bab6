// The CLAP process call against the VST 2.4 float callback, each module
// loaded as a host loads it and driven through its own interface only, fuzz
// and cabinet on at 44.1 kHz. What differs is the binding: the CLAP one
// walks the (empty, or one-event) list and checks the port records.
#include <cstring>

#include "ClapAbi.h"
#include "ModuleBench.h"

namespace {

using namespace mg::bench;

void VstFloatReplacing(benchmark::State& state)
{
    Vst2Effect effect(MG_VST_MODULE, static_cast<int>(state.range(0)));
    RunBlocks(state, [&](float** in, float** out, int n) { effect.Process(in, out, n); });
}

struct Events {
    clap::event_param_value_t value{};
    std::uint32_t count = 0;
    clap::input_events_t list{this, &Size, &Get};
    static std::uint32_t CLAP_CALL Size(const clap::input_events_t* l) { return static_cast<Events*>(l->ctx)->count; }
    static const clap::event_header_t* CLAP_CALL Get(const clap::input_events_t* l, std::uint32_t)
    {
        return &static_cast<Events*>(l->ctx)->value.header;
    }
};

bool CLAP_CALL Drop(const clap::output_events_t*, const clap::event_header_t*) { return true; }

// With `events` 1, every block carries a Level change in its middle: the
// block is rendered in two halves.
void ClapProcess(benchmark::State& state, std::uint32_t events)
{
    auto library = LoadModule(MG_CLAP_MODULE);
    const auto* entry = reinterpret_cast<const clap::plugin_entry_t*>(library->Symbol("clap_entry"));
    entry->init(MG_CLAP_MODULE);
    const auto* factory = static_cast<const clap::plugin_factory_t*>(entry->get_factory(clap::kPluginFactoryId));
    static const clap::host_t host{clap::kVersion, nullptr, "bench", "", "", "1",
                                   [](const clap::host_t*, const char*) -> const void* { return nullptr; },
                                   [](const clap::host_t*) {}, [](const clap::host_t*) {}, [](const clap::host_t*) {}};
    const clap::plugin_t* p = factory->create_plugin(factory, &host, factory->get_plugin_descriptor(factory, 0)->id);
    const auto block = static_cast<std::uint32_t>(state.range(0));
    p->init(p);
    p->activate(p, kRate, 1, block);
    p->start_processing(p);
    Events in;
    in.count = events;
    in.value.header = {sizeof in.value, block / 2, clap::kCoreEventSpace, clap::kEventParamValue, 0};
    in.value.param_id = 0;
    in.value.value = 0.5;
    const clap::output_events_t out{nullptr, &Drop};
    clap::audio_buffer_t input{nullptr, nullptr, 2, 0, 0};
    clap::audio_buffer_t output{nullptr, nullptr, 2, 0, 0};
    clap::process_t process{0, block, nullptr, &input, &output, 1, 1, &in.list, &out};
    RunBlocks(state, [&](float** ins, float** outs, int) {
        input.data32 = ins;
        output.data32 = outs;
        p->process(p, &process);
    });
    p->stop_processing(p);
    p->deactivate(p);
    p->destroy(p);
    entry->deinit();
}

void ClapProcess32(benchmark::State& state) { ClapProcess(state, 0); }
void ClapProcess32WithEvent(benchmark::State& state) { ClapProcess(state, 1); }

} // namespace

BENCHMARK(VstFloatReplacing)->ArgName("block")->Arg(64)->Arg(512);
BENCHMARK(ClapProcess32)->ArgName("block")->Arg(64)->Arg(512);
BENCHMARK(ClapProcess32WithEvent)->ArgName("block")->Arg(64)->Arg(512);
