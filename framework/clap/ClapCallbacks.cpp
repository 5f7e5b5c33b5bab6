#include "clap/ClapCallbacks.h"

#include <cstring>
#include <type_traits>

#include "clap/IClapPlugin.h"

namespace mg {

namespace {

// Runs `call` on the instance behind the record; a missing instance or an
// exception gives `fallback`, so nothing thrown reaches the host.
template <class Result, class Call>
Result OnPlugin(const clap::plugin_t* record, Result fallback, Call&& call) noexcept
{
    IClapPlugin* plugin = IClapPlugin::FromRecord(record);
    if (!plugin) return fallback;
    try {
        return call(*plugin);
    } catch (...) {
        return fallback;
    }
}

template <class Call>
void OnPlugin(const clap::plugin_t* record, Call&& call) noexcept
{
    OnPlugin(record, 0, [&](IClapPlugin& plugin) {
        call(plugin);
        return 0;
    });
}

// ---- the plug-in record -------------------------------------------------------------

bool CLAP_CALL Init(const clap::plugin_t* p)
{
    return OnPlugin(p, false, [](IClapPlugin& plugin) { return plugin.Init(); });
}

void CLAP_CALL Destroy(const clap::plugin_t* p)
{
    OnPlugin(p, [](IClapPlugin& plugin) {
        plugin.GuiDestroy();
        plugin.Deactivate();
        delete &plugin;
    });
}

bool CLAP_CALL Activate(const clap::plugin_t* p, double rate, std::uint32_t minFrames, std::uint32_t maxFrames)
{
    return OnPlugin(p, false, [&](IClapPlugin& plugin) { return plugin.Activate(rate, minFrames, maxFrames); });
}

void CLAP_CALL Deactivate(const clap::plugin_t* p)
{
    OnPlugin(p, [](IClapPlugin& plugin) { plugin.Deactivate(); });
}

bool CLAP_CALL StartProcessing(const clap::plugin_t* p)
{
    return OnPlugin(p, false, [](IClapPlugin& plugin) { return plugin.StartProcessing(); });
}

void CLAP_CALL StopProcessing(const clap::plugin_t* p)
{
    OnPlugin(p, [](IClapPlugin& plugin) { plugin.StopProcessing(); });
}

void CLAP_CALL Reset(const clap::plugin_t* p)
{
    OnPlugin(p, [](IClapPlugin& plugin) { plugin.Reset(); });
}

clap::process_status_t CLAP_CALL Process(const clap::plugin_t* p, const clap::process_t* process)
{
    return OnPlugin(p, clap::kProcessError, [&](IClapPlugin& plugin) { return plugin.Process(process); });
}

const void* CLAP_CALL GetExtension(const clap::plugin_t* p, const char* id)
{
    return OnPlugin(p, static_cast<const void*>(nullptr), [&](IClapPlugin& plugin) -> const void* {
        if (!id) return nullptr;
        // A choice of one is no choice; an effect without an editor has no gui.
        if (std::strcmp(id, clap::kExtAudioPortsConfig) == 0 && plugin.PortConfigCount() < 2) return nullptr;
        if (std::strcmp(id, clap::kExtGui) == 0 && !plugin.Editor()) return nullptr;
        return ClapExtension(id);
    });
}

void CLAP_CALL OnMainThread(const clap::plugin_t*) {}

// ---- audio ports ----------------------------------------------------------------------

std::uint32_t CLAP_CALL AudioPortCount(const clap::plugin_t* p, bool input)
{
    return OnPlugin(p, 0u, [&](IClapPlugin& plugin) { return plugin.AudioPortCount(input); });
}

bool CLAP_CALL AudioPortGet(const clap::plugin_t* p, std::uint32_t index, bool input, clap::audio_port_info_t* info)
{
    return OnPlugin(p, false, [&](IClapPlugin& plugin) { return plugin.AudioPortInfo(index, input, info); });
}

constexpr clap::plugin_audio_ports_t kAudioPorts{&AudioPortCount, &AudioPortGet};

std::uint32_t CLAP_CALL PortConfigCount(const clap::plugin_t* p)
{
    return OnPlugin(p, 0u, [](IClapPlugin& plugin) { return plugin.PortConfigCount(); });
}

bool CLAP_CALL PortConfigGet(const clap::plugin_t* p, std::uint32_t index, clap::audio_ports_config_t* config)
{
    return OnPlugin(p, false, [&](IClapPlugin& plugin) { return plugin.PortConfig(index, config); });
}

bool CLAP_CALL PortConfigSelect(const clap::plugin_t* p, clap::id_t id)
{
    return OnPlugin(p, false, [&](IClapPlugin& plugin) { return plugin.SelectPortConfig(id); });
}

constexpr clap::plugin_audio_ports_config_t kAudioPortsConfig{&PortConfigCount, &PortConfigGet, &PortConfigSelect};

// ---- parameters -----------------------------------------------------------------------------

std::uint32_t CLAP_CALL ParamCount(const clap::plugin_t* p)
{
    return OnPlugin(p, 0u, [](IClapPlugin& plugin) { return static_cast<std::uint32_t>(plugin.ParameterCount()); });
}

bool CLAP_CALL ParamGetInfo(const clap::plugin_t* p, std::uint32_t index, clap::param_info_t* info)
{
    return OnPlugin(p, false, [&](IClapPlugin& plugin) { return plugin.ParamInfo(index, info); });
}

bool CLAP_CALL ParamGetValue(const clap::plugin_t* p, clap::id_t id, double* value)
{
    return OnPlugin(p, false, [&](IClapPlugin& plugin) { return plugin.ParamValue(id, value); });
}

bool CLAP_CALL ParamValueToText(const clap::plugin_t* p, clap::id_t id, double value, char* out,
                                std::uint32_t capacity)
{
    return OnPlugin(p, false, [&](IClapPlugin& plugin) { return plugin.ParamToText(id, value, out, capacity); });
}

bool CLAP_CALL ParamTextToValue(const clap::plugin_t* p, clap::id_t id, const char* text, double* value)
{
    return OnPlugin(p, false, [&](IClapPlugin& plugin) { return plugin.ParamFromText(id, text, value); });
}

void CLAP_CALL ParamFlush(const clap::plugin_t* p, const clap::input_events_t* in, const clap::output_events_t* out)
{
    OnPlugin(p, [&](IClapPlugin& plugin) { plugin.Flush(in, out); });
}

constexpr clap::plugin_params_t kParams{&ParamCount,       &ParamGetInfo,     &ParamGetValue,
                                        &ParamValueToText, &ParamTextToValue, &ParamFlush};

// ---- state, latency ---------------------------------------------------------------------------

bool CLAP_CALL StateSave(const clap::plugin_t* p, const clap::ostream_t* stream)
{
    return OnPlugin(p, false, [&](IClapPlugin& plugin) { return plugin.SaveState(stream); });
}

bool CLAP_CALL StateLoad(const clap::plugin_t* p, const clap::istream_t* stream)
{
    return OnPlugin(p, false, [&](IClapPlugin& plugin) { return plugin.LoadState(stream); });
}

constexpr clap::plugin_state_t kState{&StateSave, &StateLoad};

std::uint32_t CLAP_CALL LatencyGet(const clap::plugin_t* p)
{
    return OnPlugin(p, 0u, [](IClapPlugin& plugin) { return static_cast<std::uint32_t>(std::max(0, plugin.Latency())); });
}

constexpr clap::plugin_latency_t kLatency{&LatencyGet};

// ---- editor ----------------------------------------------------------------------------------

bool CLAP_CALL GuiIsApiSupported(const clap::plugin_t* p, const char* api, bool floating)
{
    return OnPlugin(p, false, [&](IClapPlugin& plugin) { return plugin.GuiApiSupported(api, floating); });
}

bool CLAP_CALL GuiPreferredApi(const clap::plugin_t* p, const char** api, bool* floating)
{
    return OnPlugin(p, false, [&](IClapPlugin&) {
        if (!api || !floating) return false;
        *api = IClapPlugin::GuiNativeApi();
        *floating = false;
        return true;
    });
}

bool CLAP_CALL GuiCreate(const clap::plugin_t* p, const char* api, bool floating)
{
    return OnPlugin(p, false, [&](IClapPlugin& plugin) { return plugin.GuiCreate(api, floating); });
}

void CLAP_CALL GuiDestroy(const clap::plugin_t* p)
{
    OnPlugin(p, [](IClapPlugin& plugin) { plugin.GuiDestroy(); });
}

bool CLAP_CALL GuiSetScale(const clap::plugin_t* p, double scale)
{
    return OnPlugin(p, false, [&](IClapPlugin& plugin) { return plugin.GuiSetScale(scale); });
}

bool CLAP_CALL GuiGetSize(const clap::plugin_t* p, std::uint32_t* width, std::uint32_t* height)
{
    return OnPlugin(p, false, [&](IClapPlugin& plugin) { return plugin.GuiSize(width, height); });
}

bool CLAP_CALL GuiCanResize(const clap::plugin_t*) { return false; }

bool CLAP_CALL GuiResizeHints(const clap::plugin_t*, clap::gui_resize_hints_t* hints)
{
    if (!hints) return false;
    *hints = {false, false, false, 0, 0};
    return true;
}

bool CLAP_CALL GuiAdjustSize(const clap::plugin_t*, std::uint32_t*, std::uint32_t*) { return false; }

bool CLAP_CALL GuiSetSize(const clap::plugin_t* p, std::uint32_t width, std::uint32_t height)
{
    return OnPlugin(p, false, [&](IClapPlugin& plugin) { return plugin.GuiSetSize(width, height); });
}

bool CLAP_CALL GuiSetParent(const clap::plugin_t* p, const clap::window_t* window)
{
    return OnPlugin(p, false, [&](IClapPlugin& plugin) { return plugin.GuiSetParent(window); });
}

bool CLAP_CALL GuiSetTransient(const clap::plugin_t*, const clap::window_t*) { return false; }

void CLAP_CALL GuiSuggestTitle(const clap::plugin_t*, const char*) {}

// The embedded window shows and hides with the host's.
bool CLAP_CALL GuiShowOrHide(const clap::plugin_t* p)
{
    return OnPlugin(p, false, [](IClapPlugin& plugin) { return plugin.GuiShown(); });
}

constexpr clap::plugin_gui_t kGui{&GuiIsApiSupported, &GuiPreferredApi, &GuiCreate,      &GuiDestroy,
                                  &GuiSetScale,       &GuiGetSize,      &GuiCanResize,   &GuiResizeHints,
                                  &GuiAdjustSize,     &GuiSetSize,      &GuiSetParent,   &GuiSetTransient,
                                  &GuiSuggestTitle,   &GuiShowOrHide,   &GuiShowOrHide};

void CLAP_CALL OnTimer(const clap::plugin_t* p, clap::id_t timer)
{
    OnPlugin(p, [&](IClapPlugin& plugin) { plugin.GuiTick(timer); });
}

constexpr clap::plugin_timer_support_t kTimerSupport{&OnTimer};

constexpr clap::plugin_t kRecord{nullptr,        nullptr,          &Init,  &Destroy,  &Activate,     &Deactivate,
                                 &StartProcessing, &StopProcessing, &Reset, &Process, &GetExtension, &OnMainThread};

} // namespace

const clap::plugin_t& ClapRecordFunctions() { return kRecord; }

const void* ClapExtension(const char* id)
{
    if (!id) return nullptr;
    const struct {
        const char* id;
        const void* extension;
    } table[] = {
        {clap::kExtAudioPorts, &kAudioPorts}, {clap::kExtAudioPortsConfig, &kAudioPortsConfig},
        {clap::kExtParams, &kParams},         {clap::kExtState, &kState},
        {clap::kExtLatency, &kLatency},       {clap::kExtGui, &kGui},
        {clap::kExtTimerSupport, &kTimerSupport},
    };
    for (const auto& entry : table)
        if (std::strcmp(entry.id, id) == 0) return entry.extension;
    return nullptr;
}

} // namespace mg
