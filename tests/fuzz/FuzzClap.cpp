// The CLAP plug-in as a hostile host drives it: calls in any order (activate
// at any rate and block range, start, stop, reset, deactivate), blocks of
// any length in either sample size, in place or not, with event lists of
// any types, sizes, spaces, times, ids and values; state loaded from any
// bytes through streams that give any number of bytes or fail; flushes,
// parameter texts and the port configuration chosen at any moment.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "FuzzChainIsa.h"
#include "FuzzInput.h"
#include "clap/ClapAbi.h"

extern "C" const clap::plugin_entry_t clap_entry;

namespace {

constexpr std::uint32_t kMaxBlock = 2048;
constexpr std::uint32_t kMaxFramesPerInput = 1 << 13;
constexpr std::size_t kMaxEvents = 16;

// Every event has room for the largest record the plug-in reads, whatever
// size its header claims: the host owes it that much memory.
struct Events {
    std::vector<clap::event_param_value_t> records;
    clap::input_events_t list{this, &Size, &Get};
    static std::uint32_t CLAP_CALL Size(const clap::input_events_t* l)
    {
        return static_cast<std::uint32_t>(static_cast<Events*>(l->ctx)->records.size());
    }
    static const clap::event_header_t* CLAP_CALL Get(const clap::input_events_t* l, std::uint32_t i)
    {
        auto& records = static_cast<Events*>(l->ctx)->records;
        return i < records.size() ? &records[i].header : nullptr;
    }
};

bool CLAP_CALL Accept(const clap::output_events_t*, const clap::event_header_t*) { return true; }
bool CLAP_CALL Refuse(const clap::output_events_t*, const clap::event_header_t*) { return false; }

struct Stream {
    mg::fuzz::FuzzInput* in;
    std::uint8_t step;
    static std::int64_t CLAP_CALL Read(const clap::istream_t* s, void* buffer, std::uint64_t size)
    {
        auto* self = static_cast<Stream*>(s->ctx);
        if (self->step == 255) return -1;
        const std::size_t n = std::min<std::size_t>({static_cast<std::size_t>(size), self->step, self->in->Left()});
        self->in->Bytes(buffer, n);
        return static_cast<std::int64_t>(n);
    }
};

void ReadEvents(mg::fuzz::FuzzInput& in, Events& events, std::uint32_t frames)
{
    events.records.clear();
    const std::size_t count = in.Byte() % (kMaxEvents + 1);
    for (std::size_t i = 0; i < count; ++i) {
        clap::event_param_value_t e{};
        const std::uint8_t shape = in.Byte();
        e.header.size = shape & 1 ? in.Take<std::uint32_t>() : sizeof e;
        e.header.time = shape & 2 ? in.Take<std::uint32_t>() : in.Byte() % (frames + 1);
        e.header.space_id = shape & 4 ? in.Take<std::uint16_t>() : clap::kCoreEventSpace;
        e.header.type = shape & 8 ? in.Take<std::uint16_t>() : clap::kEventParamValue;
        e.header.flags = in.Byte();
        e.param_id = shape & 16 ? in.Take<std::uint32_t>() : in.Byte() % 6;
        e.value = shape & 32 ? static_cast<double>(in.Float()) : in.Take<double>();
        events.records.push_back(e);
    }
}

template <class Sample>
void Process(const clap::plugin_t* p, mg::fuzz::FuzzInput& in, std::uint32_t frames, bool inPlace,
             Events& events, std::vector<std::vector<Sample>>& audio)
{
    Sample* ins[2] = {audio[0].data(), audio[1].data()};
    Sample* outs[2] = {inPlace ? audio[0].data() : audio[2].data(), inPlace ? audio[1].data() : audio[3].data()};
    clap::audio_buffer_t input{}, output{};
    const std::uint32_t channels = in.Byte() % 4;
    input.channel_count = output.channel_count = channels;
    if constexpr (sizeof(Sample) == 8) {
        input.data64 = ins;
        output.data64 = outs;
    } else {
        input.data32 = ins;
        output.data32 = outs;
    }
    const clap::output_events_t out{nullptr, in.Byte() & 1 ? &Accept : &Refuse};
    const clap::process_t process{-1, frames, nullptr, &input, &output, 1, 1, &events.list, &out};
    p->process(p, &process);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    mg::fuzz::FuzzInput in(data, size);
    // A host that offers no extension at all, as some scanners do.
    static const clap::host_t host{clap::kVersion, nullptr, "fuzz", "", "", "1",
                                   [](const clap::host_t*, const char*) -> const void* { return nullptr; },
                                   [](const clap::host_t*) {}, [](const clap::host_t*) {}, [](const clap::host_t*) {}};
    const auto* factory = static_cast<const clap::plugin_factory_t*>(clap_entry.get_factory(clap::kPluginFactoryId));
    const clap::plugin_t* p = factory->create_plugin(factory, &host, factory->get_plugin_descriptor(factory, 0)->id);
    if (!p || !p->init(p)) return 0;
    mg::fuzz::ChooseChainIsa(*static_cast<mg::MarrowGrit*>(static_cast<mg::IClapPlugin*>(p->plugin_data)), in.Byte());
    const auto* params = static_cast<const clap::plugin_params_t*>(p->get_extension(p, clap::kExtParams));
    const auto* state = static_cast<const clap::plugin_state_t*>(p->get_extension(p, clap::kExtState));
    const auto* configs =
        static_cast<const clap::plugin_audio_ports_config_t*>(p->get_extension(p, clap::kExtAudioPortsConfig));

    std::vector<std::vector<float>> narrow(4, std::vector<float>(kMaxBlock, 0.0f));
    std::vector<std::vector<double>> wide(4, std::vector<double>(kMaxBlock, 0.0));
    for (auto& channel : narrow) in.Bytes(channel.data(), 32 * sizeof(float));
    Events events;
    std::uint32_t framesLeft = kMaxFramesPerInput;
    while (!in.Empty()) {
        switch (in.Byte() % 10) {
        case 0: {
            const double rate = in.Byte() & 1 ? static_cast<double>(in.Float()) : 48000.0;
            const std::uint32_t low = in.Take<std::uint16_t>(), high = in.Take<std::uint16_t>();
            p->activate(p, rate, low, high);
            break;
        }
        case 1:
            p->deactivate(p);
            break;
        case 2:
            p->start_processing(p);
            break;
        case 3:
            p->stop_processing(p);
            break;
        case 4:
            p->reset(p);
            break;
        case 5:
        case 6: {
            std::uint32_t frames = in.Take<std::uint16_t>() % (kMaxBlock + 1);
            frames = std::min(frames, framesLeft);
            framesLeft -= frames;
            const std::uint8_t how = in.Byte();
            ReadEvents(in, events, frames);
            if (how & 1) {
                Process(p, in, frames, how & 2, events, wide);
            } else {
                Process(p, in, frames, how & 2, events, narrow);
            }
            break;
        }
        case 7: {
            ReadEvents(in, events, 0);
            const clap::output_events_t out{nullptr, &Accept};
            params->flush(p, &events.list, in.Byte() & 1 ? &out : nullptr);
            break;
        }
        case 8: {
            Stream stream{&in, in.Byte()};
            const clap::istream_t istream{&stream, &Stream::Read};
            state->load(p, &istream);
            break;
        }
        default: {
            const clap::id_t id = in.Byte() % 6;
            char text[64];
            double value = static_cast<double>(in.Float());
            if (params->value_to_text(p, id, value, text, sizeof text)) params->text_to_value(p, id, text, &value);
            if (configs) configs->select(p, in.Byte() % 3);
            break;
        }
        }
    }
    p->destroy(p);
    return 0;
}
