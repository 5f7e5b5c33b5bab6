#pragma once
// The CLAP 1.x binary interface as this project uses it: the entry, the
// plug-in factory, the plug-in and host records, processing and events, and
// the extensions an audio effect offers or asks for. Only the CLAP binding
// and hosts include this; the plug-in core never sees these names.
//
// Every record is plain C with natural alignment (no packing). The layouts
// are checked at the end of the file for the three targets the project
// builds: x86-64 Linux, 32- and 64-bit Windows. 32-bit Windows aligns 64-bit
// members to 8 inside records, which moves fields in the event and process
// records; the checks pin that down.
#include <cstddef>
#include <cstdint>

#if defined(_WIN32) || defined(__CYGWIN__)
#  define CLAP_CALL __cdecl
#else
#  define CLAP_CALL
#endif

namespace clap {

using id_t = std::uint32_t;
constexpr id_t kInvalidId = 0xFFFFFFFFu;

constexpr std::size_t kNameSize = 256;
constexpr std::size_t kPathSize = 1024;

struct version_t {
    std::uint32_t major;
    std::uint32_t minor;
    std::uint32_t revision;
};
// The interface this header describes; any host of major 1 or later speaks it.
constexpr version_t kVersion{1, 2, 10};
constexpr bool VersionIsCompatible(const version_t& v) { return v.major >= 1; }

// ---- host --------------------------------------------------------------------

struct host_t {
    version_t clap_version;
    void* host_data;
    const char* name;
    const char* vendor;
    const char* url;
    const char* version;
    const void*(CLAP_CALL* get_extension)(const host_t* h, const char* extension_id);
    void(CLAP_CALL* request_restart)(const host_t* h);
    void(CLAP_CALL* request_process)(const host_t* h);
    void(CLAP_CALL* request_callback)(const host_t* h);
};

// ---- events --------------------------------------------------------------------

constexpr std::uint16_t kCoreEventSpace = 0;

enum : std::uint16_t {
    kEventNoteOn = 0,
    kEventNoteOff = 1,
    kEventNoteChoke = 2,
    kEventNoteEnd = 3,
    kEventNoteExpression = 4,
    kEventParamValue = 5,
    kEventParamMod = 6,
    kEventParamGestureBegin = 7,
    kEventParamGestureEnd = 8,
    kEventTransport = 9,
    kEventMidi = 10,
    kEventMidiSysex = 11,
    kEventMidi2 = 12,
};

enum : std::uint32_t { kEventIsLive = 1, kEventDontRecord = 2 };

struct event_header_t {
    std::uint32_t size;
    std::uint32_t time;
    std::uint16_t space_id;
    std::uint16_t type;
    std::uint32_t flags;
};

struct event_param_value_t {
    event_header_t header;
    id_t param_id;
    void* cookie;
    std::int32_t note_id;
    std::int16_t port_index;
    std::int16_t channel;
    std::int16_t key;
    double value;
};

struct event_param_mod_t {
    event_header_t header;
    id_t param_id;
    void* cookie;
    std::int32_t note_id;
    std::int16_t port_index;
    std::int16_t channel;
    std::int16_t key;
    double amount;
};

struct event_param_gesture_t {
    event_header_t header;
    id_t param_id;
};

struct event_note_t {
    event_header_t header;
    std::int32_t note_id;
    std::int16_t port_index;
    std::int16_t channel;
    std::int16_t key;
    double velocity;
};

struct event_midi_t {
    event_header_t header;
    std::uint16_t port_index;
    std::uint8_t data[3];
};

enum : std::uint32_t {
    kTransportHasTempo = 1,
    kTransportHasBeatsTimeline = 2,
    kTransportHasSecondsTimeline = 4,
    kTransportHasTimeSignature = 8,
    kTransportIsPlaying = 16,
};

struct event_transport_t {
    event_header_t header;
    std::uint32_t flags;
    std::int64_t song_pos_beats;
    std::int64_t song_pos_seconds;
    double tempo;
    double tempo_inc;
    std::int64_t loop_start_beats;
    std::int64_t loop_end_beats;
    std::int64_t loop_start_seconds;
    std::int64_t loop_end_seconds;
    std::int64_t bar_start;
    std::int32_t bar_number;
    std::uint16_t tsig_num;
    std::uint16_t tsig_denom;
};

struct input_events_t {
    void* ctx;
    std::uint32_t(CLAP_CALL* size)(const input_events_t* list);
    const event_header_t*(CLAP_CALL* get)(const input_events_t* list, std::uint32_t index);
};

struct output_events_t {
    void* ctx;
    bool(CLAP_CALL* try_push)(const output_events_t* list, const event_header_t* event);
};

// ---- processing ------------------------------------------------------------------

struct audio_buffer_t {
    float** data32;
    double** data64;
    std::uint32_t channel_count;
    std::uint32_t latency;
    std::uint64_t constant_mask;
};

using process_status_t = std::int32_t;
inline constexpr process_status_t kProcessError = 0;
inline constexpr process_status_t kProcessContinue = 1;
inline constexpr process_status_t kProcessContinueIfNotQuiet = 2;
inline constexpr process_status_t kProcessTail = 3;
inline constexpr process_status_t kProcessSleep = 4;

struct process_t {
    std::int64_t steady_time;
    std::uint32_t frames_count;
    const event_transport_t* transport;
    const audio_buffer_t* audio_inputs;
    audio_buffer_t* audio_outputs;
    std::uint32_t audio_inputs_count;
    std::uint32_t audio_outputs_count;
    const input_events_t* in_events;
    const output_events_t* out_events;
};

// ---- plug-in, descriptor, factory, entry --------------------------------------------

struct plugin_descriptor_t {
    version_t clap_version;
    const char* id;
    const char* name;
    const char* vendor;
    const char* url;
    const char* manual_url;
    const char* support_url;
    const char* version;
    const char* description;
    const char* const* features;
};

struct plugin_t {
    const plugin_descriptor_t* desc;
    void* plugin_data;
    bool(CLAP_CALL* init)(const plugin_t* p);
    void(CLAP_CALL* destroy)(const plugin_t* p);
    bool(CLAP_CALL* activate)(const plugin_t* p, double sample_rate, std::uint32_t min_frames_count,
                              std::uint32_t max_frames_count);
    void(CLAP_CALL* deactivate)(const plugin_t* p);
    bool(CLAP_CALL* start_processing)(const plugin_t* p);
    void(CLAP_CALL* stop_processing)(const plugin_t* p);
    void(CLAP_CALL* reset)(const plugin_t* p);
    process_status_t(CLAP_CALL* process)(const plugin_t* p, const clap::process_t* data);
    const void*(CLAP_CALL* get_extension)(const plugin_t* p, const char* id);
    void(CLAP_CALL* on_main_thread)(const plugin_t* p);
};

inline constexpr const char* kPluginFactoryId = "clap.plugin-factory";

struct plugin_factory_t {
    std::uint32_t(CLAP_CALL* get_plugin_count)(const plugin_factory_t* factory);
    const plugin_descriptor_t*(CLAP_CALL* get_plugin_descriptor)(const plugin_factory_t* factory, std::uint32_t index);
    const plugin_t*(CLAP_CALL* create_plugin)(const plugin_factory_t* factory, const host_t* h, const char* plugin_id);
};

struct plugin_entry_t {
    version_t clap_version;
    bool(CLAP_CALL* init)(const char* plugin_path);
    void(CLAP_CALL* deinit)();
    const void*(CLAP_CALL* get_factory)(const char* factory_id);
};

// ---- extension: audio ports ---------------------------------------------------------------

inline constexpr const char* kExtAudioPorts = "clap.audio-ports";
inline constexpr const char* kPortMono = "mono";
inline constexpr const char* kPortStereo = "stereo";

enum : std::uint32_t {
    kAudioPortIsMain = 1,
    kAudioPortSupports64Bits = 2,
    kAudioPortPrefers64Bits = 4,
    kAudioPortRequiresCommonSampleSize = 8,
};

struct audio_port_info_t {
    id_t id;
    char name[kNameSize];
    std::uint32_t flags;
    std::uint32_t channel_count;
    const char* port_type;
    id_t in_place_pair;
};

struct plugin_audio_ports_t {
    std::uint32_t(CLAP_CALL* count)(const plugin_t* p, bool is_input);
    bool(CLAP_CALL* get)(const plugin_t* p, std::uint32_t index, bool is_input, audio_port_info_t* info);
};

// ---- extension: audio ports configurations --------------------------------------------------

inline constexpr const char* kExtAudioPortsConfig = "clap.audio-ports-config";

struct audio_ports_config_t {
    id_t id;
    char name[kNameSize];
    std::uint32_t input_port_count;
    std::uint32_t output_port_count;
    bool has_main_input;
    std::uint32_t main_input_channel_count;
    const char* main_input_port_type;
    bool has_main_output;
    std::uint32_t main_output_channel_count;
    const char* main_output_port_type;
};

struct plugin_audio_ports_config_t {
    std::uint32_t(CLAP_CALL* count)(const plugin_t* p);
    bool(CLAP_CALL* get)(const plugin_t* p, std::uint32_t index, audio_ports_config_t* config);
    bool(CLAP_CALL* select)(const plugin_t* p, id_t config_id);
};

// ---- extension: parameters ----------------------------------------------------------------

inline constexpr const char* kExtParams = "clap.params";

enum : std::uint32_t {
    kParamIsStepped = 1u << 0,
    kParamIsPeriodic = 1u << 1,
    kParamIsHidden = 1u << 2,
    kParamIsReadonly = 1u << 3,
    kParamIsBypass = 1u << 4,
    kParamIsAutomatable = 1u << 5,
    kParamIsModulatable = 1u << 10,
    kParamRequiresProcess = 1u << 15,
    kParamIsEnum = 1u << 16,
};

enum : std::uint32_t {
    kParamRescanValues = 1,
    kParamRescanText = 2,
    kParamRescanInfo = 4,
    kParamRescanAll = 8,
};

struct param_info_t {
    id_t id;
    std::uint32_t flags;
    void* cookie;
    char name[kNameSize];
    char module[kPathSize];
    double min_value;
    double max_value;
    double default_value;
};

struct plugin_params_t {
    std::uint32_t(CLAP_CALL* count)(const plugin_t* p);
    bool(CLAP_CALL* get_info)(const plugin_t* p, std::uint32_t param_index, param_info_t* info);
    bool(CLAP_CALL* get_value)(const plugin_t* p, id_t param_id, double* out_value);
    bool(CLAP_CALL* value_to_text)(const plugin_t* p, id_t param_id, double value, char* out_buffer,
                                   std::uint32_t out_buffer_capacity);
    bool(CLAP_CALL* text_to_value)(const plugin_t* p, id_t param_id, const char* param_value_text, double* out_value);
    void(CLAP_CALL* flush)(const plugin_t* p, const input_events_t* in, const output_events_t* out);
};

struct host_params_t {
    void(CLAP_CALL* rescan)(const host_t* h, std::uint32_t flags);
    void(CLAP_CALL* clear)(const host_t* h, id_t param_id, std::uint32_t flags);
    void(CLAP_CALL* request_flush)(const host_t* h);
};

// ---- extension: state ------------------------------------------------------------------------

inline constexpr const char* kExtState = "clap.state";

struct istream_t {
    void* ctx;
    // Bytes read, 0 at the end of the stream, -1 on error.
    std::int64_t(CLAP_CALL* read)(const istream_t* stream, void* buffer, std::uint64_t size);
};

struct ostream_t {
    void* ctx;
    // Bytes written (maybe fewer than asked), -1 on error.
    std::int64_t(CLAP_CALL* write)(const ostream_t* stream, const void* buffer, std::uint64_t size);
};

struct plugin_state_t {
    bool(CLAP_CALL* save)(const plugin_t* p, const ostream_t* stream);
    bool(CLAP_CALL* load)(const plugin_t* p, const istream_t* stream);
};

struct host_state_t {
    void(CLAP_CALL* mark_dirty)(const host_t* h);
};

// ---- extension: latency ---------------------------------------------------------------------

inline constexpr const char* kExtLatency = "clap.latency";

struct plugin_latency_t {
    std::uint32_t(CLAP_CALL* get)(const plugin_t* p);
};

struct host_latency_t {
    void(CLAP_CALL* changed)(const host_t* h);
};

// ---- extension: editor ----------------------------------------------------------------------

inline constexpr const char* kExtGui = "clap.gui";
inline constexpr const char* kWindowApiX11 = "x11";
inline constexpr const char* kWindowApiWin32 = "win32";

struct window_t {
    const char* api;
    union {
        void* cocoa;
        void* uikit;
        unsigned long x11;
        void* win32;
        void* ptr;
    };
};

struct gui_resize_hints_t {
    bool can_resize_horizontally;
    bool can_resize_vertically;
    bool preserve_aspect_ratio;
    std::uint32_t aspect_ratio_width;
    std::uint32_t aspect_ratio_height;
};

struct plugin_gui_t {
    bool(CLAP_CALL* is_api_supported)(const plugin_t* p, const char* api, bool is_floating);
    bool(CLAP_CALL* get_preferred_api)(const plugin_t* p, const char** api, bool* is_floating);
    bool(CLAP_CALL* create)(const plugin_t* p, const char* api, bool is_floating);
    void(CLAP_CALL* destroy)(const plugin_t* p);
    bool(CLAP_CALL* set_scale)(const plugin_t* p, double scale);
    bool(CLAP_CALL* get_size)(const plugin_t* p, std::uint32_t* width, std::uint32_t* height);
    bool(CLAP_CALL* can_resize)(const plugin_t* p);
    bool(CLAP_CALL* get_resize_hints)(const plugin_t* p, gui_resize_hints_t* hints);
    bool(CLAP_CALL* adjust_size)(const plugin_t* p, std::uint32_t* width, std::uint32_t* height);
    bool(CLAP_CALL* set_size)(const plugin_t* p, std::uint32_t width, std::uint32_t height);
    bool(CLAP_CALL* set_parent)(const plugin_t* p, const window_t* w);
    bool(CLAP_CALL* set_transient)(const plugin_t* p, const window_t* w);
    void(CLAP_CALL* suggest_title)(const plugin_t* p, const char* title);
    bool(CLAP_CALL* show)(const plugin_t* p);
    bool(CLAP_CALL* hide)(const plugin_t* p);
};

struct host_gui_t {
    void(CLAP_CALL* resize_hints_changed)(const host_t* h);
    bool(CLAP_CALL* request_resize)(const host_t* h, std::uint32_t width, std::uint32_t height);
    bool(CLAP_CALL* request_show)(const host_t* h);
    bool(CLAP_CALL* request_hide)(const host_t* h);
    void(CLAP_CALL* closed)(const host_t* h, bool was_destroyed);
};

// ---- extension: timers -------------------------------------------------------------------------

inline constexpr const char* kExtTimerSupport = "clap.timer-support";

struct plugin_timer_support_t {
    void(CLAP_CALL* on_timer)(const plugin_t* p, id_t timer_id);
};

struct host_timer_support_t {
    bool(CLAP_CALL* register_timer)(const host_t* h, std::uint32_t period_ms, id_t* timer_id);
    bool(CLAP_CALL* unregister_timer)(const host_t* h, id_t timer_id);
};

// ---- host extensions: thread check, log ------------------------------------------------------------

inline constexpr const char* kExtThreadCheck = "clap.thread-check";

struct host_thread_check_t {
    bool(CLAP_CALL* is_main_thread)(const host_t* h);
    bool(CLAP_CALL* is_audio_thread)(const host_t* h);
};

inline constexpr const char* kExtLog = "clap.log";

using log_severity_t = std::int32_t;
inline constexpr log_severity_t kLogDebug = 0;
inline constexpr log_severity_t kLogInfo = 1;
inline constexpr log_severity_t kLogWarning = 2;
inline constexpr log_severity_t kLogError = 3;
inline constexpr log_severity_t kLogFatal = 4;
inline constexpr log_severity_t kLogHostMisbehaving = 5;
inline constexpr log_severity_t kLogPluginMisbehaving = 6;

struct host_log_t {
    void(CLAP_CALL* log)(const host_t* h, log_severity_t severity, const char* msg);
};

// ---- layouts ------------------------------------------------------------------------------------------

#define CLAP_CHECK_LAYOUT(T, size, align) \
    static_assert(sizeof(T) == (size) && alignof(T) == (align), "layout of " #T)
#define CLAP_CHECK_AT(T, field, offset) static_assert(offsetof(T, field) == (offset), #T "." #field)

// Offsets for x86-64 Linux, 32-bit Windows and 64-bit Windows, in that order.
#if defined(_WIN32) && !defined(_WIN64)
#  define CLAP_AT(lin64, win32, win64) (win32)
#elif defined(_WIN64)
#  define CLAP_AT(lin64, win32, win64) (win64)
#elif defined(__x86_64__)
#  define CLAP_AT(lin64, win32, win64) (lin64)
#endif

#if defined(CLAP_AT)
constexpr std::size_t kPtr = sizeof(void*);
CLAP_CHECK_LAYOUT(version_t, 12, 4);
CLAP_CHECK_LAYOUT(plugin_entry_t, CLAP_AT(40, 24, 40), kPtr);
CLAP_CHECK_AT(plugin_entry_t, init, CLAP_AT(16, 12, 16));
CLAP_CHECK_AT(plugin_entry_t, get_factory, CLAP_AT(32, 20, 32));
CLAP_CHECK_LAYOUT(plugin_descriptor_t, CLAP_AT(88, 48, 88), kPtr);
CLAP_CHECK_AT(plugin_descriptor_t, id, CLAP_AT(16, 12, 16));
CLAP_CHECK_AT(plugin_descriptor_t, features, CLAP_AT(80, 44, 80));
CLAP_CHECK_LAYOUT(host_t, CLAP_AT(88, 48, 88), kPtr);
CLAP_CHECK_AT(host_t, host_data, CLAP_AT(16, 12, 16));
CLAP_CHECK_AT(host_t, get_extension, CLAP_AT(56, 32, 56));
CLAP_CHECK_AT(host_t, request_callback, CLAP_AT(80, 44, 80));
CLAP_CHECK_LAYOUT(plugin_t, 12 * kPtr, kPtr);
CLAP_CHECK_LAYOUT(plugin_factory_t, 3 * kPtr, kPtr);
CLAP_CHECK_LAYOUT(process_t, CLAP_AT(64, 40, 64), 8);
CLAP_CHECK_AT(process_t, frames_count, 8);
CLAP_CHECK_AT(process_t, transport, CLAP_AT(16, 12, 16));
CLAP_CHECK_AT(process_t, audio_inputs, CLAP_AT(24, 16, 24));
CLAP_CHECK_AT(process_t, audio_outputs, CLAP_AT(32, 20, 32));
CLAP_CHECK_AT(process_t, audio_inputs_count, CLAP_AT(40, 24, 40));
CLAP_CHECK_AT(process_t, audio_outputs_count, CLAP_AT(44, 28, 44));
CLAP_CHECK_AT(process_t, in_events, CLAP_AT(48, 32, 48));
CLAP_CHECK_AT(process_t, out_events, CLAP_AT(56, 36, 56));
CLAP_CHECK_LAYOUT(audio_buffer_t, CLAP_AT(32, 24, 32), 8);
CLAP_CHECK_AT(audio_buffer_t, data64, CLAP_AT(8, 4, 8));
CLAP_CHECK_AT(audio_buffer_t, channel_count, CLAP_AT(16, 8, 16));
CLAP_CHECK_AT(audio_buffer_t, latency, CLAP_AT(20, 12, 20));
CLAP_CHECK_AT(audio_buffer_t, constant_mask, CLAP_AT(24, 16, 24));
CLAP_CHECK_LAYOUT(event_header_t, 16, 4);
CLAP_CHECK_AT(event_header_t, time, 4);
CLAP_CHECK_AT(event_header_t, space_id, 8);
CLAP_CHECK_AT(event_header_t, type, 10);
CLAP_CHECK_AT(event_header_t, flags, 12);
CLAP_CHECK_LAYOUT(event_param_value_t, CLAP_AT(56, 48, 56), 8);
CLAP_CHECK_AT(event_param_value_t, param_id, 16);
CLAP_CHECK_AT(event_param_value_t, cookie, CLAP_AT(24, 20, 24));
CLAP_CHECK_AT(event_param_value_t, note_id, CLAP_AT(32, 24, 32));
CLAP_CHECK_AT(event_param_value_t, port_index, CLAP_AT(36, 28, 36));
CLAP_CHECK_AT(event_param_value_t, channel, CLAP_AT(38, 30, 38));
CLAP_CHECK_AT(event_param_value_t, key, CLAP_AT(40, 32, 40));
CLAP_CHECK_AT(event_param_value_t, value, CLAP_AT(48, 40, 48));
CLAP_CHECK_LAYOUT(event_param_mod_t, CLAP_AT(56, 48, 56), 8);
CLAP_CHECK_AT(event_param_mod_t, amount, CLAP_AT(48, 40, 48));
CLAP_CHECK_LAYOUT(event_param_gesture_t, 20, 4);
CLAP_CHECK_AT(event_param_gesture_t, param_id, 16);
CLAP_CHECK_LAYOUT(event_note_t, 40, 8);
CLAP_CHECK_AT(event_note_t, velocity, 32);
CLAP_CHECK_LAYOUT(event_midi_t, 24, 4);
CLAP_CHECK_AT(event_midi_t, data, 18);
CLAP_CHECK_LAYOUT(event_transport_t, 104, 8);
CLAP_CHECK_AT(event_transport_t, song_pos_beats, 24);
CLAP_CHECK_AT(event_transport_t, bar_number, 96);
CLAP_CHECK_AT(event_transport_t, tsig_denom, 102);
CLAP_CHECK_LAYOUT(audio_port_info_t, CLAP_AT(288, 276, 288), kPtr);
CLAP_CHECK_AT(audio_port_info_t, flags, 260);
CLAP_CHECK_AT(audio_port_info_t, channel_count, 264);
CLAP_CHECK_AT(audio_port_info_t, port_type, CLAP_AT(272, 268, 272));
CLAP_CHECK_AT(audio_port_info_t, in_place_pair, CLAP_AT(280, 272, 280));
CLAP_CHECK_LAYOUT(audio_ports_config_t, CLAP_AT(304, 292, 304), kPtr);
CLAP_CHECK_AT(audio_ports_config_t, input_port_count, 260);
CLAP_CHECK_AT(audio_ports_config_t, has_main_input, 268);
CLAP_CHECK_AT(audio_ports_config_t, main_input_channel_count, 272);
CLAP_CHECK_AT(audio_ports_config_t, main_input_port_type, CLAP_AT(280, 276, 280));
CLAP_CHECK_AT(audio_ports_config_t, has_main_output, CLAP_AT(288, 280, 288));
CLAP_CHECK_AT(audio_ports_config_t, main_output_channel_count, CLAP_AT(292, 284, 292));
CLAP_CHECK_AT(audio_ports_config_t, main_output_port_type, CLAP_AT(296, 288, 296));
CLAP_CHECK_LAYOUT(param_info_t, 1320, 8);
CLAP_CHECK_AT(param_info_t, flags, 4);
CLAP_CHECK_AT(param_info_t, cookie, 8);
CLAP_CHECK_AT(param_info_t, name, CLAP_AT(16, 12, 16));
CLAP_CHECK_AT(param_info_t, module, CLAP_AT(272, 268, 272));
CLAP_CHECK_AT(param_info_t, min_value, 1296);
CLAP_CHECK_AT(param_info_t, max_value, 1304);
CLAP_CHECK_AT(param_info_t, default_value, 1312);
CLAP_CHECK_LAYOUT(window_t, CLAP_AT(16, 8, 16), kPtr);
CLAP_CHECK_LAYOUT(gui_resize_hints_t, 12, 4);
CLAP_CHECK_AT(gui_resize_hints_t, aspect_ratio_width, 4);
CLAP_CHECK_LAYOUT(plugin_gui_t, 15 * kPtr, kPtr);
CLAP_CHECK_LAYOUT(plugin_params_t, 6 * kPtr, kPtr);
CLAP_CHECK_LAYOUT(host_gui_t, 5 * kPtr, kPtr);
#endif

#undef CLAP_CHECK_LAYOUT
#undef CLAP_CHECK_AT
#undef CLAP_AT

} // namespace clap
