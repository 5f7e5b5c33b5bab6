#pragma once
// A small CLAP host for the tests: the host record with the extensions a
// real host offers (each can be withheld), event lists, memory streams that
// move few bytes per call or fail, and one plug-in instance.
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <algorithm>
#include <vector>

#include "clap/ClapAbi.h"

extern "C" const clap::plugin_entry_t clap_entry;

namespace mg::test {

struct ClapTestHost {
    clap::host_t host{};
    bool offerParams = true;
    bool audioThread = false; // what thread-check answers
    int rescans = 0;
    int flushRequests = 0;
    std::vector<std::string> log;

    ClapTestHost()
    {
        host = {clap::kVersion, this, "test host", "", "", "1.0", &Extension, &Nothing, &Nothing, &Nothing};
    }
    static ClapTestHost& Of(const clap::host_t* h) { return *static_cast<ClapTestHost*>(h->host_data); }
    static void CLAP_CALL Nothing(const clap::host_t*) {}
    static const void* CLAP_CALL Extension(const clap::host_t* h, const char* id)
    {
        static const clap::host_params_t params{
            [](const clap::host_t* x, std::uint32_t) { ++Of(x).rescans; },
            [](const clap::host_t*, clap::id_t, std::uint32_t) {},
            [](const clap::host_t* x) { ++Of(x).flushRequests; }};
        static const clap::host_log_t log{
            [](const clap::host_t* x, clap::log_severity_t, const char* message) { Of(x).log.emplace_back(message); }};
        static const clap::host_thread_check_t threads{[](const clap::host_t* x) { return !Of(x).audioThread; },
                                                        [](const clap::host_t* x) { return Of(x).audioThread; }};
        if (std::strcmp(id, clap::kExtParams) == 0) return Of(h).offerParams ? &params : nullptr;
        if (std::strcmp(id, clap::kExtLog) == 0) return &log;
        if (std::strcmp(id, clap::kExtThreadCheck) == 0) return &threads;
        return nullptr;
    }
};

// Events in, by value; what the plug-in pushes out, copied.
struct EventList {
    std::vector<std::vector<std::uint8_t>> events;
    clap::input_events_t in{this, &Size, &Get};
    clap::output_events_t out{this, &Push};

    EventList() = default;
    EventList(const EventList&) = delete;
    EventList& operator=(const EventList&) = delete;

    template <class Event>
    void Add(const Event& event)
    {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(&event);
        events.emplace_back(bytes, bytes + sizeof event);
    }
    const clap::event_header_t& At(std::size_t i) const
    {
        return *reinterpret_cast<const clap::event_header_t*>(events[i].data());
    }
    static std::uint32_t CLAP_CALL Size(const clap::input_events_t* list)
    {
        return static_cast<std::uint32_t>(static_cast<EventList*>(list->ctx)->events.size());
    }
    static const clap::event_header_t* CLAP_CALL Get(const clap::input_events_t* list, std::uint32_t i)
    {
        return &static_cast<EventList*>(list->ctx)->At(i);
    }
    static bool CLAP_CALL Push(const clap::output_events_t* list, const clap::event_header_t* event)
    {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(event);
        static_cast<EventList*>(list->ctx)->events.emplace_back(bytes, bytes + event->size);
        return true;
    }
};

inline clap::event_param_value_t ParamEvent(std::uint32_t time, clap::id_t id, double value)
{
    clap::event_param_value_t event{};
    event.header = {sizeof event, time, clap::kCoreEventSpace, clap::kEventParamValue, 0};
    event.param_id = id;
    event.note_id = -1;
    event.port_index = -1;
    event.channel = -1;
    event.key = -1;
    event.value = value;
    return event;
}

// Bytes in memory behind both stream kinds, `step` bytes a call at most;
// `failAfter` calls in, the stream reports an error.
struct MemoryStream {
    std::vector<std::uint8_t> bytes;
    std::size_t position = 0;
    std::uint64_t step = 1u << 20;
    int failAfter = -1;

    explicit MemoryStream(std::vector<std::uint8_t> content = {}) : bytes(std::move(content)) {}
    // The stream records point at this object wherever it has been moved.
    const clap::istream_t* In()
    {
        in_ = {this, &Read};
        return &in_;
    }
    const clap::ostream_t* Out()
    {
        out_ = {this, &Write};
        return &out_;
    }

    bool Fails()
    {
        if (failAfter < 0) return false;
        return failAfter-- == 0;
    }
    static std::int64_t CLAP_CALL Read(const clap::istream_t* s, void* buffer, std::uint64_t size)
    {
        auto& m = *static_cast<MemoryStream*>(s->ctx);
        if (m.Fails()) return -1;
        const std::uint64_t n = std::min<std::uint64_t>({size, m.step, m.bytes.size() - m.position});
        if (n > 0) std::memcpy(buffer, m.bytes.data() + m.position, n);
        m.position += n;
        return static_cast<std::int64_t>(n);
    }
    static std::int64_t CLAP_CALL Write(const clap::ostream_t* s, const void* buffer, std::uint64_t size)
    {
        auto& m = *static_cast<MemoryStream*>(s->ctx);
        if (m.Fails()) return -1;
        const std::uint64_t n = std::min(size, m.step);
        const auto* b = static_cast<const std::uint8_t*>(buffer);
        m.bytes.insert(m.bytes.end(), b, b + n);
        return static_cast<std::int64_t>(n);
    }

private:
    clap::istream_t in_{};
    clap::ostream_t out_{};
};

// One instance of the module's first plug-in, initialised, with its extensions.
class ClapInstance {
public:
    explicit ClapInstance(ClapTestHost& host)
    {
        const auto* factory =
            static_cast<const clap::plugin_factory_t*>(clap_entry.get_factory(clap::kPluginFactoryId));
        plugin_ = factory->create_plugin(factory, &host.host, factory->get_plugin_descriptor(factory, 0)->id);
        if (plugin_ && !plugin_->init(plugin_)) plugin_ = nullptr;
        if (!plugin_) return;
        params = static_cast<const clap::plugin_params_t*>(plugin_->get_extension(plugin_, clap::kExtParams));
        state = static_cast<const clap::plugin_state_t*>(plugin_->get_extension(plugin_, clap::kExtState));
    }
    ~ClapInstance()
    {
        if (plugin_) plugin_->destroy(plugin_);
    }
    ClapInstance(const ClapInstance&) = delete;
    ClapInstance& operator=(const ClapInstance&) = delete;

    const clap::plugin_t* operator->() const { return plugin_; }
    const clap::plugin_t* get() const { return plugin_; }
    double Value(clap::id_t id) const
    {
        double v = -1.0;
        params->get_value(plugin_, id, &v);
        return v;
    }

    const clap::plugin_params_t* params = nullptr;
    const clap::plugin_state_t* state = nullptr;

private:
    const clap::plugin_t* plugin_ = nullptr;
};

// Planar audio of one sample size with a port record over it.
template <class Sample>
struct PortAudio {
    std::vector<std::vector<Sample>> channels;
    std::vector<Sample*> pointers;
    clap::audio_buffer_t buffer{};

    PortAudio(int count, std::size_t frames, Sample fill = 0) : channels(count, std::vector<Sample>(frames, fill))
    {
        for (auto& c : channels) pointers.push_back(c.data());
        buffer.channel_count = static_cast<std::uint32_t>(count);
        if constexpr (sizeof(Sample) == 8) {
            buffer.data64 = pointers.data();
        } else {
            buffer.data32 = pointers.data();
        }
    }
};

} // namespace mg::test
