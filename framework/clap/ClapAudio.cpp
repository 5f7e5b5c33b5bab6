// Processing: the host's buffers in and out, parameter events applied at
// their frames by rendering the block in pieces between them.
#include <algorithm>
#include <cmath>
#include <limits>
#include <type_traits>

#include "clap/IClapPlugin.h"

namespace mg {

namespace {

// The channel pointers of a port in the sample size chosen, or null when the
// port does not hold `channels` of them.
template <class Sample>
Sample** Channels(const clap::audio_buffer_t* port, int channels)
{
    if (channels == 0) return nullptr;
    if (!port || port->channel_count < static_cast<std::uint32_t>(channels)) return nullptr;
    Sample** data;
    if constexpr (std::is_same_v<Sample, double>) {
        data = port->data64;
    } else {
        data = port->data32;
    }
    if (!data) return nullptr;
    for (int c = 0; c < channels; ++c)
        if (!data[c]) return nullptr;
    return data;
}

const clap::event_param_value_t* ParamValueEvent(const clap::event_header_t* event)
{
    if (!event || event->space_id != clap::kCoreEventSpace || event->type != clap::kEventParamValue ||
        event->size < sizeof(clap::event_param_value_t))
        return nullptr;
    return reinterpret_cast<const clap::event_param_value_t*>(event);
}

} // namespace

void IClapPlugin::ApplyEvent(const clap::event_header_t* event)
{
    const clap::event_param_value_t* change = ParamValueEvent(event);
    if (!change || !std::isfinite(change->value)) return;
    const int index = change->param_id < static_cast<std::uint32_t>(ParameterCount())
                          ? static_cast<int>(change->param_id)
                          : -1;
    if (const IParameter* parameter = ParameterAt(index))
        SetParameterFromHost(index, parameter->NormalizedOf(change->value));
}

void IClapPlugin::Flush(const clap::input_events_t* in, const clap::output_events_t* out)
{
    LockGuard guard(Lock());
    const std::uint32_t count = in && in->size && in->get ? in->size(in) : 0;
    for (std::uint32_t i = 0; i < count; ++i) ApplyEvent(in->get(in, i));
    DrainEdits(out);
}

template <class Sample>
void IClapPlugin::RenderRange(Sample** inputs, Sample** outputs, std::uint32_t offset, std::uint32_t frames)
{
    std::vector<Sample*>& in = [this]() -> std::vector<Sample*>& {
        if constexpr (std::is_same_v<Sample, double>) return doubleIn_; else return floatIn_;
    }();
    std::vector<Sample*>& out = [this]() -> std::vector<Sample*>& {
        if constexpr (std::is_same_v<Sample, double>) return doubleOut_; else return floatOut_;
    }();
    const auto inputCount = static_cast<std::size_t>(PortChannels(true));
    const auto outputCount = static_cast<std::size_t>(PortChannels(false));
    const auto slice = static_cast<std::uint32_t>(BlockLength());
    for (std::uint32_t done = 0; done < frames; done += slice) {
        const auto n = static_cast<int>(std::min(slice, frames - done));
        Sample** inArray = inputs;
        Sample** outArray = outputs;
        // A whole block takes the host's arrays as they are; a piece of one,
        // pointers moved along them.
        if (offset + done > 0 || frames > slice) {
            for (std::size_t c = 0; c < in.size(); ++c) in[c] = c < inputCount ? inputs[c] + offset + done : nullptr;
            for (std::size_t c = 0; c < out.size(); ++c) out[c] = c < outputCount ? outputs[c] + offset + done : nullptr;
            inArray = in.empty() ? nullptr : in.data();
            outArray = out.empty() ? nullptr : out.data();
        }
        if constexpr (std::is_same_v<Sample, double>) {
            BindInputBuffers(0, InputChannelCount(), inArray);
            BindOutputBuffers(0, OutputChannelCount(), outArray);
            RenderBlock(n);
        } else {
            BindInputBuffers(0, InputChannelCount(), inArray, n);
            BindOutputBuffers(0, OutputChannelCount(), outArray);
            RenderBlockFloat(n);
        }
    }
}

template <class Sample>
clap::process_status_t IClapPlugin::ProcessBuffers(const clap::process_t& process, Sample** inputs,
                                                   Sample** outputs)
{
    const std::uint32_t frames = process.frames_count;
    const clap::input_events_t* events = process.in_events;
    const std::uint32_t count = events && events->size && events->get ? events->size(events) : 0;
    std::uint32_t done = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        const clap::event_header_t* event = events->get(events, i);
        if (!ParamValueEvent(event)) continue;
        // Events come in time order; one out of order or past the block
        // applies where the block has got to, or at its end.
        const std::uint32_t at = std::min(event->time, frames);
        if (at > done) {
            RenderRange(inputs, outputs, done, at - done);
            done = at;
        }
        ApplyEvent(event);
    }
    if (done < frames) RenderRange(inputs, outputs, done, frames - done);
    DrainEdits(process.out_events);
    return clap::kProcessContinue;
}

clap::process_status_t IClapPlugin::Process(const clap::process_t* process)
{
    if (!process || !IsActive() || BlockLength() <= 0) return clap::kProcessError;
    const int inputCount = PortChannels(true);
    const int outputCount = PortChannels(false);
    const clap::audio_buffer_t* in = process->audio_inputs_count >= 1 ? process->audio_inputs : nullptr;
    clap::audio_buffer_t* out = process->audio_outputs_count >= 1 ? process->audio_outputs : nullptr;
    // The output's sample size decides; the input must offer the same.
    // Nothing a constant input could save here: the filters ring on, and
    // the anti-denormal noise keeps every output moving.
    const bool wide = outputCount > 0 ? out && out->data64 : in && in->data64;
    double** wideIn = nullptr;
    double** wideOut = nullptr;
    float** narrowIn = nullptr;
    float** narrowOut = nullptr;
    bool complete;
    if (wide) {
        wideIn = Channels<double>(in, inputCount);
        wideOut = Channels<double>(out, outputCount);
        complete = (inputCount == 0 || wideIn) && (outputCount == 0 || wideOut);
    } else {
        narrowIn = Channels<float>(in, inputCount);
        narrowOut = Channels<float>(out, outputCount);
        complete = (inputCount == 0 || narrowIn) && (outputCount == 0 || narrowOut);
    }

    LockGuard guard(Lock());
    ReadTransport(process->transport);
    samplePosition_ = static_cast<std::int32_t>(
        std::clamp<std::int64_t>(process->steady_time, 0, std::numeric_limits<std::int32_t>::max()));
    if (process->frames_count == 0 || !complete) {
        // No audio to touch (some hosts send empty blocks, with the same
        // buffer in and out), or buffers we cannot use: the events still count.
        const clap::process_t none{process->steady_time, 0, nullptr, nullptr, nullptr, 0, 0,
                                   process->in_events, process->out_events};
        ProcessBuffers<float>(none, nullptr, nullptr);
        return complete ? clap::kProcessContinue : clap::kProcessError;
    }
    if (out) out->constant_mask = 0;
    return wide ? ProcessBuffers(*process, wideIn, wideOut) : ProcessBuffers(*process, narrowIn, narrowOut);
}

} // namespace mg
