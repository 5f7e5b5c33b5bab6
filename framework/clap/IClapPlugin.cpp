#include "clap/IClapPlugin.h"

#include <algorithm>
#include <cmath>

#include "clap/ClapCallbacks.h"

namespace mg {

namespace {

// A host extension, or null where the host offers none; Init checks the
// functions it will call.
template <class Extension>
const Extension* HostExtension(IClapPlugin::Host host, const char* id)
{
    if (!host || !host->get_extension) return nullptr;
    return static_cast<const Extension*>(host->get_extension(host, id));
}

} // namespace

IClapPlugin::IClapPlugin(Host host, int parameterCount, const char* channelIOStr, int presetCount,
                         const PluginIdentity& identity, const PluginOptions& options)
    : IAudioPlugin(parameterCount, channelIOStr, presetCount, identity, options), host_(host)
{
    record_ = ClapRecordFunctions();
    record_.plugin_data = this;
    // The widest configuration is the default: hosts that never choose one
    // (most) get stereo, and a mono source on a stereo track still plays.
    for (int i = 1; i < ChannelPairCount(); ++i) {
        const ChannelPair best = ChannelPairAt(portConfig_);
        const ChannelPair pair = ChannelPairAt(i);
        if (pair.outputs > best.outputs || (pair.outputs == best.outputs && pair.inputs > best.inputs))
            portConfig_ = i;
    }
    ConnectConfiguredChannels();
    floatIn_.assign(static_cast<std::size_t>(InputChannelCount()), nullptr);
    floatOut_.assign(static_cast<std::size_t>(OutputChannelCount()), nullptr);
    doubleIn_.assign(static_cast<std::size_t>(InputChannelCount()), nullptr);
    doubleOut_.assign(static_cast<std::size_t>(OutputChannelCount()), nullptr);
    inGesture_.assign(static_cast<std::size_t>(parameterCount), false);
}

IClapPlugin::~IClapPlugin() = default;

IClapPlugin* IClapPlugin::FromRecord(const clap::plugin_t* record)
{
    return record ? static_cast<IClapPlugin*>(record->plugin_data) : nullptr;
}

void IClapPlugin::ConnectConfiguredChannels()
{
    ConnectInputChannels(0, InputChannelCount(), false);
    ConnectOutputChannels(0, OutputChannelCount(), false);
    ConnectInputChannels(0, PortChannels(true), true);
    ConnectOutputChannels(0, PortChannels(false), true);
}

int IClapPlugin::PortChannels(bool input) const
{
    if (ChannelPairCount() == 0) return 0;
    const ChannelPair pair = ChannelPairAt(portConfig_);
    return std::max(0, input ? pair.inputs : pair.outputs);
}

// ---- life cycle ------------------------------------------------------------------

bool IClapPlugin::Init()
{
    if (initialised_) return true;
    // The host's extensions may be asked for from here on, not before.
    hostParams_ = HostExtension<clap::host_params_t>(host_, clap::kExtParams);
    if (hostParams_ && (!hostParams_->rescan || !hostParams_->request_flush)) hostParams_ = nullptr;
    hostLog_ = HostExtension<clap::host_log_t>(host_, clap::kExtLog);
    if (hostLog_ && !hostLog_->log) hostLog_ = nullptr;
    hostThreads_ = HostExtension<clap::host_thread_check_t>(host_, clap::kExtThreadCheck);
    if (hostThreads_ && !hostThreads_->is_audio_thread) hostThreads_ = nullptr;
    hostTimers_ = HostExtension<clap::host_timer_support_t>(host_, clap::kExtTimerSupport);
    if (hostTimers_ && (!hostTimers_->register_timer || !hostTimers_->unregister_timer)) hostTimers_ = nullptr;
    hostGui_ = HostExtension<clap::host_gui_t>(host_, clap::kExtGui);
    if (hostGui_ && !hostGui_->request_resize) hostGui_ = nullptr;

    LockGuard guard(Lock());
    EnsureOnePreset();
    AdaptToHost();
    ChangeAllParameters();
    defaults_.clear();
    for (int i = 0; i < ParameterCount(); ++i) defaults_.push_back(ParameterAt(i)->value());
    initialised_ = true;
    return true;
}

bool IClapPlugin::Activate(double sampleRate, std::uint32_t minFrames, std::uint32_t maxFrames)
{
    if (!initialised_ || IsActive() || !OffAudioThread()) return false;
    if (!(std::isfinite(sampleRate) && sampleRate >= kMinSampleRate && sampleRate <= kMaxSampleRate)) {
        Log(clap::kLogHostMisbehaving, "activate: refused a sample rate no audio runs at");
        return false;
    }
    if (maxFrames == 0 || minFrames > maxFrames) {
        Log(clap::kLogHostMisbehaving, "activate: refused a block size range that holds no block");
        return false;
    }
    LockGuard guard(Lock());
    // The rate and the block length are set as a VST 2.4 host sets them,
    // each followed by the effect's reset hook: the instance then starts
    // from the same place in the pedal's noise sequence as the VST plug-in
    // does, and the two sound the same sample for sample.
    StoreSampleRate(sampleRate);
    OnReset();
    SetBlockLength(static_cast<int>(std::min<std::uint32_t>(maxFrames, kMaxBlockLength)));
    if (BlockLength() <= 0) return false;
    OnReset();
    OnActivate(true);
    active_.store(true, std::memory_order_release);
    return true;
}

void IClapPlugin::Deactivate()
{
    if (!IsActive() || !OffAudioThread()) return;
    LockGuard guard(Lock());
    // Some hosts deactivate without stopping first.
    processing_.store(false, std::memory_order_release);
    active_.store(false, std::memory_order_release);
    OnActivate(false);
    OnReset();
}

bool IClapPlugin::StartProcessing()
{
    if (!IsActive() || IsProcessing()) return false;
    processing_.store(true, std::memory_order_release);
    return true;
}

void IClapPlugin::StopProcessing() { processing_.store(false, std::memory_order_release); }

void IClapPlugin::Reset()
{
    if (!IsActive()) return;
    LockGuard guard(Lock());
    OnReset();
}

// ---- edits reported to the host ------------------------------------------------------

bool IClapPlugin::PushEdit(const ClapEdit& edit)
{
    bool ask = false;
    {
        LockGuard guard(Lock());
        if (!edits_.Push(edit)) return false;
        ask = !flushRequested_;
        flushRequested_ = true;
    }
    // The next process call carries the edits anyway; a host that is not
    // processing is asked for a flush (once until they have been taken).
    if (ask && hostParams_ && !IsProcessing() && OffAudioThread()) hostParams_->request_flush(host_);
    return true;
}

// Gestures pair strictly per parameter (strict hosts stop at a second begin
// or an end without one), and a value outside one, such as a switch the
// editor flips, comes as a gesture of its own, so hosts record it as they
// record a knob's.
void IClapPlugin::BeginHostEdit(int index)
{
    if (!ParameterAt(index)) return;
    LockGuard guard(Lock());
    const auto i = static_cast<std::size_t>(index);
    if (!inGesture_[i]) inGesture_[i] = PushEdit({ClapEdit::kBegin, static_cast<std::uint32_t>(index), 0.0});
}

void IClapPlugin::InformHostOfChange(int index, double)
{
    const IParameter* parameter = ParameterAt(index);
    if (!parameter) return;
    LockGuard guard(Lock());
    // The host speaks plain values; the parameter holds the one the edit left.
    const auto i = static_cast<std::size_t>(index);
    const bool alone = !inGesture_[i];
    if (alone) BeginHostEdit(index);
    if (!inGesture_[i]) return; // no room left even for a begin
    PushEdit({ClapEdit::kValue, static_cast<std::uint32_t>(index), parameter->value()});
    if (alone) EndHostEdit(index);
}

void IClapPlugin::EndHostEdit(int index)
{
    if (!ParameterAt(index)) return;
    LockGuard guard(Lock());
    const auto i = static_cast<std::size_t>(index);
    if (!inGesture_[i]) return;
    inGesture_[i] = false;
    PushEdit({ClapEdit::kEnd, static_cast<std::uint32_t>(index), 0.0});
}

void IClapPlugin::DrainEdits(const clap::output_events_t* out)
{
    if (!out || !out->try_push) return;
    while (!edits_.Empty()) {
        const ClapEdit& edit = edits_.Front();
        bool pushed = false;
        if (edit.kind == ClapEdit::kValue) {
            clap::event_param_value_t event{};
            event.header = {sizeof event, 0, clap::kCoreEventSpace, clap::kEventParamValue, 0};
            event.param_id = edit.paramId;
            event.note_id = -1;
            event.port_index = -1;
            event.channel = -1;
            event.key = -1;
            event.value = edit.value;
            pushed = out->try_push(out, &event.header);
        } else {
            clap::event_param_gesture_t event{};
            const std::uint16_t type =
                edit.kind == ClapEdit::kBegin ? clap::kEventParamGestureBegin : clap::kEventParamGestureEnd;
            event.header = {sizeof event, 0, clap::kCoreEventSpace, type, 0};
            event.param_id = edit.paramId;
            pushed = out->try_push(out, &event.header);
        }
        // A host that takes no more gets the rest with its next call.
        if (!pushed) return;
        edits_.Pop();
    }
    flushRequested_ = false;
}

// ---- host services ------------------------------------------------------------------------

void IClapPlugin::Log(clap::log_severity_t severity, const char* message) const
{
    if (hostLog_ && OffAudioThread()) hostLog_->log(host_, severity, message);
}

bool IClapPlugin::OffAudioThread() const { return !hostThreads_ || !hostThreads_->is_audio_thread(host_); }

void IClapPlugin::HostTimeSignature(int* numerator, int* denominator)
{
    if (numerator) *numerator = timeSigNumerator_;
    if (denominator) *denominator = timeSigDenominator_;
}

void IClapPlugin::ReadTransport(const clap::event_transport_t* transport)
{
    if (!transport) return;
    if ((transport->flags & clap::kTransportHasTempo) && std::isfinite(transport->tempo) && transport->tempo > 0.0)
        tempo_ = transport->tempo;
    if ((transport->flags & clap::kTransportHasTimeSignature) && transport->tsig_num > 0 && transport->tsig_denom > 0) {
        timeSigNumerator_ = transport->tsig_num;
        timeSigDenominator_ = transport->tsig_denom;
    }
}

} // namespace mg
