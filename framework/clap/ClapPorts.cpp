// The audio-ports and audio-ports-config extensions: one main port in each
// direction, sharing memory with each other, and one configuration per
// channel pair of the plug-in.
#include <cstdio>

#include "clap/IClapPlugin.h"
#include "core/FixedText.h"

namespace mg {

namespace {

const char* PortType(int channels)
{
    return channels == 1 ? clap::kPortMono : channels == 2 ? clap::kPortStereo : "";
}

void NameChannels(char (&name)[clap::kNameSize], int inputs, int outputs)
{
    const auto word = [](int channels) {
        return channels == 1 ? "Mono" : channels == 2 ? "Stereo" : nullptr;
    };
    if (inputs == outputs && word(inputs)) {
        CopyBounded(name, word(inputs));
    } else {
        std::snprintf(name, sizeof name, "%d in, %d out", inputs, outputs);
    }
}

} // namespace

bool IClapPlugin::AudioPortInfo(std::uint32_t index, bool input, clap::audio_port_info_t* info) const
{
    if (!info || index >= AudioPortCount(input)) return false;
    const int channels = PortChannels(input);
    *info = {};
    info->id = 0;
    CopyBounded(info->name, input ? "Input" : "Output");
    info->flags = clap::kAudioPortIsMain | clap::kAudioPortSupports64Bits | clap::kAudioPortRequiresCommonSampleSize;
    info->channel_count = static_cast<std::uint32_t>(channels);
    info->port_type = PortType(channels);
    // The port of the same id on the other side may share its memory.
    info->in_place_pair = AudioPortCount(!input) ? 0 : clap::kInvalidId;
    return true;
}

bool IClapPlugin::PortConfig(std::uint32_t index, clap::audio_ports_config_t* config) const
{
    if (!config || index >= PortConfigCount()) return false;
    const ChannelPair pair = ChannelPairAt(static_cast<int>(index));
    *config = {};
    config->id = index;
    NameChannels(config->name, pair.inputs, pair.outputs);
    config->input_port_count = pair.inputs > 0 ? 1 : 0;
    config->output_port_count = pair.outputs > 0 ? 1 : 0;
    config->has_main_input = pair.inputs > 0;
    config->main_input_channel_count = static_cast<std::uint32_t>(pair.inputs > 0 ? pair.inputs : 0);
    config->main_input_port_type = PortType(pair.inputs);
    config->has_main_output = pair.outputs > 0;
    config->main_output_channel_count = static_cast<std::uint32_t>(pair.outputs > 0 ? pair.outputs : 0);
    config->main_output_port_type = PortType(pair.outputs);
    return true;
}

bool IClapPlugin::SelectPortConfig(clap::id_t id)
{
    // Ports change only while the host does not process.
    if (id >= PortConfigCount() || IsActive() || !OffAudioThread()) return false;
    LockGuard guard(Lock());
    portConfig_ = static_cast<int>(id);
    ConnectConfiguredChannels();
    return true;
}

} // namespace mg
