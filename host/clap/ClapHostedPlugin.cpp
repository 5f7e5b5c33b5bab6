#include "ClapHostedPlugin.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <type_traits>

#include "Failure.h"

namespace mg::host {

namespace {

#if defined(_WIN32)
constexpr const char* kNativeApi = clap::kWindowApiWin32;
#else
constexpr const char* kNativeApi = clap::kWindowApiX11;
#endif
// The most events kept from the plug-in between two looks: the audio
// thread never grows the list.
constexpr std::size_t kSentCapacity = 4096;
constexpr std::size_t kScheduledCapacity = 4096;

thread_local bool insideProcess = false;

struct InputList {
    const std::vector<clap::event_param_value_t>* events;
    clap::input_events_t list{this, &Size, &Get};

    static std::uint32_t CLAP_CALL Size(const clap::input_events_t* l)
    {
        return static_cast<std::uint32_t>(static_cast<const InputList*>(l->ctx)->events->size());
    }
    static const clap::event_header_t* CLAP_CALL Get(const clap::input_events_t* l, std::uint32_t i)
    {
        const auto& events = *static_cast<const InputList*>(l->ctx)->events;
        return i < events.size() ? &events[i].header : nullptr;
    }
};

struct OutputList {
    ClapHostedPlugin* host;
    void (*record)(ClapHostedPlugin*, const clap::event_header_t*);
    clap::output_events_t list{this, &Push};

    static bool CLAP_CALL Push(const clap::output_events_t* l, const clap::event_header_t* event)
    {
        const auto* self = static_cast<const OutputList*>(l->ctx);
        if (!event) return false;
        self->record(self->host, event);
        return true;
    }
};

struct ByteReader {
    const std::vector<std::uint8_t>* bytes;
    std::size_t position = 0;
    static std::int64_t CLAP_CALL Read(const clap::istream_t* s, void* buffer, std::uint64_t size)
    {
        auto* r = static_cast<ByteReader*>(s->ctx);
        const std::uint64_t n = std::min<std::uint64_t>(size, r->bytes->size() - r->position);
        if (n) std::memcpy(buffer, r->bytes->data() + r->position, n);
        r->position += n;
        return static_cast<std::int64_t>(n);
    }
};

std::int64_t CLAP_CALL WriteBytes(const clap::ostream_t* s, const void* buffer, std::uint64_t size)
{
    auto* bytes = static_cast<std::vector<std::uint8_t>*>(s->ctx);
    const auto* b = static_cast<const std::uint8_t*>(buffer);
    bytes->insert(bytes->end(), b, b + size);
    return static_cast<std::int64_t>(size);
}

template <class Extension>
const Extension* PluginExtension(const clap::plugin_t* plugin, const char* id)
{
    return static_cast<const Extension*>(plugin->get_extension(plugin, id));
}

// The channels of the main port on one side, and whether it takes doubles.
int MainChannels(const clap::plugin_t* plugin, bool input, bool& wide)
{
    const auto* ports = PluginExtension<clap::plugin_audio_ports_t>(plugin, clap::kExtAudioPorts);
    if (!ports || !ports->count || !ports->get || ports->count(plugin, input) == 0) return 0;
    clap::audio_port_info_t info{};
    if (!ports->get(plugin, 0, input, &info)) return 0;
    wide = wide && (info.flags & clap::kAudioPortSupports64Bits);
    return static_cast<int>(info.channel_count);
}

} // namespace

ClapHostedPlugin& ClapHostedPlugin::Of(const clap::host_t* host)
{
    return *static_cast<ClapHostedPlugin*>(host->host_data);
}

const void* CLAP_CALL ClapHostedPlugin::HostExtension(const clap::host_t*, const char* extensionId)
{
    static const clap::host_thread_check_t threads{
        [](const clap::host_t* h) { return std::this_thread::get_id() == Of(h).mainThread_; },
        [](const clap::host_t*) { return insideProcess; }};
    static const clap::host_log_t log{[](const clap::host_t*, clap::log_severity_t severity, const char* message) {
        if (severity >= clap::kLogWarning && message) std::fprintf(stderr, "plug-in: %s\n", message);
    }};
    static const clap::host_params_t params{[](const clap::host_t*, std::uint32_t) {},
                                            [](const clap::host_t*, clap::id_t, std::uint32_t) {},
                                            [](const clap::host_t* h) { Of(h).flushWanted_ = true; }};
    static const clap::host_state_t state{[](const clap::host_t*) {}};
    static const clap::host_latency_t latency{[](const clap::host_t*) {}};
    static const clap::host_timer_support_t timers{
        [](const clap::host_t* h, std::uint32_t period, clap::id_t* id) {
            ClapHostedPlugin& self = Of(h);
            // Asked here, as a plug-in may register from its init, before
            // this host has asked for its extensions.
            if (self.plugin_ && !self.timerSupport_)
                self.timerSupport_ =
                    PluginExtension<clap::plugin_timer_support_t>(self.plugin_, clap::kExtTimerSupport);
            if (!id || !self.timerSupport_ || !self.timerSupport_->on_timer) return false;
            const std::chrono::milliseconds ms(std::max<std::uint32_t>(period, 10));
            *id = self.nextTimer_++;
            self.timers_.push_back({*id, ms, std::chrono::steady_clock::now() + ms});
            return true;
        },
        [](const clap::host_t* h, clap::id_t id) {
            auto& list = Of(h).timers_;
            const auto it = std::find_if(list.begin(), list.end(), [&](const Timer& t) { return t.id == id; });
            if (it == list.end()) return false;
            list.erase(it);
            return true;
        }};
    if (!extensionId) return nullptr;
    const struct {
        const char* id;
        const void* extension;
    } table[] = {{clap::kExtThreadCheck, &threads}, {clap::kExtLog, &log},         {clap::kExtParams, &params},
                 {clap::kExtState, &state},          {clap::kExtLatency, &latency}, {clap::kExtTimerSupport, &timers}};
    for (const auto& entry : table)
        if (std::strcmp(entry.id, extensionId) == 0) return entry.extension;
    return nullptr;
}

ClapHostedPlugin::ClapHostedPlugin(const std::string& path) : mainThread_(std::this_thread::get_id())
{
    std::string error;
    library_ = loader::Library::Open(path, error);
    if (!library_) throw Failure("cannot load " + path + ": " + error);
    entry_ = reinterpret_cast<const clap::plugin_entry_t*>(library_->Symbol("clap_entry"));
    if (!entry_) throw Failure(path + " is no CLAP module: it exports no clap_entry");
    if (!clap::VersionIsCompatible(entry_->clap_version) || !entry_->init || !entry_->get_factory)
        throw Failure(path + ": a CLAP version this host does not speak");
    if (!entry_->init(path.c_str())) throw Failure(path + ": the module refused to start");
    entryInitialised_ = true;
    const auto* factory = static_cast<const clap::plugin_factory_t*>(entry_->get_factory(clap::kPluginFactoryId));
    if (!factory || !factory->get_plugin_count || factory->get_plugin_count(factory) == 0)
        throw Failure(path + ": the module holds no plug-in");
    const clap::plugin_descriptor_t* descriptor = factory->get_plugin_descriptor(factory, 0);
    if (!descriptor || !descriptor->id) throw Failure(path + ": the module describes no plug-in");

    host_ = {clap::kVersion, this, "mg-host", "tonewrights", "", "1.0", &HostExtension,
             [](const clap::host_t*) {}, [](const clap::host_t*) {}, [](const clap::host_t*) {}};
    plugin_ = factory->create_plugin(factory, &host_, descriptor->id);
    if (!plugin_) throw Failure(path + ": the plug-in could not be created");
    if (!plugin_->init(plugin_)) {
        plugin_->destroy(plugin_);
        plugin_ = nullptr;
        throw Failure(path + ": the plug-in refused to start");
    }
    paramsExt_ = PluginExtension<clap::plugin_params_t>(plugin_, clap::kExtParams);
    state_ = PluginExtension<clap::plugin_state_t>(plugin_, clap::kExtState);
    gui_ = PluginExtension<clap::plugin_gui_t>(plugin_, clap::kExtGui);
    if (!timerSupport_) timerSupport_ = PluginExtension<clap::plugin_timer_support_t>(plugin_, clap::kExtTimerSupport);
    latency_ = PluginExtension<clap::plugin_latency_t>(plugin_, clap::kExtLatency);
    wide_ = true;
    inputChannels_ = MainChannels(plugin_, true, wide_);
    outputChannels_ = MainChannels(plugin_, false, wide_);
    if (paramsExt_) {
        const std::uint32_t count = paramsExt_->count(plugin_);
        for (std::uint32_t i = 0; i < count; ++i) {
            clap::param_info_t info{};
            if (paramsExt_->get_info(plugin_, i, &info)) params_.push_back(info);
        }
    }
    scheduled_.reserve(kScheduledCapacity);
    later_.reserve(kScheduledCapacity);
    sent_.reserve(kSentCapacity);
}

ClapHostedPlugin::~ClapHostedPlugin()
{
    if (plugin_) {
        CloseEditor();
        Suspend();
        plugin_->destroy(plugin_);
    }
    if (entryInitialised_ && entry_->deinit) entry_->deinit();
}

std::string ClapHostedPlugin::Name() { return plugin_->desc && plugin_->desc->name ? plugin_->desc->name : ""; }
std::string ClapHostedPlugin::Vendor() { return plugin_->desc && plugin_->desc->vendor ? plugin_->desc->vendor : ""; }
std::string ClapHostedPlugin::Id() { return plugin_->desc && plugin_->desc->id ? plugin_->desc->id : ""; }

int ClapHostedPlugin::LatencySamples()
{
    return latency_ && latency_->get ? static_cast<int>(latency_->get(plugin_)) : 0;
}

// ---- parameters ----------------------------------------------------------------

const clap::param_info_t& ClapHostedPlugin::Info(int index) const
{
    if (index < 0 || index >= static_cast<int>(params_.size()))
        throw Failure("no parameter " + std::to_string(index));
    return params_[static_cast<std::size_t>(index)];
}

std::string ClapHostedPlugin::ParameterName(int index) { return Info(index).name; }

double ClapHostedPlugin::Plain(int index, double normalized) const
{
    const clap::param_info_t& info = Info(index);
    const double value = info.min_value + std::clamp(normalized, 0.0, 1.0) * (info.max_value - info.min_value);
    // Stepped values are whole numbers; halves go up.
    return (info.flags & clap::kParamIsStepped) ? std::floor(value + 0.5) : value;
}

double ClapHostedPlugin::Parameter(int index)
{
    const clap::param_info_t& info = Info(index);
    double value = info.default_value;
    paramsExt_->get_value(plugin_, info.id, &value);
    const double span = info.max_value - info.min_value;
    return span > 0.0 ? std::clamp((value - info.min_value) / span, 0.0, 1.0) : 0.0;
}

std::string ClapHostedPlugin::ParameterDisplay(int index)
{
    const clap::param_info_t& info = Info(index);
    double value = info.default_value;
    char text[clap::kNameSize] = {};
    if (!paramsExt_->get_value(plugin_, info.id, &value) || !paramsExt_->value_to_text ||
        !paramsExt_->value_to_text(plugin_, info.id, value, text, sizeof text))
        return "";
    text[sizeof text - 1] = '\0';
    return text;
}

void ClapHostedPlugin::SetParameter(int index, double normalized)
{
    ScheduleParameter(index, normalized, 0);
    // Outside processing a flush applies it at once; while processing the
    // next block does.
    if (!processing_) Flush();
}

void ClapHostedPlugin::ScheduleParameter(int index, double normalized, int frame)
{
    if (!std::isfinite(normalized) || scheduled_.size() >= kScheduledCapacity) return;
    clap::event_param_value_t event{};
    event.header = {sizeof event, static_cast<std::uint32_t>(std::max(frame, 0)), clap::kCoreEventSpace,
                    clap::kEventParamValue, 0};
    event.param_id = Info(index).id;
    event.cookie = Info(index).cookie;
    event.note_id = -1;
    event.port_index = -1;
    event.channel = -1;
    event.key = -1;
    event.value = Plain(index, normalized);
    // Kept in time order, as the plug-in expects them.
    const auto at = std::upper_bound(scheduled_.begin(), scheduled_.end(), event.header.time,
                                     [](std::uint32_t t, const auto& e) { return t < e.header.time; });
    scheduled_.insert(at, event);
}

void ClapHostedPlugin::Record(const clap::event_header_t* event)
{
    if (event->space_id != clap::kCoreEventSpace || sent_.size() >= kSentCapacity) return;
    if (event->type == clap::kEventParamValue && event->size >= sizeof(clap::event_param_value_t)) {
        const auto* value = reinterpret_cast<const clap::event_param_value_t*>(event);
        sent_.push_back({event->type, value->param_id, value->value});
    } else if ((event->type == clap::kEventParamGestureBegin || event->type == clap::kEventParamGestureEnd) &&
               event->size >= sizeof(clap::event_param_gesture_t)) {
        sent_.push_back({event->type, reinterpret_cast<const clap::event_param_gesture_t*>(event)->param_id, 0.0});
    }
}

void ClapHostedPlugin::Flush()
{
    flushWanted_ = false;
    if (!paramsExt_ || !paramsExt_->flush) return;
    InputList in{&scheduled_};
    OutputList out{this, [](ClapHostedPlugin* self, const clap::event_header_t* e) { self->Record(e); }};
    paramsExt_->flush(plugin_, &in.list, &out.list);
    scheduled_.clear();
}

std::vector<ClapHostedPlugin::SentEvent> ClapHostedPlugin::TakeSentEvents()
{
    std::vector<SentEvent> taken;
    taken.swap(sent_);
    sent_.reserve(kSentCapacity);
    return taken;
}

// ---- state ------------------------------------------------------------------------

std::vector<std::uint8_t> ClapHostedPlugin::SaveState()
{
    std::vector<std::uint8_t> bytes;
    const clap::ostream_t stream{&bytes, &WriteBytes};
    if (!state_ || !state_->save(plugin_, &stream) || bytes.empty()) throw Failure(Name() + " gave no state");
    return bytes;
}

void ClapHostedPlugin::LoadState(const std::vector<std::uint8_t>& bytes)
{
    ByteReader reader{&bytes};
    const clap::istream_t stream{&reader, &ByteReader::Read};
    if (!state_ || !state_->load(plugin_, &stream)) throw Failure(Name() + " refused the state");
}

// ---- processing -------------------------------------------------------------------

// CLAP's process call says its sample size each time.
void ClapHostedPlugin::Prepare(double sampleRate, int maxFrames, SampleSize)
{
    sampleRate_ = sampleRate;
    maxFrames_ = maxFrames;
}

void ClapHostedPlugin::Resume()
{
    if (active_) return;
    if (!plugin_->activate(plugin_, sampleRate_, 1, static_cast<std::uint32_t>(std::max(maxFrames_, 1))))
        throw Failure(Name() + " cannot run at " + std::to_string(sampleRate_) + " Hz");
    active_ = true;
    // What was set while deactivated reaches it before the first block.
    if (!scheduled_.empty()) Flush();
    processing_ = plugin_->start_processing(plugin_);
    if (!processing_) throw Failure(Name() + " does not start processing");
}

void ClapHostedPlugin::Suspend()
{
    if (processing_) plugin_->stop_processing(plugin_);
    processing_ = false;
    if (active_) plugin_->deactivate(plugin_);
    active_ = false;
}

template <class Sample>
void ClapHostedPlugin::ProcessBlock(Sample** inputs, Sample** outputs, int frames)
{
    clap::audio_buffer_t in{};
    clap::audio_buffer_t out{};
    if constexpr (std::is_same_v<Sample, double>) {
        in.data64 = inputs;
        out.data64 = outputs;
    } else {
        in.data32 = inputs;
        out.data32 = outputs;
    }
    in.channel_count = static_cast<std::uint32_t>(inputChannels_);
    out.channel_count = static_cast<std::uint32_t>(outputChannels_);
    // Events past the block wait for the next one, moved to its start.
    const auto count = static_cast<std::uint32_t>(frames);
    std::size_t now = 0;
    while (now < scheduled_.size() && scheduled_[now].header.time < count) ++now;
    later_.assign(scheduled_.begin() + static_cast<std::ptrdiff_t>(now), scheduled_.end());
    scheduled_.resize(now);
    InputList inEvents{&scheduled_};
    OutputList outEvents{this, [](ClapHostedPlugin* self, const clap::event_header_t* e) { self->Record(e); }};
    const clap::process_t process{steadyTime_, count, nullptr, inputChannels_ ? &in : nullptr,
                                  outputChannels_ ? &out : nullptr, inputChannels_ ? 1u : 0u,
                                  outputChannels_ ? 1u : 0u, &inEvents.list, &outEvents.list};
    insideProcess = true;
    const clap::process_status_t status = plugin_->process(plugin_, &process);
    insideProcess = false;
    steadyTime_ += frames;
    for (auto& event : later_) event.header.time -= count;
    scheduled_.assign(later_.begin(), later_.end());
    if (status == clap::kProcessError)
        for (int c = 0; c < outputChannels_; ++c) std::fill(outputs[c], outputs[c] + frames, Sample(0));
}

void ClapHostedPlugin::Process(float** inputs, float** outputs, int frames) { ProcessBlock(inputs, outputs, frames); }

void ClapHostedPlugin::Process(double** inputs, double** outputs, int frames)
{
    ProcessBlock(inputs, outputs, frames);
}

// ---- editor -----------------------------------------------------------------------

bool ClapHostedPlugin::HasEditor() { return gui_ && gui_->is_api_supported(plugin_, kNativeApi, false); }

bool ClapHostedPlugin::CreateGui()
{
    if (!guiCreated_ && HasEditor()) guiCreated_ = gui_->create(plugin_, kNativeApi, false);
    return guiCreated_;
}

bool ClapHostedPlugin::SetEditorScale(double scale)
{
    return CreateGui() && gui_->set_scale && gui_->set_scale(plugin_, scale);
}

bool ClapHostedPlugin::EditorSize(int& width, int& height)
{
    std::uint32_t w = 0, h = 0;
    if (!CreateGui() || !gui_->get_size(plugin_, &w, &h)) return false;
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

bool ClapHostedPlugin::OpenEditor(void* parent)
{
    if (!CreateGui()) return false;
    clap::window_t window{};
    window.api = kNativeApi;
#if defined(_WIN32)
    window.win32 = parent;
#else
    window.x11 = static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(parent));
#endif
    if (!gui_->set_parent(plugin_, &window)) return false;
    gui_->show(plugin_);
    return true;
}

void ClapHostedPlugin::IdleEditor()
{
    const auto now = std::chrono::steady_clock::now();
    // Copied: a timer may unregister itself.
    const std::vector<Timer> due = timers_;
    for (const Timer& timer : due) {
        if (now < timer.due) continue;
        for (Timer& t : timers_)
            if (t.id == timer.id) t.due = now + t.period;
        timerSupport_->on_timer(plugin_, timer.id);
    }
    if (flushWanted_ && !processing_) Flush();
}

void ClapHostedPlugin::CloseEditor()
{
    if (!guiCreated_) return;
    gui_->hide(plugin_);
    gui_->destroy(plugin_);
    guiCreated_ = false;
}

} // namespace mg::host
